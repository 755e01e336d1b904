#include "foundation/containers/tarray.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/containers/curve_point_array.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "tests/foundation/containers/counted_unknown.h"

namespace vk2 {
namespace {

using test::CountedUnknown;

std::vector<int> Values(const TArray<int>& a) {
  return {a.begin(), a.end()};
}

TArray<int> Filled(uint32_t n) {
  TArray<int> a;
  for (uint32_t i = 0; i < n; ++i)
    a.Append(static_cast<int>(i));
  return a;
}

struct GrowCase {
  const char* name;
  bool (TArray<int>::*grow)();
  uint32_t step;
};

TEST(TArrayTest, GrowMethodsRaiseCapacityByTheirStepAndKeepElements) {
  const GrowCase cases[] = {
      {"Grow", &TArray<int>::Grow, 10},
      {"GrowByOne", &TArray<int>::GrowByOne, 1},
      {"GrowBy640", &TArray<int>::GrowBy640, 640},
      {"GrowBy1280", &TArray<int>::GrowBy1280, 1280},
  };
  for (const GrowCase& c : cases) {
    SCOPED_TRACE(c.name);
    TArray<int> a = Filled(3);
    const uint32_t before = a.Capacity();
    ASSERT_TRUE((a.*c.grow)());
    EXPECT_EQ(a.Capacity(), before + c.step);
    ASSERT_TRUE((a.*c.grow)());
    EXPECT_EQ(a.Capacity(), before + 2 * c.step);
    EXPECT_EQ(Values(a), (std::vector<int>{0, 1, 2}));
  }
}

TEST(TArrayTest, GrowRefusesToOverflowTheCapacity) {
  TArray<char> a;
  ASSERT_TRUE(a.Grow());
  EXPECT_FALSE(a.GrowBy(UINT32_MAX));
  EXPECT_EQ(a.Capacity(), 10u);
}

TEST(TArrayTest, AppendGrowsByTheArraysStep) {
  TArray<int> byTen;
  TArray<int> by640(640);
  for (int i = 0; i < 11; ++i) {
    byTen.Append(i);
    by640.Append(i);
  }
  EXPECT_EQ(byTen.Capacity(), 20u);
  EXPECT_EQ(by640.Capacity(), 640u);
  EXPECT_EQ(Values(byTen), Values(by640));
}

// Counts how often elements are moved, to tell linear growth from quadratic.
struct MoveCounter {
  static inline uint64_t moves = 0;
  int value = 0;
  explicit MoveCounter(int v) : value(v) {}
  MoveCounter(MoveCounter&& other) noexcept : value(other.value) { ++moves; }
  MoveCounter& operator=(MoveCounter&& other) noexcept {
    value = other.value;
    ++moves;
    return *this;
  }
};

TEST(TArrayTest, LongRunsOfAppendsAndInsertsMoveEachElementABoundedNumberOfTimes) {
  constexpr uint32_t kN = 100000;
  struct Case {
    const char* name;
    bool insertBeforeLast;
  };
  for (const Case c : {Case{"Append", false}, Case{"InsertAt", true}}) {
    SCOPED_TRACE(c.name);
    TArray<MoveCounter> a;
    ASSERT_TRUE(a.Append(MoveCounter(0)));
    MoveCounter::moves = 0;
    for (uint32_t i = 1; i < kN; ++i) {
      const int v = static_cast<int>(i);
      ASSERT_TRUE(c.insertBeforeLast ? a.InsertAt(a.Count() - 1, MoveCounter(v))
                                     : a.Append(MoveCounter(v)));
    }
    // One move into place (plus two for the shifted last element when inserting) and a
    // geometric share of the regrowth; steps of ten would move about kN * kN / 20 times.
    EXPECT_LT(MoveCounter::moves, 8ull * kN);
    ASSERT_EQ(a.Count(), kN);
    EXPECT_EQ(a[0].value, c.insertBeforeLast ? 1 : 0);
    EXPECT_EQ(a[kN - 1].value, c.insertBeforeLast ? 0 : static_cast<int>(kN - 1));
    EXPECT_EQ(a[kN / 2].value, static_cast<int>(kN / 2) + (c.insertBeforeLast ? 1 : 0));
  }
}

struct ResizeCase {
  uint32_t initial;
  int32_t n;
  uint32_t count;  // count and capacity afterwards
};

TEST(TArrayTest, ResizeSetsCountAndCapacityExactlyAndReturnsTheOldCount) {
  const ResizeCase cases[] = {
      {0, 5, 5}, {3, 7, 7}, {12, 4, 4}, {4, 4, 4}, {6, 0, 0}, {6, -1, 0}, {0, -100, 0},
  };
  for (const ResizeCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.initial << " -> " << c.n);
    TArray<int> a = Filled(c.initial);
    EXPECT_EQ(a.Resize(c.n), c.initial);
    EXPECT_EQ(a.Count(), c.count);
    EXPECT_EQ(a.Capacity(), c.count);
    for (uint32_t i = 0; i < c.count; ++i) {
      EXPECT_EQ(a[i], i < c.initial ? static_cast<int>(i) : 0) << i;
    }
    if (c.count == 0) {
      EXPECT_EQ(a.Data(), nullptr);
    }
  }
}

struct InsertCase {
  uint32_t index;
  bool ok;
  std::vector<int> after;
};

TEST(TArrayTest, InsertAtMovesTheTailUp) {
  const InsertCase cases[] = {
      {0, true, {9, 0, 1, 2}},
      {1, true, {0, 9, 1, 2}},
      {3, true, {0, 1, 2, 9}},
      {4, false, {0, 1, 2}},
  };
  for (const InsertCase& c : cases) {
    SCOPED_TRACE(c.index);
    TArray<int> a = Filled(3);
    EXPECT_EQ(a.InsertAt(c.index, 9), c.ok);
    EXPECT_EQ(Values(a), c.after);
  }
}

TEST(TArrayTest, RemoveAtMovesTheTailDown) {
  TArray<int> a = Filled(5);
  EXPECT_TRUE(a.RemoveAt(0));
  EXPECT_TRUE(a.RemoveAt(2));
  EXPECT_FALSE(a.RemoveAt(3));
  EXPECT_EQ(Values(a), (std::vector<int>{1, 2, 4}));
  EXPECT_EQ(a.IndexOf(4), 2);
  EXPECT_EQ(a.IndexOf(3), -1);
}

TEST(TArrayTest, AppendingAnOwnElementSurvivesTheReallocation) {
  TArray<TString> a;
  for (int i = 0; i < 10; ++i)
    a.Append(TString(u"element"));
  ASSERT_EQ(a.Count(), a.Capacity());
  a.Append(a[0]);
  a.InsertAt(0, a[10]);
  EXPECT_EQ(a.Count(), 12u);
  EXPECT_EQ(a[0], TString(u"element"));
  EXPECT_EQ(a[11], TString(u"element"));
}

TEST(TArrayTest, StringsKeepTheirTextThroughGrowthInsertAndRemove) {
  TArray<TString> a(3);
  std::vector<std::u16string> expected;
  for (int i = 0; i < 25; ++i) {
    std::u16string text(static_cast<size_t>(i + 1), static_cast<char16_t>(u'a' + i));
    a.Append(TString(text.c_str()));
    expected.push_back(text);
  }
  a.InsertAt(5, TString(u"mid"));
  expected.insert(expected.begin() + 5, u"mid");
  a.RemoveAt(0);
  expected.erase(expected.begin());
  TArray<TString> copy = a;
  a.Resize(10);
  expected.resize(10);
  ASSERT_EQ(a.Count(), expected.size());
  for (uint32_t i = 0; i < a.Count(); ++i)
    EXPECT_EQ(a[i].view(), expected[i]) << i;
  EXPECT_EQ(copy.Count(), 25u);
  EXPECT_EQ(copy[4], TString(u"mid"));
}

TEST(TArrayTest, DestructionReleasesInterfacesFromTheLastToTheFirst) {
  std::vector<int> log;
  {
    TArray<RefPtr<CountedUnknown>> a;
    for (int i = 0; i < 12; ++i)
      a.Append(RefPtr<CountedUnknown>::Adopt(new CountedUnknown(i, &log)));
    a.RemoveAt(3);
    EXPECT_EQ(log, (std::vector<int>{3}));
    log.clear();
  }
  EXPECT_EQ(log, (std::vector<int>{11, 10, 9, 8, 7, 6, 5, 4, 2, 1, 0}));
}

TEST(TArrayTest, ClearEmptiesAndTheArrayIsReusable) {
  std::vector<int> log;
  TArray<RefPtr<CountedUnknown>> a;
  for (int i = 0; i < 3; ++i)
    a.Append(RefPtr<CountedUnknown>::Adopt(new CountedUnknown(i, &log)));
  a.Clear();
  EXPECT_EQ(log, (std::vector<int>{2, 1, 0}));
  EXPECT_EQ(a.Count(), 0u);
  EXPECT_EQ(a.Capacity(), 0u);
  EXPECT_EQ(a.Data(), nullptr);
  a.Append(RefPtr<CountedUnknown>::Adopt(new CountedUnknown(7, &log)));
  EXPECT_EQ(a.Count(), 1u);
}

TEST(TArrayTest, MoveLeavesTheSourceEmpty) {
  TArray<TString> a;
  a.Append(TString(u"x"));
  TArray<TString> b = std::move(a);
  EXPECT_EQ(a.Count(), 0u);  // NOLINT(bugprone-use-after-move): moved-from state is specified
  EXPECT_EQ(a.Data(), nullptr);
  ASSERT_EQ(b.Count(), 1u);
  EXPECT_EQ(b[0], TString(u"x"));
}

TEST(CurvePointArrayTest, InsertAtKeepsPointsInOrderAcrossGrowth) {
  CurvePointArray curve;
  for (int i = 0; i < 20; ++i)
    curve.Append({i * 2.0, i * 0.5});
  for (int i = 19; i >= 0; --i)
    ASSERT_TRUE(curve.InsertAt(static_cast<uint32_t>(i) + 1, {i * 2.0 + 1, -1}));
  ASSERT_EQ(curve.Count(), 40u);
  for (uint32_t i = 0; i < curve.Count(); ++i) {
    EXPECT_EQ(curve[i].position, static_cast<double>(i)) << i;
    EXPECT_EQ(curve[i].value, i % 2 ? -1 : (i / 2) * 0.5) << i;
  }
}

}  // namespace
}  // namespace vk2
