// A player for the visuals: stream values ("heardbytes", "currentchainid", "title", ...) set by
// the test, the playback state of its information record, and a diary of transport commands.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/core/player.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "tests/support/player_stub.h"

namespace vk2::test {

class VisualFakePlayer final : public PlayerStub<VisualFakePlayer> {
 public:
  std::mutex mutex;
  std::map<std::string, int32_t> integers;
  std::map<std::string, double> numbers;
  std::map<std::string, std::string> strings;
  std::vector<std::string> diary;
  uint32_t state = 1;  // playing
  double volume = 0.5;

  void Set(const std::string& name, int32_t value) {
    std::lock_guard<std::mutex> lock(mutex);
    integers[name] = value;
  }
  std::vector<std::string> Diary() {
    std::lock_guard<std::mutex> lock(mutex);
    return diary;
  }

  int32_t Play(uint8_t) override { return Note("play"); }
  int32_t Stop(uint8_t) override { return Note("stop"); }
  int32_t Next(uint8_t) override { return Note("next"); }
  int32_t Previous(uint8_t) override { return Note("previous"); }
  int32_t GetInfo(PlayerInfo* info) override {
    std::lock_guard<std::mutex> lock(mutex);
    info->state = state;
    return 0;
  }
  int32_t GetVolume(double* out) override {
    std::lock_guard<std::mutex> lock(mutex);
    return *out = volume, 0;
  }
  int32_t SetVolume(double value) override {
    std::lock_guard<std::mutex> lock(mutex);
    return volume = value, 0;
  }
  int32_t GetString(const char16_t* name, TString* value) override {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = strings.find(Utf8(name).c_str());
    if (it == strings.end()) return kErrNotFound;
    *value = Utf16(it->second);
    return 0;
  }
  int32_t GetInteger(const char16_t* name, int32_t* value) override {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = integers.find(Utf8(name).c_str());
    if (it == integers.end()) return kErrNotFound;
    *value = it->second;
    return 0;
  }
  int32_t GetNumber(const char16_t* name, double* value) override {
    std::lock_guard<std::mutex> lock(mutex);
    auto it = numbers.find(Utf8(name).c_str());
    if (it == numbers.end()) return kErrNotFound;
    *value = it->second;
    return 0;
  }

 private:
  ~VisualFakePlayer() override = default;
  int32_t Note(const char* what) {
    std::lock_guard<std::mutex> lock(mutex);
    diary.push_back(what);
    return 0;
  }
};

}  // namespace vk2::test
