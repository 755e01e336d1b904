// A player on a fake media system and a fake playlist, with a listener that records events.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "core/player/player_factory.h"
#include "foundation/util/result.h"
#include "interfaces/core/player.h"
#include "tests/core/player/fakes/fake_error_registry.h"
#include "tests/core/player/fakes/fake_media_system.h"
#include "tests/core/player/fakes/fake_playlist.h"
#include "tests/fixtures/audio/memory_preferences.h"

namespace vk2::test {

struct RecordedEvent {
  int32_t code;
  std::u16string text;
  bool operator==(const RecordedEvent&) const = default;
};

class EventRecorder final : public ComObject<EventRecorder, SilentFace<MPlayerListener>> {
 public:
  void OnEvent(MPlayer*, int32_t code, const char16_t* text) override {
    {
      std::lock_guard lock(mutex_);
      events_.push_back({code, text ? text : u""});
    }
    changed_.notify_all();
  }
  // Waits until `count` events have arrived (10 s at most).
  bool WaitForCount(size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10),
                             [&] { return events_.size() >= count; });
  }
  size_t CountOf(int32_t code) {
    std::lock_guard lock(mutex_);
    return std::count_if(events_.begin(), events_.end(),
                         [&](const RecordedEvent& e) { return e.code == code; });
  }
  // Waits until `count` events with `code` have arrived (10 s at most).
  bool WaitForCode(int32_t code, size_t count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(10), [&] {
      return static_cast<size_t>(std::count_if(events_.begin(), events_.end(),
                                               [&](auto& e) { return e.code == code; })) >= count;
    });
  }
  std::vector<int32_t> Codes() {
    std::lock_guard lock(mutex_);
    std::vector<int32_t> codes;
    for (auto& e : events_)
      codes.push_back(e.code);
    return codes;
  }
  std::vector<RecordedEvent> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<RecordedEvent> events_;
};

class PlayerHarness {
 public:
  explicit PlayerHarness(std::vector<double> durations = {-1.0, -1.0, -1.0},
                         PlayerEnvironment environment = {}) {
    errors = RefPtr<FakeErrorRegistry>(new FakeErrorRegistry);
    media = RefPtr<FakeMediaSystem>(new FakeMediaSystem);
    playlist = RefPtr<FakePlaylist>(new FakePlaylist);
    ids = playlist->AddFiles(durations);
    preferences = NewPreferenceTree();
    environment.errors = RefPtr<MErrorRegistry>(errors.Get());
    environment.makeMediaSystem = [m = media] { return RefPtr<MMediaSystem>(m.Get()); };
    auto tree = preferences;
    environment.makePreferences = [tree] { return MakeMemoryPreferences(tree); };
    CreatePlayer(u"player", environment, player.Put());
    events = RefPtr<EventRecorder>(new EventRecorder);
    if (player) player->AddRemoveListener(events.Get(), 1);
  }
  ~PlayerHarness() {
    if (player) player->Shutdown();
  }

  // The code the registry gave an entry of the player's table.
  int32_t Code(PlayerError entry) {
    const ErrorTableHandle table = errors->FindTable(kPlayerErrorTable);
    for (int32_t code = -1000; code > -2000; --code) {
      const ErrorRecord* record = errors->GetRecord(code, table);
      if (record && record->index == static_cast<uint32_t>(entry)) return code;
    }
    return 0;
  }

  // Sets the playlist and waits until the player thread has taken it in.
  void UsePlaylist() {
    player->SetPlaylist(playlist.Get());
    Barrier();
  }
  // A command that does nothing, waited for: every command posted before it has run.
  void Barrier() {
    while (player->SeekToUID(0, -1.0, 0, 0, 0) == kErrTimedOut) {
    }
  }
  // Waits until every event sent so far has been delivered (two repeat changes queued behind
  // them have arrived) and returns the codes before those two.
  std::vector<int32_t> SettledCodes() {
    const size_t markers = events->CountOf(kPlayerRepeatChanged);
    uint32_t repeat = 0;
    player->GetRepeat(&repeat);
    player->SetRepeat(repeat ^ 1u);
    player->SetRepeat(repeat);
    events->WaitForCode(kPlayerRepeatChanged, markers + 2);
    auto codes = events->Codes();
    for (int removed = 0; removed < 2;) {
      auto last = std::find(codes.rbegin(), codes.rend(), kPlayerRepeatChanged);
      codes.erase(std::next(last).base());
      ++removed;
    }
    return codes;
  }
  uint32_t Current() {
    PlayerInfo info;
    player->GetInfo(&info);
    return info.currentId;
  }

  RefPtr<FakeErrorRegistry> errors;
  RefPtr<FakeMediaSystem> media;
  RefPtr<FakePlaylist> playlist;
  std::vector<uint32_t> ids;
  std::shared_ptr<PreferenceTree> preferences;
  RefPtr<MPlayer> player;
  RefPtr<EventRecorder> events;
};

}  // namespace vk2::test
