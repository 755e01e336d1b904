// Removed-but-held items, holds and releases, the maps and the pool.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "foundation/util/result.h"

#include "storage_fixture.h"

namespace vk2::test {
namespace {

using Storage = StorageFixture;

TEST_F(Storage, RemovedHeldItemStaysFindableUntilReleased) {
  Add(5);
  const uint32_t held = 3;
  ASSERT_EQ(storage_.HoldItems(&held, 1), 0);
  RemoveRun(2, 1);
  PlaylistItem* item = storage_.Find(held);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->IsRemoved());
  EXPECT_EQ(storage_.FindLive(held), nullptr);
  EXPECT_EQ(item->listPrev, 2u);
  EXPECT_EQ(item->listNext, 4u);
  uint32_t next = 0;
  EXPECT_EQ(order_.GetNext(held, &next, false), 0);
  EXPECT_EQ(next, 4u);
  EXPECT_EQ(order_.GetPrev(held, &next, false), 0);
  EXPECT_EQ(next, 2u);

  ASSERT_EQ(storage_.ReleaseItems(&held, 1), 0);
  EXPECT_EQ(storage_.Find(held), nullptr);
  EXPECT_EQ(order_.GetNext(held, &next, false), codes_(PlaylistError::kIdNotFound));
  EXPECT_EQ(storage_.RecordsInUse(), 4u);
}

TEST_F(Storage, NavigationFromARemovedItemSkipsOtherRemovedOnes) {
  Add(6);
  const uint32_t ids[] = {2, 3, 4};
  ASSERT_EQ(storage_.HoldItems(ids, 3), 0);
  RemoveRun(2, 1);  // 3, neighbours 2 and 4
  RemoveRun(2, 1);  // 4, neighbours 2 and 5
  RemoveRun(1, 1);  // 2, neighbours 1 and 5
  uint32_t id = 0;
  EXPECT_EQ(order_.GetNext(3, &id, false), 0);
  EXPECT_EQ(id, 5u);
  EXPECT_EQ(order_.GetPrev(4, &id, false), 0);
  EXPECT_EQ(id, 1u);
  RemoveRun(0, storage_.Count());
  EXPECT_EQ(order_.GetNext(3, &id, false), 0);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(order_.GetNext(3, &id, true), 0);
  EXPECT_EQ(id, 0u);
}

TEST_F(Storage, UnknownIdsChangeNoHolds) {
  Add(3);
  const uint32_t ids[] = {1, 99};
  EXPECT_EQ(storage_.HoldItems(ids, 2), codes_(PlaylistError::kIdNotFound));
  EXPECT_EQ(storage_.FindLive(1)->holds.load(), 1);
  EXPECT_EQ(storage_.ReleaseItems(ids, 2), codes_(PlaylistError::kIdNotFound));
  EXPECT_EQ(storage_.FindLive(1)->holds.load(), 1);
}

TEST_F(Storage, ReleaseCannotTakeTheListsOwnHoldOrFreeTwice) {
  Add(3);
  const uint32_t one = 1;
  EXPECT_EQ(storage_.ReleaseItems(&one, 1), codes_(PlaylistError::kIdNotFound));
  EXPECT_NE(storage_.FindLive(1), nullptr);
  ASSERT_EQ(storage_.HoldItems(&one, 1), 0);
  RemoveRun(0, 1);
  const uint32_t twice[] = {1, 1};
  EXPECT_EQ(storage_.ReleaseItems(twice, 2), codes_(PlaylistError::kIdNotFound));
  EXPECT_NE(storage_.Find(1), nullptr);
  EXPECT_EQ(storage_.ReleaseItems(&one, 1), 0);
  EXPECT_EQ(storage_.Find(1), nullptr);
}

TEST_F(Storage, UrlMapFindsTheFirstStoredOfSharedUrls) {
  Add(2);
  PlaylistItem* twin = storage_.TakeRecord();
  twin->info.id = 50;
  twin->info.SetUrl(u"file:///m/1.mp3");
  ASSERT_EQ(storage_.Insert(0, &twin, 1), 0);
  EXPECT_EQ(storage_.FirstForUrl(u"file:///m/1.mp3")->Id(), 1u);
  RemoveRun(1, 1);
  EXPECT_EQ(storage_.FirstForUrl(u"file:///m/1.mp3")->Id(), 50u);
  EXPECT_EQ(storage_.FirstForUrl(u"file:///M/1.mp3"), nullptr);
}

TEST_F(Storage, TokenNamesAreCountedPerItem) {
  for (int i = 0; i < 3; ++i) {
    PlaylistItem* item = storage_.TakeRecord();
    item->info.id = 100 + i;
    item->info.SetUrl(u"u");
    item->info.tokens.Append({u"genre", u"x"});
    if (i == 0) item->info.tokens.Append({u"genre", u"y"});
    if (i == 1) item->info.tokens.Append({u"mood", u"z"});
    item->info.Set(kTokensPresent);
    ASSERT_EQ(storage_.Insert(storage_.Count(), &item, 1), 0);
  }
  auto counts = [&] {
    std::map<std::u16string, uint32_t> m;
    for (const TokenCount& t : storage_.TokenCounts())
      m[std::u16string(t.name.view())] = t.count;
    return m;
  };
  EXPECT_EQ(counts(), (std::map<std::u16string, uint32_t>{{u"genre", 3}, {u"mood", 1}}));
  storage_.RemoveRun(1, 1);
  EXPECT_EQ(counts(), (std::map<std::u16string, uint32_t>{{u"genre", 2}}));
}

TEST_F(Storage, RemoveAllReturnsUnheldRecordsAndKeepsHeldOnes) {
  Add(300);
  const uint32_t held = 7;
  ASSERT_EQ(storage_.HoldItems(&held, 1), 0);
  storage_.RemoveAll();
  order_.ClearShuffle();
  EXPECT_EQ(storage_.Count(), 0u);
  EXPECT_EQ(storage_.RecordsInUse(), 1u);
  EXPECT_TRUE(storage_.Find(held)->IsRemoved());
  EXPECT_EQ(Walk(false), std::vector<uint32_t>{});
  EXPECT_EQ(Walk(true), std::vector<uint32_t>{});
}

TEST_F(Storage, IdsInUseAreRefusedAndNothingIsAdded) {
  Add(3);
  const uint32_t held = 2;
  ASSERT_EQ(storage_.HoldItems(&held, 1), 0);
  RemoveRun(1, 1);
  const uint32_t cases[][2] = {{10, 1}, {10, 2}, {10, 10}, {10, 0}};
  for (const auto& ids : cases) {
    PlaylistItem* items[2] = {storage_.TakeRecord(), storage_.TakeRecord()};
    items[0]->info.id = ids[0];
    items[1]->info.id = ids[1];
    EXPECT_EQ(storage_.Insert(0, items, 2), codes_(PlaylistError::kIdTaken)) << ids[1];
    EXPECT_EQ(storage_.FindLive(10), nullptr);
    EXPECT_EQ(ListIds(), (std::vector<uint32_t>{1, 3}));
    storage_.ReturnRecord(items[0]);
    storage_.ReturnRecord(items[1]);
  }
}

TEST_F(Storage, InsertOutsideTheListIsRefused) {
  Add(2);
  PlaylistItem* item = storage_.TakeRecord();
  item->info.id = 77;
  EXPECT_EQ(storage_.Insert(3, &item, 1), kErrNotFound);
  EXPECT_EQ(storage_.FindLive(77), nullptr);
  storage_.ReturnRecord(item);
}

}  // namespace
}  // namespace vk2::test
