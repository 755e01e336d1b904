#include "audio/common/media_errors.h"

#include <atomic>
#include <mutex>

#include "audio/common/audio_runtime.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2 {
namespace {

const char* const kMessages[kMediaSystemEntryCount] = {
    "the audio system is already in this state",
    "no final destination was selected for the media to arrive at",
    "no stream reader was found which could read this stream",
    "a module refused to be inserted into the media chain",
    "an incomplete chain can't be used",
    "the operation you attempted is only valid in a state which the chain currently is not in",
    "the state you asked the system to transition into is unknown by one or more of the "
    "components",
    "the format a module is providing is incompatible with the module it is providing it to",
    "the module was unable to perform the requested function as it needs to be attached to a "
    "chain to do so",
    "no more packets were available downstream to complete the request",
    "this action is unsupported while decoding data of the current format and source",
    "the current format or source doesn't support seeking",
    "the sound device was unable to complete this request",
    "the chain could not be completely built for this data stream",
    "there is no plugin which can handle this media type",
    "the output device is unable to handle audio of the format that the decoder provides",
    "the audio chain could not be built because a filter's GetInput method failed",
    "the audio chain could not be built because a filter's GetOutput method failed",
    "the audio chain could not be built because a filter's StateChange method failed",
    "the audio chain could not be built because a filter's StateChange method for the format "
    "detection state failed",
    "the audio chain could not be built because a filter's CanHandle method failed",
    "the audio chain could not be built because a filter's RegisterCallback method failed",
    "the audio chain could not be built because an endpoints's StateChange method for the "
    "format detection state failed",
    "the audio chain could not be built because an endpoints's GetInput method failed",
    "the audio chain could not be built because an endpoints's CanHandle method failed",
    "this media type is too difficult to scan for information",
};

// The codes the registry gave, read by every thread; written only under g_registerMutex.
std::atomic<int32_t> g_codes[kMediaSystemEntryCount];
std::mutex g_registerMutex;

}  // namespace

const char* MediaSystemMessage(MediaSystemEntry entry) {
  return entry < kMediaSystemEntryCount ? kMessages[entry] : "";
}

int32_t MediaError(MediaSystemEntry entry) {
  if (entry >= kMediaSystemEntryCount) return kErrFailed;
  const int32_t code = g_codes[entry].load(std::memory_order_relaxed);
  return code < 0 ? code : kErrFailed;
}

void RegisterMediaSystemTable(MErrorRegistry* registry) {
  if (!registry) return;
  std::lock_guard lock(g_registerMutex);
  ErrorRecord records[kMediaSystemEntryCount];
  for (uint32_t i = 0; i < kMediaSystemEntryCount; ++i)
    records[i].message = kMessages[i];
  if (registry->RegisterTable(records, kMediaSystemEntryCount, kMediaSystemTable) != 0) return;
  for (uint32_t i = 0; i < kMediaSystemEntryCount; ++i) {
    if (records[i].code < 0) g_codes[i].store(records[i].code, std::memory_order_relaxed);
  }
}

MediaErrorRegistration::MediaErrorRegistration()
    : registry_(AudioCreate<MErrorRegistry>(kRuntimeRootClass, kIID_MErrorRegistry)) {
  RegisterMediaSystemTable(registry_.Get());
}

MediaErrorRegistration::~MediaErrorRegistration() = default;

}  // namespace vk2
