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

struct PlayerEventRecord {
  int32_t code;
  std::u16string text;
  bool operator==(const PlayerEventRecord&) const = default;
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
  // Waits for `marker` and the event after it, drops both and returns the codes before them.
  std::vector<int32_t> TakeUntil(const PlayerEventRecord& marker) {
    std::unique_lock lock(mutex_);
    auto at = events_.end();
    changed_.wait_for(lock, std::chrono::seconds(10), [&] {
      at = std::find(events_.begin(), events_.end(), marker);
      return at != events_.end() && std::next(at) != events_.end();
    });
    std::vector<int32_t> codes;
    for (auto it = events_.begin(); it != at; ++it)
      codes.push_back(it->code);
    if (at != events_.end()) events_.erase(at, std::min(at + 2, events_.end()));
    return codes;
  }
  std::vector<int32_t> Codes() {
    std::lock_guard lock(mutex_);
    std::vector<int32_t> codes;
    for (auto& e : events_)
      codes.push_back(e.code);
    return codes;
  }
  std::vector<PlayerEventRecord> Events() {
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
  std::vector<PlayerEventRecord> events_;
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
  // Waits until every event sent so far has been delivered and returns their codes: a failure
  // with a text of its own, queued behind them, marks the end (it and the Stopping that follows
  // it are then dropped from the record).
  std::vector<int32_t> SettledCodes() {
    const std::u16string mark =
        u"#settled-" + std::u16string(1, static_cast<char16_t>(u'a' + marks_++ % 26));
    media->Owner()->OnError(mark.c_str());
    return events->TakeUntil(PlayerEventRecord{kPlayerPlayFailed, mark});
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

 private:
  int marks_ = 0;
};

}  // namespace vk2::test
