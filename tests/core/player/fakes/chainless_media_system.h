// The operations of a media system that builds no chains and keeps no properties but what a
// stand-in sets: no chain is current or built, the settings are taken, and the property table
// is in the wrong state. A fake derives from it and implements the rest.
#pragma once

#include <cstdint>

#include "foundation/util/result.h"
#include "interfaces/core/media_system.h"

namespace vk2::test {

// The stand-in codes of the media system's entries that the player passes on.
inline constexpr int32_t kFakeAlreadyInState = -400;  // entry 0
inline constexpr int32_t kFakeWrongState = -405;      // entry 5
inline constexpr int32_t kFakeBuildFailed = -413;     // entry 13

class ChainlessMediaSystem : public MMediaSystem {
 public:
  int32_t SetBalance(double) override { return kOk; }
  int32_t DiscardScanChains() override { return kOk; }
  int32_t GetInteger(const char16_t*, int32_t*) override { return kFakeWrongState; }
  int32_t Describe(PropertyDescriptionList*) override { return kFakeWrongState; }
  int32_t SetInteger(const char16_t*, int32_t) override { return kFakeWrongState; }
  int32_t SetNumber(const char16_t*, double) override { return kFakeWrongState; }
  int32_t SaveSettings(MPreferenceStore*) override { return kOk; }
  int32_t GetCurrentChain(MMediaChain** chain, uint32_t*) override {
    *chain = nullptr;
    return kErrNotFound;
  }
  int32_t BuildChain(const ItemInfo*, uint32_t, MMediaChain** chain, int32_t, int32_t) override {
    *chain = nullptr;
    return kErrNotSupported;
  }
  int32_t ReleasePosition() override { return 0; }

 protected:
  ~ChainlessMediaSystem() = default;
};

}  // namespace vk2::test
