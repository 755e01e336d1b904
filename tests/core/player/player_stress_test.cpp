// Random player and playlist commands from several threads, with chain events, for a bounded
// time; run under ThreadSanitizer. A watchdog fails the run instead of letting it hang.
#include <cstdio>
#include <cstdlib>
#include <random>

#include "core/playlist/playlist_control.h"
#include "tests/core/player/player_harness.h"

namespace vk2::test {
namespace {

constexpr auto kRunTime = std::chrono::milliseconds(1500);
constexpr auto kHangLimit = std::chrono::seconds(60);

class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit)
      : thread_([this, limit] {
          std::unique_lock lock(mutex_);
          if (!done_cv_.wait_for(lock, limit, [&] { return done_; })) {
            std::fprintf(stderr, "player stress: no progress for %lld s, failing\n",
                         static_cast<long long>(limit.count()));
            std::fflush(stderr);
            std::_Exit(3);
          }
        }) {}
  ~Watchdog() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    done_cv_.notify_all();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable done_cv_;
  bool done_ = false;
  std::thread thread_;
};

// Threads that repeat a step, each with its own seeded generator, until the run's time is up.
class StressRun {
 public:
  enum class Counted { kYes, kNo };

  template <class Step>
  void Repeat(unsigned seed, Step step, Counted counted = Counted::kYes) {
    threads_.emplace_back([this, seed, step, counted] {
      std::mt19937 rng(seed);
      while (!stop_) {
        step(rng);
        if (counted == Counted::kYes) ++steps_;
      }
    });
  }

  // Chain events: items end, now and then a chain fails; not counted as steps.
  void ChainEvents(FakeMediaSystem* media, unsigned seed) {
    Repeat(
        seed,
        [media](std::mt19937& rng) {
          if (rng() % 10 == 0) {
            media->FailPlaying(u"decoding error");
          } else {
            media->EndOfItem();
          }
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        },
        Counted::kNo);
  }

  // Lets the threads run for kRunTime, stops and joins them; the counted steps taken.
  uint64_t Finish() {
    std::this_thread::sleep_for(kRunTime);
    stop_ = true;
    for (auto& t : threads_)
      t.join();
    return steps_.load();
  }
  ~StressRun() {
    stop_ = true;
    for (auto& t : threads_) {
      if (t.joinable()) t.join();
    }
  }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<uint64_t> steps_{0};
  std::vector<std::thread> threads_;
};

// Ids of the playlist's items in list order.
std::vector<uint32_t> ListIds(MPlaylist* playlist) {
  TArray<uint32_t> ids;
  playlist->GetCurrentList(&ids, nullptr);
  return std::vector<uint32_t>(ids.begin(), ids.end());
}

void RandomPlayerCommand(MPlayer* p, MPlaylist* playlist, std::mt19937& rng) {
  const uint8_t async = rng() % 2;
  switch (rng() % 14) {
    case 0:
      p->Play(async);
      break;
    case 1:
      p->Stop(async);
      break;
    case 2:
      p->Pause(async);
      break;
    case 3:
      p->Next(async);
      break;
    case 4:
      p->Previous(async);
      break;
    case 5: {
      const auto ids = ListIds(playlist);
      const uint32_t id = ids.empty() ? 0 : ids[rng() % ids.size()];
      p->SeekToUID(id, rng() % 3 ? -1.0 : 5.0, 1, rng() % 2, async);
      break;
    }
    case 6:
      p->SeekToIndex(rng() % 6, -1.0, 0, rng() % 2, async);
      break;
    case 7:
      p->Scan(static_cast<double>(rng() % 20) - 10.0, 0, async);
      break;
    case 8:
      p->SetShuffle(rng() % 2);
      break;
    case 9:
      p->SetRepeat(rng() % 4);
      break;
    case 10:
      p->SetVolume((rng() % 11) / 10.0);
      break;
    case 11: {
      PlayerInfo info;
      p->GetInfo(&info);
      break;
    }
    case 12: {
      double fraction = 0.0;
      p->GetPlayProgress(&fraction);
      break;
    }
    default:
      p->SetPlaybackMethod(static_cast<int32_t>(rng() % 3), -1.0);
      break;
  }
}

