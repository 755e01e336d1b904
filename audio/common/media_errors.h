// The "MediaSystem" error table: the audio side's common vocabulary of failures. Every audio
// module registers its own copy with the runtime's error registry, so every module can return
// these codes; the registry maps each copy's entries to the same codes.
#pragma once

#include <cstdint>

#include "foundation/util/ref_ptr.h"

namespace vk2 {

class MErrorRegistry;

enum MediaSystemEntry : uint32_t {
  kMsAlreadyInState = 0,
  kMsNoEndpoint = 1,
  kMsNoReader = 2,
  kMsInsertRefused = 3,
  kMsIncompleteChain = 4,
  kMsWrongState = 5,
  kMsUnknownState = 6,
  kMsIncompatibleFormat = 7,
  kMsNotInChain = 8,
  kMsEndOfData = 9,
  kMsUnsupportedForFormat = 10,
  kMsCannotSeek = 11,
  kMsDeviceFailed = 12,
  kMsChainNotBuilt = 13,
  kMsNoDecoder = 14,
  kMsEndpointRefusesFormat = 15,
  kMsFilterGetInputFailed = 16,
  kMsFilterGetOutputFailed = 17,
  kMsFilterStateChangeFailed = 18,
  kMsFilterDetectionFailed = 19,
  kMsFilterCanHandleFailed = 20,
  kMsRegisterCallbackFailed = 21,
  kMsEndpointDetectionFailed = 22,
  kMsEndpointGetInputFailed = 23,
  kMsEndpointCanHandleFailed = 24,
  kMsTooCostly = 25,
  kMediaSystemEntryCount = 26,
};

inline constexpr char kMediaSystemTable[] = "MediaSystem";

// The message of an entry (for tests and logs).
const char* MediaSystemMessage(MediaSystemEntry entry);

// The code of `entry` in this module's copy. Before any registration the engine still has to
// fail, so an unregistered entry reads as -1 (a generic failure), never as 0.
int32_t MediaError(MediaSystemEntry entry);

// Registers this module's copy with `registry` (again: the same codes come back). Safe from
// several threads.
void RegisterMediaSystemTable(MErrorRegistry* registry);

// What a module's main object keeps from construction to destruction: the runtime's error
// registry, with the table registered.
class MediaErrorRegistration {
 public:
  MediaErrorRegistration();
  ~MediaErrorRegistration();
  MediaErrorRegistration(const MediaErrorRegistration&) = delete;
  MediaErrorRegistration& operator=(const MediaErrorRegistration&) = delete;

  MErrorRegistry* Registry() const { return registry_.Get(); }

 private:
  RefPtr<MErrorRegistry> registry_;
};

}  // namespace vk2
