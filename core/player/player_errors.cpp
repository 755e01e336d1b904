#include "core/player/player_errors.h"

#include <mutex>

#include "interfaces/runtime/error_registry.h"

namespace vk2 {

namespace {

constexpr const char* kMessages[kPlayerErrorCount] = {
    "no playlist has been selected to play files from",
    "the playlist is empty",
    "audio system refused to play this file",
    "audio system refused to load this file",
    "already playing",
    "not currently playing",
    "internal audio system error",
    "already paused",
    "no more songs to play",
};

// The registry keeps pointers into the records it was given: they live as long as the module.
ErrorRecord gRecords[kPlayerErrorCount];
std::mutex gRecordsMutex;

}  // namespace

const char* PlayerErrorMessage(PlayerError entry) {
  return kMessages[static_cast<uint32_t>(entry)];
}

void PlayerErrors::Register(MErrorRegistry* registry) {
  if (!registry) return;
  std::lock_guard lock(gRecordsMutex);
  for (uint32_t i = 0; i < kPlayerErrorCount; ++i)
    gRecords[i].message = kMessages[i];
  if (registry->RegisterTable(gRecords, kPlayerErrorCount, kPlayerErrorTable) != 0) return;
  for (uint32_t i = 0; i < kPlayerErrorCount; ++i) {
    if (gRecords[i].code < 0) codes_[i] = gRecords[i].code;
  }
}

TString FailureText(MErrorRegistry* registry, int32_t code) {
  const ErrorRecord* record = registry ? registry->GetRecord(code, 0) : nullptr;
  if (record && record->message) return FromNarrowText(record->message);
  return u"unknown error";
}

}  // namespace vk2
