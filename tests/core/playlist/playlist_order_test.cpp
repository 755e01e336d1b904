// Shuffle order, navigation, sorting and the module's random generator.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "core/playlist/random_generator.h"
#include "storage_fixture.h"

namespace vk2::test {
namespace {

using Order = StorageFixture;

TEST(RandomGenerator, StepIsTheDocumentedMix) {
  EXPECT_EQ(StepRandom(0), 0x37374261u);
  // r = 1: a = 2, b = 1 >> 6 = 0; 2 ^ (1452508983 + 0x37374261)
  EXPECT_EQ(StepRandom(1), 2u ^ (1452508983u + 0x37374261u));
  SeedRandom(0);
  EXPECT_EQ(NextRandom(), StepRandom(StepRandom(StepRandom(StepRandom(0)))));
}

TEST(RandomGenerator, ScaledValuesStayInRange) {
  SeedRandom(12345);
  for (int i = 0; i < 2000; ++i) {
    EXPECT_LE(RandomIndex(6), 6u);
    const uint32_t v = RandomBetween(10, 12);
    EXPECT_GE(v, 10u);
    EXPECT_LE(v, 12u);
  }
  EXPECT_EQ(RandomBetween(5, 5), 5u);
  EXPECT_EQ(ScaleRandom(0xFFFFFFFFu, 10), 9u);
  EXPECT_EQ(ScaleRandom(0, 10), 0u);
  RandomIndex(0xFFFFFFFFu);
}

TEST_F(Order, FirstItemIsShuffleHeadAndTail) {
  Add(1);
  EXPECT_EQ(order_.ShuffleHead(), 1u);
  EXPECT_EQ(order_.ShuffleTail(), 1u);
  EXPECT_EQ(order_.Reshuffle(), 0);
  EXPECT_EQ(Walk(true), std::vector<uint32_t>{1});
}

TEST_F(Order, ShuffleWalksVisitEveryItemOnce) {
  SeedRandom(99);
  for (uint32_t n : {2u, 3u, 50u, 700u}) {
    storage_.RemoveAll();
    order_.ClearShuffle();
    const auto ids = Add(n);
    ASSERT_TRUE(order_.CheckShuffle());
    for (int round = 0; round < 3; ++round) {
      ASSERT_EQ(order_.Reshuffle(), 0);
      ASSERT_TRUE(order_.CheckShuffle());
      auto walk = Walk(true);
      EXPECT_EQ(walk.size(), n);
      std::sort(walk.begin(), walk.end());
      EXPECT_EQ(walk, ids);
    }
  }
}

TEST_F(Order, ReshuffleReallyPermutes) {
  SeedRandom(7);
  const auto ids = Add(40);
  order_.Reshuffle();
  EXPECT_NE(Walk(true), ids);
  EXPECT_EQ(Walk(false), ids);
}

TEST_F(Order, NavigationStopsAtTheEndsWithoutWrapping) {
  Add(3);
  uint32_t id = 99;
  EXPECT_EQ(order_.GetPrev(1, &id, false), 0);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(order_.GetNext(3, &id, false), 0);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(order_.GetPrev(order_.ShuffleHead(), &id, true), 0);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(order_.GetNext(order_.ShuffleTail(), &id, true), 0);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(order_.GetNext(42, &id, false), codes_(PlaylistError::kIdNotFound));
  EXPECT_EQ(order_.GetPrev(42, &id, true), codes_(PlaylistError::kIdNotFound));
}

TEST_F(Order, FirstOfAnEmptyListIsNone) {
  uint32_t id = 5;
  EXPECT_EQ(order_.GetFirst(&id, true), 0);
  EXPECT_EQ(id, 0u);
  EXPECT_EQ(order_.GetFirst(&id, false), 0);
  EXPECT_EQ(id, 0u);
}

TEST_F(Order, RemovingItemsRelinksTheShuffleOrder) {
  SeedRandom(3);
  Add(30);
  order_.Reshuffle();
  const uint32_t head = order_.ShuffleHead();
  const uint32_t tail = order_.ShuffleTail();
  RemoveRun(static_cast<uint32_t>(storage_.List().IndexOf(storage_.FindLive(head))), 1);
  EXPECT_TRUE(order_.CheckShuffle());
  RemoveRun(static_cast<uint32_t>(storage_.List().IndexOf(storage_.FindLive(tail))), 1);
  EXPECT_TRUE(order_.CheckShuffle());
  RemoveRun(5, 10);
  EXPECT_TRUE(order_.CheckShuffle());
  EXPECT_EQ(Walk(true).size(), 18u);
}

TEST_F(Order, ShuffleNavigationFromARemovedHeldItem) {
  SeedRandom(11);
  Add(10);
  order_.Reshuffle();
  const auto walk = Walk(true);
  const uint32_t held = walk[4];
  ASSERT_EQ(storage_.HoldItems(&held, 1), 0);
  RemoveRun(static_cast<uint32_t>(storage_.List().IndexOf(storage_.FindLive(held))), 1);
  uint32_t id = 0;
  EXPECT_EQ(order_.GetNext(held, &id, true), 0);
  EXPECT_EQ(id, walk[5]);
  EXPECT_EQ(order_.GetPrev(held, &id, true), 0);
  EXPECT_EQ(id, walk[3]);
}

class SortFixture : public StorageFixture {
 protected:
  uint32_t AddItem(const char16_t* url, const char16_t* title, const char16_t* author,
                   const char16_t* genre) {
    PlaylistItem* item = storage_.TakeRecord();
    item->info.id = ++nextId_;
    item->info.SetUrl(url);
    if (title) item->info.SetTitle(title);
    if (author) item->info.SetAuthor(author);
    if (genre) {
      item->info.tokens.Append({u"Genre", genre});
      item->info.Set(kTokensPresent);
    }
    const uint32_t before = storage_.Count();
    EXPECT_EQ(storage_.Insert(before, &item, 1), 0);
    order_.AddToShuffle(item, before);
    return item->Id();
  }
};

TEST_F(SortFixture, SortsByEachKeyBothWays) {
  const uint32_t gamma = AddItem(u"file:///m/x\\Gamma.mp3", nullptr, u"zed", nullptr);
  const uint32_t beta = AddItem(u"file:///m/z.mp3", u"beta", nullptr, u"Rock");
  const uint32_t alpha = AddItem(u"file:///m/y.mp3", u"ALPHA", u"Abe", u"jazz");
  const uint32_t empty = AddItem(u"file:///m/delta.mp3", u"", u"mid", nullptr);
  const auto shuffle = Walk(true);
  struct Case {
    SortKey key;
    bool ascending;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {SortKey::kTitle, true, {alpha, beta, empty, gamma}},
      {SortKey::kTitle, false, {gamma, empty, beta, alpha}},
      {SortKey::kAuthor, true, {alpha, empty, gamma, beta}},
      {SortKey::kAuthor, false, {beta, gamma, empty, alpha}},
      {SortKey::kToken, true, {alpha, beta, gamma, empty}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(order_.Sort(c.key, c.ascending, u"genre"), 1);
    const auto got = ListIds();
    if (c.key == SortKey::kToken) {
      // The two items without the token are equal and may stand in either order.
      EXPECT_EQ(std::vector<uint32_t>(got.begin(), got.begin() + 2),
                std::vector<uint32_t>(c.expected.begin(), c.expected.begin() + 2));
    } else {
      EXPECT_EQ(got, c.expected) << static_cast<int>(c.key) << c.ascending;
    }
    EXPECT_TRUE(storage_.List().CheckConsistency());
  }
  EXPECT_EQ(Walk(true), shuffle);
}

TEST_F(SortFixture, EmptyListSortsToNothing) {
  EXPECT_EQ(order_.Sort(SortKey::kTitle, true, u""), 0);
  EXPECT_EQ(order_.Randomize(), 0);
  EXPECT_EQ(order_.Reverse(), 0);
}

TEST_F(Order, ReverseAndRandomizeKeepEveryItem) {
  SeedRandom(5);
  const auto ids = Add(600);
  ASSERT_EQ(order_.Reverse(), 1);
  EXPECT_EQ(ListIds(), std::vector<uint32_t>(ids.rbegin(), ids.rend()));
  ASSERT_EQ(order_.Randomize(), 1);
  auto shuffled = ListIds();
  EXPECT_NE(shuffled, ids);
  std::sort(shuffled.begin(), shuffled.end());
  EXPECT_EQ(shuffled, ids);
  EXPECT_TRUE(storage_.List().CheckConsistency());
  EXPECT_TRUE(order_.CheckShuffle());
}

}  // namespace
}  // namespace vk2::test