TEST(PlayerStress, RandomCommandsPlaylistChangesAndChainEvents) {
  Watchdog watchdog(kHangLimit);
  PlayerHarness h({-1, -1, -1, -1, -1, -1});
  h.UsePlaylist();
  RefPtr<FakePlaylist> other(new FakePlaylist);
  other->AddFiles(3);
  StressRun run;
  for (unsigned seed = 1; seed <= 4; ++seed) {
    run.Repeat(seed, [&](std::mt19937& rng) {
      RandomPlayerCommand(h.player.Get(), h.playlist.Get(), rng);
    });
  }
  // Playlist changes: items leave and come back; now and then the player changes lists.
  run.Repeat(
      99,
      [&](std::mt19937& rng) {
        const auto ids = h.playlist->Ids();
        if (ids.size() > 2 && rng() % 2) {
          const uint32_t id = ids[rng() % ids.size()];
          h.playlist->RemoveItems(&id, 1);
        } else {
          h.playlist->AddFiles(1);
        }
        if (rng() % 50 == 0) {
          h.player->SetPlaylist(rng() % 2 ? other.Get() : h.playlist.Get());
        }
        std::this_thread::yield();
      },
      StressRun::Counted::kNo);
  run.ChainEvents(h.media.Get(), 7);
  EXPECT_GT(run.Finish(), 100u);

  // Every command still answers, and shutting down lets go of everything the player held.
  h.UsePlaylist();
  h.player->Stop(0);
  EXPECT_EQ(h.player->Play(0), 0);
  ASSERT_EQ(h.player->Shutdown(), 0);
  EXPECT_EQ(h.playlist->TotalHolds(), 0);
  EXPECT_EQ(other->TotalHolds(), 0);
  EXPECT_EQ(h.playlist->ListenerCount(), 0u);
  EXPECT_EQ(other->ListenerCount(), 0u);
}

void RandomPlaylistCommand(MPlaylist* playlist, std::mt19937& rng) {
  const auto ids = ListIds(playlist);
  const uint32_t some = ids.empty() ? 0 : ids[rng() % ids.size()];
  switch (rng() % 8) {
    case 0:
    case 1: {
      ItemInfo item;
      item.SetUrl(TString::Format(u"file:///stress/%u.wav", static_cast<uint32_t>(rng() % 1000)));
      playlist->AddItems(&item, 1, rng() % 2 ? kPlaylistBottom : some, nullptr);
      break;
    }
    case 2:
      if (ids.size() > 2) playlist->RemoveItems(&some, 1);
      break;
    case 3:
      playlist->MoveItem(some, ids.empty() ? 0 : ids[rng() % ids.size()]);
      break;
    case 4:
      playlist->Reverse();
      break;
    case 5:
      playlist->RandomizeList();
      break;
    case 6:
      playlist->Sort(PlaylistSortKey::kTitle, rng() % 2, TString());
      break;
    default: {
      // A holder of the playlist lock making a waiting player call must not stall the player.
      uint32_t token = 0;
      if (playlist->Lock(&token) >= 0) {
        playlist->GetCount();
        playlist->Unlock(token);
      }
      break;
    }
  }
}

TEST(PlayerStress, RealPlaylistWithRandomCommandsAndChainEvents) {
  Watchdog watchdog(kHangLimit);
  PlayerHarness h({-1.0});
  RefPtr<PlaylistControl> list = PlaylistControl::Create();
  ASSERT_TRUE(list);
  for (uint32_t i = 0; i < 8; ++i) {
    ItemInfo item;
    item.SetUrl(TString::Format(u"file:///stress/start%u.wav", i));
    ASSERT_EQ(list->AddItems(&item, 1, kPlaylistBottom, nullptr), 0);
  }
  MPlaylist* playlist = list.Get();
  ASSERT_EQ(h.player->SetPlaylist(playlist), 0);
  StressRun run;
  for (unsigned seed = 11; seed <= 13; ++seed) {
    run.Repeat(seed,
               [&](std::mt19937& rng) { RandomPlayerCommand(h.player.Get(), playlist, rng); });
  }
  for (unsigned seed = 21; seed <= 22; ++seed) {
    run.Repeat(seed, [&](std::mt19937& rng) { RandomPlaylistCommand(playlist, rng); });
  }
  run.ChainEvents(h.media.Get(), 5);
  EXPECT_GT(run.Finish(), 100u);

  h.player->Stop(0);
  EXPECT_EQ(h.player->Play(0), 0);
  EXPECT_EQ(h.player->Stop(0), 0);
  ASSERT_EQ(h.player->Shutdown(), 0);
  list->Shutdown();
}

}  // namespace
}  // namespace vk2::test
