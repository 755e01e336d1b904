// A player stand-in that keeps the state a command changes (transport state, shuffle, repeat,
// volume, the item gone to, the last scan) and a diary of the calls it received. Each call can
// be made to fail.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "interfaces/core/player.h"
#include "interfaces/ids.h"
#include "tests/support/player_stub.h"

namespace vk2::test {

class StatePlayer final : public PlayerStub<StatePlayer> {
 public:
  enum State : uint32_t { kStopped = 0, kPlaying = 1, kPaused = 2 };

  std::vector<std::string> diary;
  std::set<std::string> failing;  // calls that answer kErrRefused
  uint32_t state = kStopped;
  uint8_t shuffle = 0;
  uint32_t repeat = kRepeatOff;
  double volume = 0.5;
  uint32_t currentId = 0;
  uint32_t wentTo = 0;
  double scanned = 0;
  double time = 0;  // seconds into `item`
  ItemInfo item;

  int32_t Play(uint8_t) override {
    return Do("play", [&] { state = kPlaying; });
  }
  int32_t Stop(uint8_t) override {
    return Do("stop", [&] { state = kStopped; });
  }
  int32_t Pause(uint8_t) override {
    return Do("pause", [&] { state = kPaused; });
  }
  int32_t Next(uint8_t) override {
    return Do("next", [] {});
  }
  int32_t Previous(uint8_t) override {
    return Do("previous", [] {});
  }
  int32_t SeekToUID(uint32_t id, double, uint8_t, uint8_t, uint8_t) override {
    return Do("go to", [&] { wentTo = id; });
  }
  int32_t Scan(double seconds, uint8_t, uint8_t) override {
    return Do("scan", [&] { scanned = seconds; });
  }
  int32_t GetInfo(PlayerInfo* info) override {
    if (failing.count("info")) return kErrRefused;
    info->state = state;
    info->currentId = currentId;
    info->time = time;
    info->item = item;
    return 0;
  }
  int32_t SetShuffle(uint8_t value) override {
    return Do("shuffle", [&] { shuffle = value; });
  }
  int32_t GetShuffle(uint8_t* out) override {
    if (failing.count("get shuffle")) return kErrRefused;
    return *out = shuffle, 0;
  }
  int32_t SetRepeat(uint32_t mode) override {
    return Do("repeat", [&] { repeat = mode; });
  }
  int32_t GetRepeat(uint32_t* out) override {
    if (failing.count("get repeat")) return kErrRefused;
    return *out = repeat, 0;
  }
  int32_t GetVolume(double* out) override {
    if (failing.count("get volume")) return kErrRefused;
    return *out = volume, 0;
  }
  int32_t SetVolume(double value) override {
    return Do("volume", [&] { volume = value; });
  }

 private:
  ~StatePlayer() override = default;

  template <class F>
  int32_t Do(const char* what, F change) {
    diary.push_back(what);
    if (failing.count(what)) return kErrRefused;
    change();
    return 0;
  }
};

}  // namespace vk2::test
