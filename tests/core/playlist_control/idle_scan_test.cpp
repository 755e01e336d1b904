// The idle scan against a fake media system on a fake clock: what it fills in, the change
// lists it reports, edits made while an item is being scanned, stopping and restarting.
#include <gtest/gtest.h>

#include <future>
#include <thread>
#include <utility>

#include "fake_media_system.h"
#include "playlist_support.h"

namespace vk2::test {
namespace {

using namespace std::chrono_literals;
using Type = PlaylistChangeType;

// Waits (real time, bounded) until `done` holds.
template <class F>
bool Eventually(F done) {
  for (int i = 0; i < 2000; ++i) {
    if (done()) return true;
    std::this_thread::sleep_for(5ms);
  }
  return done();
}

class IdleScanTest : public ::testing::Test {
 protected:
  IdleScanTest() {
    PlaylistSettings settings;
    settings.makeMediaSystem = FakeMediaSystems(world_);
    settings.isTooCostly = [](int32_t code) { return code == kTooCostlyCode; };
    playlist_ = MakePlaylist(clock_, std::move(settings));
    EXPECT_EQ(playlist_->AddRemoveListener(&listener_, 1, 1), 0);
  }
  void TearDown() override {
    playlist_->AddRemoveListener(&listener_, 0, 0);
    playlist_->Shutdown();
    EXPECT_EQ(world_->alive, 0) << "a media system was not released";
  }

  uint32_t Add(const char16_t* url) {
    ItemInfo item = Item(url);
    TArray<uint32_t> ids;
    EXPECT_EQ(playlist_->AddItems(&item, 1, kPlaylistBottom, &ids), 0);
    return ids.Count() ? ids[0] : 0;
  }
  ItemInfo Info(uint32_t id) {
    ItemInfo info;
    EXPECT_EQ(playlist_->GetUIDInfo(id, &info), 0);
    return info;
  }
  // The types of the scan's own reports among the lists seen so far.
  std::vector<Type> ScanReports() {
    std::vector<Type> types;
    for (const SeenList& list : listener_.Lists()) {
      for (const SeenChange& c : list) {
        if (c.type >= Type::kIdleScanStarted) types.push_back(c.type);
      }
    }
    return types;
  }
  bool Reported(size_t count) {
    return Eventually([&] { return ScanReports().size() >= count; });
  }

