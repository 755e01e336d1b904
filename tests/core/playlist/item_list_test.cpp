// The ordered list: segment layout under inserts, removals and moves, against a plain vector.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "storage_fixture.h"

namespace vk2::test {
namespace {

using ItemList_ = StorageFixture;

TEST_F(ItemList_, ThreeHundredItemsFillOneSegmentAndStartAnother) {
  const auto ids = Add(300);
  EXPECT_EQ(Segments(), (std::vector<uint32_t>{256, 44}));
  EXPECT_EQ(ListIds(), ids);
  for (uint32_t i = 0; i < 300; ++i) {
    EXPECT_EQ(storage_.List().At(i)->Id(), ids[i]);
    EXPECT_EQ(storage_.List().IndexOf(storage_.List().At(i)), i);
  }
  EXPECT_EQ(storage_.List().At(300), nullptr);
}

TEST_F(ItemList_, SmallInsertIntoAFullSegmentSplitsIt) {
  Add(256);
  Add(10, 100);
  EXPECT_TRUE(storage_.List().CheckConsistency());
  EXPECT_EQ(Segments(), (std::vector<uint32_t>{100, 166}));
  std::vector<uint32_t> expected(256);
  std::iota(expected.begin(), expected.end(), 1);
  std::vector<uint32_t> added(10);
  std::iota(added.begin(), added.end(), 257);
  expected.insert(expected.begin() + 100, added.begin(), added.end());
  EXPECT_EQ(ListIds(), expected);
}

TEST_F(ItemList_, SmallPrefixJoinsThePreviousSegment) {
  Add(256);
  Add(10, 0);  // its own segment in front of the full one: [10][256]
  ASSERT_EQ(Segments(), (std::vector<uint32_t>{10, 256}));
  Add(10, 12);  // p = 2 into the full segment: 10 + 10 + 2 < 33
  EXPECT_TRUE(storage_.List().CheckConsistency());
  EXPECT_EQ(Segments().front(), 12u);
  EXPECT_EQ(storage_.Count(), 276u);
}

TEST_F(ItemList_, RemovalMergesThinSegments) {
  Add(300);
  RemoveRun(0, 200);
  EXPECT_TRUE(storage_.List().CheckConsistency());
  EXPECT_EQ(Segments(), (std::vector<uint32_t>{100}));
}

TEST_F(ItemList_, RemovingEverythingKeepsOneEmptySegmentForTheNextInsert) {
  Add(600);
  RemoveRun(0, 600);
  EXPECT_EQ(Segments(), (std::vector<uint32_t>{0}));
  Add(5);
  EXPECT_EQ(Segments(), (std::vector<uint32_t>{5}));
}

TEST_F(ItemList_, BadRangesAreRefusedAndChangeNothing) {
  Add(5);
  PlaylistItem* item = storage_.TakeRecord();
  EXPECT_FALSE(storage_.List().Insert(6, &item, 1));
  EXPECT_FALSE(storage_.List().Remove(3, 3));
  EXPECT_FALSE(storage_.List().Move(0, 3, 2));
  EXPECT_FALSE(storage_.List().Move(4, 2, 0));
  storage_.ReturnRecord(item);
  EXPECT_EQ(ListIds(), (std::vector<uint32_t>{1, 2, 3, 4, 5}));
}

TEST_F(ItemList_, MovesKeepTheRunTogether) {
  Add(6);
  struct Case {
    uint32_t from, n, before;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {0, 2, 6, {3, 4, 5, 6, 1, 2}}, {4, 2, 0, {5, 6, 1, 2, 3, 4}}, {1, 1, 4, {1, 3, 4, 2, 5, 6}},
      {2, 2, 2, {1, 2, 3, 4, 5, 6}}, {2, 2, 4, {1, 2, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(storage_.List().Assign(nullptr, 0));
    std::vector<PlaylistItem*> all;
    for (uint32_t id = 1; id <= 6; ++id)
      all.push_back(storage_.FindLive(id));
    ASSERT_TRUE(storage_.List().Assign(all.data(), 6));
    EXPECT_TRUE(storage_.List().Move(c.from, c.n, c.before));
    EXPECT_EQ(ListIds(), c.expected) << c.from << " " << c.n << " " << c.before;
  }
}

// Random edits against a vector model: order, indexes and back-pointers always agree.
TEST_F(ItemList_, RandomEditsMatchAPlainVector) {
  std::mt19937 random(42);
  std::vector<uint32_t> model;
  for (int step = 0; step < 400; ++step) {
    const uint32_t count = storage_.Count();
    const int op = static_cast<int>(random() % 3);
    if (op == 0 || count < 10) {
      const uint32_t n = random() % 2 ? 1 + random() % 20 : 1 + random() % 600;
      const uint32_t at = random() % (count + 1);
      const auto ids = Add(n, at);
      model.insert(model.begin() + at, ids.begin(), ids.end());
    } else if (op == 1) {
      const uint32_t at = random() % count;
      const uint32_t n = 1 + random() % std::min<uint32_t>(count - at, random() % 2 ? 30 : 700);
      RemoveRun(at, n);
      model.erase(model.begin() + at, model.begin() + at + n);
    } else {
      const uint32_t from = random() % count;
      const uint32_t n = 1 + random() % std::min<uint32_t>(count - from, 300);
      uint32_t before = random() % (count + 1);
      if (before > from && before < from + n) before = from + n;
      ASSERT_TRUE(storage_.List().Move(from, n, before));
      std::vector<uint32_t> run(model.begin() + from, model.begin() + from + n);
      model.erase(model.begin() + from, model.begin() + from + n);
      const uint32_t target = before > from ? before - n : before;
      model.insert(model.begin() + target, run.begin(), run.end());
    }
    ASSERT_TRUE(storage_.List().CheckConsistency()) << "step " << step;
    ASSERT_EQ(ListIds(), model) << "step " << step;
    ASSERT_TRUE(order_.CheckShuffle()) << "step " << step;
  }
  for (uint32_t i = 0; i < model.size(); i += 37)
    EXPECT_EQ(storage_.List().IndexOf(storage_.FindLive(model[i])), i);
}

}  // namespace
}  // namespace vk2::test
