// A player stand-in for the managers and the core: it keeps its name, its listeners and a
// diary of the settings calls and shutdowns it received, and can raise an event to its
// listeners as a real player's event thread would.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/core/player.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "tests/support/player_stub.h"

namespace vk2::test {

class RecordingPlayer final : public PlayerStub<RecordingPlayer> {
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

  int32_t GetVolume(double* out) override { return *out = volume, 0; }
  int32_t SetVolume(double value) override { return volume = value, 0; }

 private:
  ~RecordingPlayer() override = default;
};

}  // namespace vk2::test