  std::shared_ptr<FakeScanWorld> world_ = std::make_shared<FakeScanWorld>();
  FakeClock clock_;
  RecordingListener listener_;
  RefPtr<PlaylistControl> playlist_;
};

TEST_F(IdleScanTest, OnePassFillsEveryItemAndReportsItsLists) {
  world_->Set(u"file:///a.ogg", {0, 0, 215.5f, false, u"Song A", u"Album"});
  world_->Set(u"file:///b.mp3", {0, 0, 60, true});
  world_->Set(u"http://127.0.0.1/far", {kTooCostlyCode});
  world_->Set(u"file:///broken.wav", {0, kErrBadData});
  const uint32_t a = Add(u"file:///a.ogg");
  const uint32_t b = Add(u"file:///b.mp3");
  const uint32_t far = Add(u"http://127.0.0.1/far");
  const uint32_t broken = Add(u"file:///broken.wav");
  const uint32_t missing = Add(u"file:///missing.ogg");
  ItemInfo done = Item(u"file:///done.ogg");
  done.SetScan(kScanComplete);
  done.Set(kScanPresent);
  ASSERT_EQ(playlist_->AddItems(&done, 1, kPlaylistBottom, nullptr), 0);
  const size_t before = listener_.WaitFor(6).size();

  ASSERT_EQ(playlist_->StartIdleScan(), 0);
  ASSERT_TRUE(Reported(2)) << "the pass did not end";
  EXPECT_EQ(ScanReports(), (std::vector{Type::kIdleScanStarted, Type::kIdleScanStopped}));
  EXPECT_EQ(playlist_->CurrentlyIdleScanning(), 0);

  const ItemInfo infoA = Info(a);
  EXPECT_EQ(infoA.duration, 215.5f);
  EXPECT_EQ(infoA.GetDurationType(), kDurationVerified);
  EXPECT_EQ(infoA.title, TString(u"Song A"));
  ASSERT_NE(infoA.FindToken(u"album"), nullptr);
  EXPECT_EQ(*infoA.FindToken(u"album"), TString(u"Album"));
  struct Expect {
    uint32_t id;
    uint32_t scan;
  };
  for (const Expect& e :
       {Expect{a, kScanComplete}, Expect{b, kScanBasic}, Expect{far, kScanInadvisable},
        Expect{broken, kScanUnreadable}, Expect{missing, kScanUnreadable}}) {
    const ItemInfo info = Info(e.id);
    EXPECT_TRUE(info.Has(kScanPresent)) << e.id;
    EXPECT_EQ(info.GetScan(), e.scan) << e.id;
  }
  EXPECT_EQ(world_->PreparedCount(), 5u) << "a scanned item was opened again";
  EXPECT_EQ(world_->made, 1) << "one media system for the whole run";
  EXPECT_EQ(world_->alive, 0);

  // Started, one update per scanned item, stopped: each its own list, in that order.
  const auto lists = listener_.WaitFor(before + 7);
  ASSERT_EQ(lists.size(), before + 7);
  EXPECT_EQ(Types(lists[before]), std::vector{Type::kIdleScanStarted});
  for (size_t i = 1; i <= 5; ++i)
    EXPECT_EQ(Types(lists[before + i]), std::vector{Type::kItemsUpdated});
  EXPECT_EQ(Types(lists[before + 6]), std::vector{Type::kIdleScanStopped});
}

struct EditCase {
  const char* name;
  // Done to the item while its scan is under way.
  std::function<void(MPlaylist&, uint32_t id)> edit;
  const char16_t* title;  // the title afterwards (null: none)
  uint32_t scan;          // the completeness afterwards (0: the item is gone)
};

class IdleScanEditTest : public IdleScanTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(IdleScanEditTest, AnEditMadeDuringTheScanIsNeverUndone) {
  const EditCase& c = GetParam();
  world_->Set(u"file:///song.ogg", {0, 0, 100, false, u"Scanned"});
  world_->Set(u"file:///other.ogg", {0, 0, 50, false});
  const uint32_t id = Add(u"file:///song.ogg");
  bool edited = false;
  world_->duringPrepare = [&](const ItemInfo& item) {
    if (edited || item.id != id) return;
    edited = true;
    c.edit(*playlist_, id);
  };
  ASSERT_EQ(playlist_->StartIdleScan(), 0);
  ASSERT_TRUE(Reported(2));
  ASSERT_TRUE(edited);
  ItemInfo info;
  if (c.scan == 0) {
    EXPECT_EQ(playlist_->GetUIDInfo(id, &info), playlist_->Code(PlaylistError::kIdNotFound));
    return;
  }
  info = Info(id);
  EXPECT_EQ(info.Has(kTitlePresent), c.title != nullptr);
  if (c.title) {
    EXPECT_EQ(info.title, TString(c.title));
  }
  EXPECT_EQ(info.GetScan(), c.scan);
  EXPECT_TRUE(info.Has(kDurationPresent)) << "the duration nobody touched is filled";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IdleScanEditTest,
    ::testing::Values(
        EditCase{"TitleEdited",
                 [](MPlaylist& p, uint32_t id) {
                   ASSERT_EQ(p.SetItemInfo(id, Item(u"file:///song.ogg", u"Mine")), 0);
                 },
                 u"Mine", kScanComplete},
        EditCase{"OtherMemberEdited",
                 [](MPlaylist& p, uint32_t id) {
                   ItemInfo author;
                   author.SetAuthor(u"Someone");
                   ASSERT_EQ(p.SetItemInfo(id, author), 0);
                 },
                 u"Scanned", kScanComplete},
        // Another file now: the old scan's findings are dropped and the new file is scanned.
        EditCase{"UrlChanged",
                 [](MPlaylist& p, uint32_t id) {
                   ItemInfo moved;
                   moved.SetUrl(u"file:///other.ogg");
                   ASSERT_EQ(p.SetItemInfo(id, moved), 0);
                 },
                 nullptr, kScanComplete},
        EditCase{"Removed", [](MPlaylist& p, uint32_t id) { ASSERT_EQ(p.RemoveItems(&id, 1), 1); },
                 nullptr, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IdleScanTest, WatchesForNewItemsStopsRestartsAndRescansWhenThorough) {
  world_->Set(u"file:///1.ogg", {0, 0, 10, true});
  world_->Set(u"file:///2.ogg", {0, 0, 20, false});
  const uint32_t first = Add(u"file:///1.ogg");
  ASSERT_EQ(playlist_->SetIdleScan(IdleScanMode::kQuick, 1), 0);
  ASSERT_TRUE(Reported(2));
  EXPECT_EQ(ScanReports(), (std::vector{Type::kIdleScanStarted, Type::kIdleScanSettingChanged}));
  ASSERT_TRUE(Eventually([&] { return world_->PreparedCount() == 1; }));
  // Idle now: it polls on the clock without opening anything.
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  clock_.Advance(100);
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  EXPECT_EQ(world_->PreparedCount(), 1u);
  EXPECT_EQ(playlist_->CurrentlyIdleScanning(), 1);

  // A new item wakes it without waiting for the poll.
  const uint32_t second = Add(u"file:///2.ogg");
  ASSERT_TRUE(Eventually([&] { return Info(second).Has(kScanPresent); }));

  const size_t reports = ScanReports().size();
  ASSERT_EQ(playlist_->StopIdleScan(), 0);
  EXPECT_EQ(playlist_->CurrentlyIdleScanning(), 0);
  ASSERT_TRUE(Reported(reports + 1));
  EXPECT_EQ(ScanReports().back(), Type::kIdleScanStopped);
  EXPECT_EQ(playlist_->StopIdleScan(), 0) << "stopping a stopped scan";
  EXPECT_EQ(world_->alive, 0);

  // Restarted: everything is scanned already, so it only watches.
  ASSERT_EQ(playlist_->StartIdleScan(), 0);
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  EXPECT_EQ(world_->PreparedCount(), 2u);
  // Thorough: the basic scan of the first item is done again, with the full flag.
  ASSERT_EQ(playlist_->SetIdleScan(IdleScanMode::kThorough, 1), 0);
  ASSERT_TRUE(Eventually([&] { return world_->PreparedCount() == 3; }));
  {
    std::lock_guard lock(world_->mutex);
    EXPECT_EQ(world_->prepared.back(), (std::pair<std::u16string, int32_t>{u"file:///1.ogg", 1}));
  }
  // Its basic result stays basic; it is not taken again and again.
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  clock_.Advance(100);
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  EXPECT_EQ(world_->PreparedCount(), 3u);
  EXPECT_EQ(Info(first).GetScan(), kScanBasic);

  // Without start-immediately the running scan ends after its pass, by itself.
  ASSERT_EQ(playlist_->SetIdleScan(IdleScanMode::kThorough, 0), 0);
  EXPECT_TRUE(Eventually([&] {
    return playlist_->CurrentlyIdleScanning() == 0 &&
           ScanReports().back() == Type::kIdleScanStopped;
  }));
}

TEST_F(IdleScanTest, StoppingNeverWaitsForALockItsCallerHolds) {
  world_->Set(u"file:///1.ogg", {0, 0, 10});
  const uint32_t id = Add(u"file:///1.ogg");
  auto holder = std::async(std::launch::async, [&] {
    uint32_t token = 0;
    EXPECT_EQ(playlist_->Lock(&token), 0);
    EXPECT_EQ(playlist_->StartIdleScan(), 0);
    // The scan waits for the lock, with the 15 s deadline of the token.
    EXPECT_TRUE(clock_.WaitForSleepers(1));
    const int32_t stopped = playlist_->StopIdleScan();
    EXPECT_EQ(playlist_->Unlock(token), 0);
    return stopped;
  });
  ASSERT_EQ(holder.wait_for(10s), std::future_status::ready) << "stop waited for the lock";
  EXPECT_EQ(holder.get(), 0);
  EXPECT_FALSE(Info(id).Has(kScanPresent));
}

// A stop waits for its thread while another caller starts the scan again: the old thread must
// still see its own stop, not the new run's cleared flag, or it scans on and the stop never ends.
TEST_F(IdleScanTest, AStopStillEndsItsThreadWhenTheScanIsRestartedMeanwhile) {
  world_->Set(u"file:///1.ogg", {0, 0, 10});
  Add(u"file:///1.ogg");
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  bool first = true;
  world_->duringPrepare = [&](const ItemInfo&) {
    if (!std::exchange(first, false)) return;
    entered.set_value();
    released.wait();
  };
  ASSERT_EQ(playlist_->SetIdleScan(IdleScanMode::kQuick, 1), 0);
  ASSERT_EQ(entered.get_future().wait_for(10s), std::future_status::ready);

  auto stopper = std::async(std::launch::async, [&] { return playlist_->StopIdleScan(); });
  ASSERT_TRUE(Eventually([&] { return playlist_->CurrentlyIdleScanning() == 0; }));
  ASSERT_EQ(playlist_->StartIdleScan(), 0);
  release.set_value();

  EXPECT_EQ(stopper.wait_for(10s), std::future_status::ready)
      << "the stopped thread kept running beside the new one";
  EXPECT_EQ(playlist_->CurrentlyIdleScanning(), 1) << "the new run was stopped too";
  ASSERT_EQ(playlist_->StopIdleScan(), 0);
  EXPECT_EQ(stopper.get(), 0);
}

TEST_F(IdleScanTest, ThePlaylistMayGoWhileItsScanWatches) {
  Add(u"file:///1.ogg");
  ASSERT_EQ(playlist_->SetIdleScan(IdleScanMode::kQuick, 1), 0);
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  playlist_->AddRemoveListener(&listener_, 0, 0);
  playlist_ = nullptr;  // the last reference, no Shutdown
  EXPECT_EQ(world_->alive, 0);
  playlist_ = MakePlaylist(clock_);
}

}  // namespace
}  // namespace vk2::test
