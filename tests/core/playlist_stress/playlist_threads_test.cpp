// Several threads edit, reorder, lock, copy and read one playlist at once while listeners come
// and go (one calling back into the playlist from its delivery) and the idle scan starts and
// stops. Afterwards the list must be whole, and the change lists a listener received from the
// start, replayed onto an empty copy, must give the list as it ends. A watchdog fails the run
// instead of letting a deadlock hang it.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <random>
#include <thread>
#include <vector>

#include "tests/core/playlist_control/fake_media_system.h"
#include "tests/core/playlist_control/playlist_support.h"

namespace vk2::test {
namespace {

using namespace std::chrono_literals;

constexpr auto kRunFor = 1500ms;
constexpr auto kWatchdog = 60s;

// Applies delivered lists to a copy of the order as they arrive.
class ReplayingListener : public MPlaylistListener {
 public:
  int32_t OnChange(const PlaylistChangeList* changes) override {
    std::lock_guard lock(mutex_);
    for (const PlaylistChange& c : changes->records)
      Apply(c);
    ++lists_;
    return 0;
  }
  std::vector<uint32_t> Copy() {
    std::lock_guard lock(mutex_);
    return copy_;
  }
  bool Broken() {
    std::lock_guard lock(mutex_);
    return broken_;
  }

 private:
  void InsertAfter(uint32_t after, const TArray<uint32_t>& ids) {
    size_t at = copy_.size();
    if (after == kPlaylistTop) {
      at = 0;
    } else if (after != kPlaylistBottom) {
      auto it = std::find(copy_.begin(), copy_.end(), after);
      if (it == copy_.end()) broken_ = true;
      at = it - copy_.begin() + (it == copy_.end() ? 0 : 1);
    }
    copy_.insert(copy_.begin() + at, ids.begin(), ids.end());
  }
  void Erase(const TArray<uint32_t>& ids) {
    for (uint32_t id : ids) {
      auto it = std::find(copy_.begin(), copy_.end(), id);
      if (it == copy_.end()) {
        broken_ = true;
      } else {
        copy_.erase(it);
      }
    }
  }
  void Apply(const PlaylistChange& c) {
    switch (c.type) {
      case PlaylistChangeType::kItemsAdded:
        InsertAfter(c.idAfter, c.ids);
        break;
      case PlaylistChangeType::kItemsRemoved:
        Erase(c.ids);
        break;
      case PlaylistChangeType::kItemsMoved:
        Erase(c.ids);
        InsertAfter(c.idAfter, c.ids);
        break;
      case PlaylistChangeType::kAllItemsRemoved:
        copy_.clear();
        break;
      case PlaylistChangeType::kAllItemsMoved:
        if (c.ids.Count() != copy_.size()) broken_ = true;
        copy_.assign(c.ids.begin(), c.ids.end());
        break;
      default:
        break;
    }
  }

  std::mutex mutex_;
  std::vector<uint32_t> copy_;
  size_t lists_ = 0;
  bool broken_ = false;
};

// Reads the playlist from inside its deliveries.
class CallingBackListener : public MPlaylistListener {
 public:
  explicit CallingBackListener(MPlaylist* playlist) : playlist_(playlist) {}
  int32_t OnChange(const PlaylistChangeList*) override {
    uint32_t first = 0;
    playlist_->GetFirstUID(&first, 1);
    return playlist_->GetCount();
  }

