// The base of the test stand-ins for a player: a quiet player named "default" that takes
// listeners and settings without keeping them and answers kErrNotSupported to everything else.
// A stand-in overrides only the calls its tests look at.
#pragma once

#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/core/player.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2::test {

template <class Derived>
class PlayerStub : public ComObject<Derived, Face<MPlayer, kIID_MPlayer>> {
 public:
  int32_t Shutdown() override { return 0; }
  int32_t GetName(TString* out) override { return *out = u"default", 0; }
  int32_t SetName(const char16_t*) override { return 0; }
  int32_t AddRemoveListener(MPlayerListener*, int32_t) override { return 0; }
  int32_t LoadSettings(MPreferenceStore*) override { return 0; }
  int32_t SaveSettings(MPreferenceStore*) override { return 0; }

  int32_t GetFileExtensionText(TString*) override { return kErrNotSupported; }
  int32_t GetFileExtensions(MediaTypeList*) override { return kErrNotSupported; }
  int32_t Play(uint8_t) override { return kErrNotSupported; }
  int32_t Stop(uint8_t) override { return kErrNotSupported; }
  int32_t Pause(uint8_t) override { return kErrNotSupported; }
  int32_t Next(uint8_t) override { return kErrNotSupported; }
  int32_t Previous(uint8_t) override { return kErrNotSupported; }
  int32_t SeekToUID(uint32_t, double, uint8_t, uint8_t, uint8_t) override {
    return kErrNotSupported;
  }
  int32_t SeekToIndex(uint32_t, double, uint8_t, uint8_t, uint8_t) override {
    return kErrNotSupported;
  }
  int32_t Scan(double, uint8_t, uint8_t) override { return kErrNotSupported; }
  int32_t GetInfo(PlayerInfo*) override { return kErrNotSupported; }
  int32_t GetPlayProgress(double*) override { return kErrNotSupported; }
  int32_t GetShuffle(uint8_t*) override { return kErrNotSupported; }
  int32_t SetShuffle(uint8_t) override { return kErrNotSupported; }
  int32_t GetRepeat(uint32_t*) override { return kErrNotSupported; }
  int32_t SetRepeat(uint32_t) override { return kErrNotSupported; }
  int32_t GetVolume(double*) override { return kErrNotSupported; }
  int32_t SetVolume(double) override { return kErrNotSupported; }
  int32_t GetPlaybackMethod(int32_t*, double*) override { return kErrNotSupported; }
  int32_t SetPlaybackMethod(int32_t, double) override { return kErrNotSupported; }
  int32_t SetPlaylist(MPlaylist*) override { return kErrNotSupported; }
  int32_t GetPlaylist(MPlaylist**) override { return kErrNotSupported; }
  int32_t GetString(const char16_t*, TString*) override { return kErrNotSupported; }
  int32_t GetInteger(const char16_t*, int32_t*) override { return kErrNotSupported; }
  int32_t GetNumber(const char16_t*, double*) override { return kErrNotSupported; }
  int32_t Describe(PropertyDescriptionList*) override { return kErrNotSupported; }
  int32_t SetString(const char16_t*, const char16_t*) override { return kErrNotSupported; }
  int32_t SetInteger(const char16_t*, int32_t) override { return kErrNotSupported; }
  int32_t SetNumber(const char16_t*, double) override { return kErrNotSupported; }
  int32_t SendFilterMessage(const char16_t*, uint32_t) override { return kErrNotSupported; }
  int32_t ListModules(std::vector<TString>*) override { return kErrNotSupported; }
  int32_t AddRemoveModuleListListener(MModuleListListener*, int32_t) override {
    return kErrNotSupported;
  }
  int32_t GetModuleString(const char16_t*, const char16_t*, TString*) override {
    return kErrNotSupported;
  }
  int32_t GetModuleNumber(const char16_t*, const char16_t*, double*) override {
    return kErrNotSupported;
  }
  int32_t GetModuleInteger(const char16_t*, const char16_t*, int32_t*) override {
    return kErrNotSupported;
  }
  int32_t SetModuleString(const char16_t*, const char16_t*, const char16_t*) override {
    return kErrNotSupported;
  }
  int32_t SetModuleNumber(const char16_t*, const char16_t*, double) override {
    return kErrNotSupported;
  }
  int32_t SetModuleInteger(const char16_t*, const char16_t*, int32_t) override {
    return kErrNotSupported;
  }
  int32_t QueryControlObjects(const Guid&, void**) override { return kErrNotSupported; }

 protected:
  ~PlayerStub() override = default;
};

}  // namespace vk2::test
