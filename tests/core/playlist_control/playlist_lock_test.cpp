// The playlist lock through MPlaylist: re-entry, the takeover of a stale holder after the
// (injected) 15 seconds, renewal, and unlocks by threads that do not hold it.
#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>

#include "playlist_support.h"

namespace vk2::test {
namespace {

using namespace std::chrono_literals;

// Whether `f` is still running after a short real-time look.
template <class T>
bool StillBlocked(std::future<T>& f) {
  return f.wait_for(50ms) == std::future_status::timeout;
}

class PlaylistLockTest : public ::testing::Test {
 protected:
  FakeClock clock_{1000};
  RefPtr<PlaylistControl> playlist_ = MakePlaylist(clock_);

  void TearDown() override { playlist_->Shutdown(); }
};

TEST_F(PlaylistLockTest, HolderReentersAndOthersWaitForTheLastUnlock) {
  uint32_t first = 0, second = 0;
  ASSERT_EQ(playlist_->Lock(&first), 0);
  ASSERT_NE(first, 0u);
  ASSERT_EQ(playlist_->Lock(&second), 0);
  EXPECT_EQ(second, first) << "a nested Lock keeps the token in force";
  // The holder's own operations go through while it holds the lock.
  ItemInfo item = NumberedItem(1);
  ASSERT_EQ(playlist_->AddItems(&item, 1, kPlaylistBottom, nullptr), 0);

  auto other = std::async(std::launch::async, [&] { return playlist_->GetCount(); });
  EXPECT_TRUE(StillBlocked(other));
  ASSERT_EQ(playlist_->Unlock(second), 0);
  EXPECT_TRUE(StillBlocked(other)) << "one hold is left";
  ASSERT_EQ(playlist_->Unlock(first), 0);
  EXPECT_EQ(other.get(), 1);
}

struct TakeoverCase {
  const char* name;
  uint64_t renewAfterMs;     // 0: never renewed
  uint64_t takeoverAfterMs;  // from the holder's Lock
};

class PlaylistTakeoverTest : public PlaylistLockTest,
                             public ::testing::WithParamInterface<TakeoverCase> {};

TEST_P(PlaylistTakeoverTest, AStaleHolderLosesTheLeaseAndOnlyTheLease) {
  const TakeoverCase& c = GetParam();
  uint32_t stale = 0;
  ASSERT_EQ(playlist_->Lock(&stale), 0);

  std::promise<void> release;
  std::atomic<uint32_t> newToken{0};
  auto taker = std::async(std::launch::async, [&] {
    uint32_t token = 0;
    playlist_->Lock(&token);
    newToken = token;
    release.get_future().wait();
    return playlist_->Unlock(token);
  });
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  uint64_t elapsed = 0;
  if (c.renewAfterMs) {
    clock_.Advance(c.renewAfterMs);
    elapsed = c.renewAfterMs;
    ASSERT_EQ(playlist_->UpdateLock(stale), 0);
    ASSERT_TRUE(clock_.WaitForSleepers(1));
  }
  clock_.Advance(c.takeoverAfterMs - 1 - elapsed);
  ASSERT_TRUE(clock_.WaitForSleepers(1));
  EXPECT_EQ(newToken.load(), 0u) << "taken over a millisecond early";
  clock_.Advance(1);
  for (int i = 0; i < 1000 && newToken == 0; ++i)
    std::this_thread::sleep_for(5ms);
  ASSERT_NE(newToken.load(), 0u) << "no takeover";
  EXPECT_NE(newToken.load(), stale);

  // The stale holder's old token unlocks nothing and renews nothing; its operations now wait
  // for the new holder.
  EXPECT_EQ(playlist_->Unlock(stale), 0);
  EXPECT_EQ(playlist_->UpdateLock(stale), kErrNotSupported);
  auto staleWork = std::async(std::launch::async, [&] { return playlist_->GetCount(); });
  EXPECT_TRUE(StillBlocked(staleWork));
  release.set_value();
  EXPECT_EQ(taker.get(), 0);
  EXPECT_EQ(staleWork.get(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, PlaylistTakeoverTest,
                         ::testing::Values(TakeoverCase{"Unrenewed", 0, 15000},
                                           TakeoverCase{"RenewedAt10s", 10000, 25000}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlaylistLockTest, UnlocksThatDoNotOwnTheLockChangeNothing) {
  uint32_t token = 0;
  EXPECT_EQ(playlist_->Unlock(0), kErrNotFound) << "nothing held";
  ASSERT_EQ(playlist_->Lock(&token), 0);

  auto foreign = std::async(std::launch::async, [&] {
    return std::pair(playlist_->Unlock(token), playlist_->Unlock(0));
  });
  const auto [withToken, withoutToken] = foreign.get();
  EXPECT_EQ(withToken, kErrNotFound);
  EXPECT_EQ(withoutToken, kErrNotFound);
  EXPECT_EQ(playlist_->Unlock(token + 1), 0) << "a wrong token is ignored";
  EXPECT_EQ(playlist_->UpdateLock(token + 1), kErrNotSupported);

  // Still exactly one hold: the owner's unlock is the last one.
  auto other = std::async(std::launch::async, [&] { return playlist_->GetCount(); });
  EXPECT_TRUE(StillBlocked(other));
  EXPECT_EQ(playlist_->Unlock(token), 0);
  EXPECT_EQ(other.get(), 0);
  EXPECT_EQ(playlist_->Unlock(token), kErrNotFound);
}

TEST_F(PlaylistLockTest, ChangesMadeUnderTheLockArriveAsOneListAtTheLastUnlock) {
  RecordingListener listener;
  ASSERT_EQ(playlist_->AddRemoveListener(&listener, 1, 1), 0);
  uint32_t token = 0;
  ASSERT_EQ(playlist_->Lock(&token), 0);
  ItemInfo items[] = {NumberedItem(1), NumberedItem(2)};
  TArray<uint32_t> ids;
  ASSERT_EQ(playlist_->AddItems(items, 2, kPlaylistBottom, &ids), 0);
  ItemInfo title = Item(u"file:///music/1.ogg", u"One");
  ASSERT_EQ(playlist_->SetItemInfo(ids[0], title), 0);
  ASSERT_EQ(playlist_->SetItemInfo(ids[1], title), 0);
  ASSERT_EQ(playlist_->SetItemInfo(ids[0], title), 0);
  ASSERT_EQ(playlist_->MoveItem(ids[1], kPlaylistTop), 1);
  std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(listener.Lists().empty()) << "delivered before the last unlock";
  ASSERT_EQ(playlist_->Unlock(token), 0);

  const auto lists = listener.WaitFor(1);
  ASSERT_EQ(lists.size(), 1u);
  const SeenList& list = lists[0];
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].type, PlaylistChangeType::kItemsAdded);
  EXPECT_EQ(list[0].idAfter, kPlaylistBottom);
  EXPECT_EQ(list[0].ids, Ids(ids));
  EXPECT_EQ(list[1].type, PlaylistChangeType::kItemsUpdated);
  EXPECT_EQ(list[1].ids, Ids(ids)) << "each updated id once";
  EXPECT_EQ(list[2].type, PlaylistChangeType::kItemsMoved);
  EXPECT_EQ(list[2].idAfter, kPlaylistTop);
  EXPECT_EQ(list[2].ids, std::vector<uint32_t>{ids[1]});
  ASSERT_EQ(playlist_->AddRemoveListener(&listener, 0, 0), 0);
}

}  // namespace
}  // namespace vk2::test