 private:
  MPlaylist* playlist_;
};

void Work(MPlaylist& playlist, MPlaylist& other, uint32_t seed,
          const std::chrono::steady_clock::time_point end) {
  std::mt19937 random(seed);
  auto pick = [&](uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(random); };
  uint32_t serial = seed * 100000;
  while (std::chrono::steady_clock::now() < end) {
    TArray<uint32_t> ids;
    playlist.GetCurrentList(&ids, nullptr);
    const uint32_t some = ids.Count() ? ids[pick(ids.Count())] : 0;
    switch (pick(14)) {
      case 0:
      case 1: {
        ItemInfo items[3] = {NumberedItem(++serial), NumberedItem(++serial),
                             NumberedItem(++serial)};
        playlist.AddItems(items, 1 + pick(3), pick(2) ? kPlaylistBottom : some, nullptr);
        break;
      }
      case 2:
        playlist.RemoveItems(&some, 1);
        break;
      case 3:
        playlist.MoveItem(some, pick(2) ? kPlaylistTop : ids.Count() ? ids[0] : 0);
        break;
      case 4: {
        ItemInfo title;
        title.SetTitle(TString::Format(u"t%u", pick(1000)));
        playlist.SetItemInfo(some, title);
        break;
      }
      case 5:
        playlist.Sort(PlaylistSortKey::kTitle, static_cast<uint8_t>(pick(2)), u"");
        break;
      case 6:
        pick(2) ? playlist.Reverse() : playlist.RandomizeList();
        break;
      case 7: {
        uint32_t token = 0;
        playlist.Lock(&token);
        ItemInfo item = NumberedItem(++serial);
        playlist.AddItems(&item, 1, kPlaylistTop, nullptr);
        playlist.Reshuffle();
        playlist.Unlock(token);
        break;
      }
      case 8:
        if (playlist.HoldItems(&some, 1) == 0) {
          playlist.RemoveItems(&some, 1);
          uint32_t next = 0;
          playlist.GetNextUID(some, &next, 1);
          playlist.ReleaseItems(&some, 1);
        }
        break;
      case 9:
        // Both ways at once across the threads; replacing keeps the lists from growing.
        other.CopyFrom(&playlist, 0);
        playlist.CopyFrom(&other, 0);
        break;
      case 10:
        if (ids.Count() > 200) playlist.RemoveAll();
        break;
      case 11: {
        double seconds = 0;
        uint32_t type = 0;
        playlist.GetTotalPlayTime(&seconds, &type);
        uint8_t orderChanged = 0;
        TArray<uint32_t> changed;
        playlist.GetChangeList(&changed, &orderChanged, playlist.GetCurrentVersion() / 2, nullptr);
        break;
      }
      case 12:
        pick(2) ? playlist.StartIdleScan() : playlist.StopIdleScan();
        break;
      default: {
        uint32_t id = 0;
        playlist.GetUIDAtIndex(-1, &id);
        playlist.GetUIDIndex(some);
        break;
      }
    }
  }
}

void ListenersComeAndGo(MPlaylist& playlist, const std::chrono::steady_clock::time_point end) {
  while (std::chrono::steady_clock::now() < end) {
    CallingBackListener listener(&playlist);
    playlist.AddRemoveListener(&listener, 1, 1);
    std::this_thread::sleep_for(1ms);
    // Once removed it is never called again, so it may go at once.
    EXPECT_EQ(playlist.AddRemoveListener(&listener, 0, 0), 0);
  }
}

TEST(PlaylistThreadsTest, ConcurrentUseKeepsTheListWholeAndItsChangeListsTrue) {
  auto world = std::make_shared<FakeScanWorld>();
  PlaylistSettings settings;
  settings.makeMediaSystem = FakeMediaSystems(world);
  settings.ids = RefPtr<MSharedCounter>(new SharedCounter);
  PlaylistSettings otherSettings = settings;
  RefPtr<PlaylistControl> playlist = PlaylistControl::Create(std::move(settings));
  RefPtr<PlaylistControl> other = PlaylistControl::Create(std::move(otherSettings));
  ReplayingListener replay;
  ASSERT_EQ(playlist->AddRemoveListener(&replay, 1, 1), 0);
  ASSERT_EQ(playlist->SetIdleScan(IdleScanMode::kThorough, 1), 0);

  auto run = std::async(std::launch::async, [&] {
    const auto end = std::chrono::steady_clock::now() + kRunFor;
    std::vector<std::thread> threads;
    for (uint32_t seed = 1; seed <= 4; ++seed)
      threads.emplace_back(Work, std::ref(*playlist), std::ref(*other), seed, end);
    threads.emplace_back(ListenersComeAndGo, std::ref(*playlist), end);
    for (std::thread& t : threads)
      t.join();
  });
  if (run.wait_for(kWatchdog) != std::future_status::ready) {
    std::fprintf(stderr, "playlist threads still running after the watchdog's time: deadlock\n");
    std::abort();
  }
  run.get();

  // A last change flushes the deliveries; then the replayed copy must match.
  ItemInfo last = NumberedItem(999999);
  ASSERT_EQ(playlist->AddItems(&last, 1, kPlaylistBottom, nullptr), 0);
  const std::vector<uint32_t> list = ListOf(*playlist);
  bool same = false;
  for (int i = 0; i < 2000 && !same; ++i) {
    same = replay.Copy() == list;
    if (!same) std::this_thread::sleep_for(5ms);
  }
  EXPECT_FALSE(replay.Broken()) << "a record named an id the copy did not have";
  EXPECT_TRUE(same) << "the replayed change lists differ from the list";

  ASSERT_EQ(playlist->GetCount(), static_cast<int32_t>(list.size()));
  for (size_t i = 0; i < list.size(); ++i)
    ASSERT_EQ(playlist->GetUIDIndex(list[i]), static_cast<int32_t>(i));
  std::vector<uint32_t> walk;
  uint32_t id = 0;
  playlist->GetFirstUID(&id, 1);
  while (id != 0 && walk.size() <= list.size()) {
    walk.push_back(id);
    playlist->GetNextUID(id, &id, 1);
  }
  std::sort(walk.begin(), walk.end());
  std::vector<uint32_t> sorted = list;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_EQ(walk, sorted) << "the shuffle order lost or repeated an item";

  playlist->AddRemoveListener(&replay, 0, 0);
  playlist->Shutdown();
  other->Shutdown();
  EXPECT_EQ(world->alive, 0);
}

}  // namespace
}  // namespace vk2::test
