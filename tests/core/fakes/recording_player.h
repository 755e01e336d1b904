// A player stand-in for the managers and the core: it keeps its name, its listeners and a
// diary of the settings calls and shutdowns it received, and can raise an event to its
// listeners as a real player's event thread would.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/core/player.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"

namespace vk2::test {

class RecordingPlayer final : public ComObject<RecordingPlayer, Face<MPlayer, kIID_MPlayer>> {
 public:
  std::vector<std::string> diary;
  std::vector<MPlayerListener*> listeners;
  TString name;
  double volume = 0.5;

  void Raise(int32_t code, const char16_t* text) {
    for (MPlayerListener* listener : std::vector<MPlayerListener*>(listeners))
      listener->OnEvent(this, code, text);
  }

  int32_t Shutdown() override { return diary.push_back("shutdown"), 0; }
  int32_t GetName(TString* out) override { return *out = name, 0; }
  int32_t SetName(const char16_t* value) override { return name = value, 0; }
  int32_t AddRemoveListener(MPlayerListener* listener, int32_t add) override {
    auto it = std::find(listeners.begin(), listeners.end(), listener);
    if (add) {
      if (it != listeners.end()) return kErrAlreadyPresent;
      listeners.push_back(listener);
    } else {
      if (it == listeners.end()) return kErrNotFound;
      listeners.erase(it);
    }
    return 0;
  }
  // Options live in the player's own section under the one given.
  int32_t LoadSettings(MPreferenceStore* section) override {
    diary.push_back("load");
    double stored = 0;
    if (section->GetDouble(u"TestVolume", &stored) >= 0) volume = stored;
    return 0;
  }
  int32_t SaveSettings(MPreferenceStore* section) override {
    diary.push_back("save");
    section->SetDouble(u"TestVolume", volume);
    return section->Save();
  }

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
  int32_t GetVolume(double* out) override { return *out = volume, 0; }
  int32_t SetVolume(double value) override { return volume = value, 0; }
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

 private:
  ~RecordingPlayer() override = default;
};

}  // namespace vk2::test
