#include "oru/gui/controls/item_pick.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <unordered_set>

namespace vk2::test {
namespace {

// Keys unlike the indices, as the list view's row identifiers are.
uint32_t KeyOf(int32_t index) {
  return static_cast<uint32_t>(100 + index);
}

TEST(ItemPickTest, EachPickSaysWhetherTheSelectionChangedAndWhereTheAnchorIs) {
  struct Case {
    const char* what;
    std::set<uint32_t> before;
    int32_t anchor;
    int32_t index;
    ItemPick how;
    std::set<uint32_t> after;
    bool changed;
    int32_t anchorAfter;
  };
  const Case cases[] = {
      {"alone, already alone", {102}, 0, 2, ItemPick::kOnly, {102}, false, 2},
      {"alone, among others", {101, 102}, 0, 2, ItemPick::kOnly, {102}, true, 2},
      {"toggled off", {101, 102}, 0, 2, ItemPick::kToggle, {101}, true, 2},
      {"toggled on", {}, -1, 3, ItemPick::kToggle, {103}, true, 3},
      {"range from the anchor", {105}, 1, 3, ItemPick::kRange, {101, 102, 103}, true, 1},
      {"range backwards", {}, 4, 2, ItemPick::kRange, {102, 103, 104}, true, 4},
      {"the same range again", {101, 102, 103}, 1, 3, ItemPick::kRange, {101, 102, 103}, false, 1},
      {"range without an anchor", {100, 105}, -1, 3, ItemPick::kRange, {103}, true, 3},
      {"range added", {105}, 1, 2, ItemPick::kAddRange, {101, 102, 105}, true, 1},
      {"range added, all there", {101, 102}, 1, 2, ItemPick::kAddRange, {101, 102}, false, 1},
      {"current only", {101}, 1, 4, ItemPick::kCurrentOnly, {101}, false, 1},
      {"current only, no anchor", {}, -1, 4, ItemPick::kCurrentOnly, {}, false, -1},
  };
  for (const Case& c : cases) {
    std::set<uint32_t> ordered = c.before;
    std::unordered_set<uint32_t> hashed(c.before.begin(), c.before.end());
    const PickResult a = PickItem(ordered, c.index, c.anchor, c.how, KeyOf);
    const PickResult b = PickItem(hashed, c.index, c.anchor, c.how, KeyOf);
    EXPECT_EQ(ordered, c.after) << c.what;
    EXPECT_EQ(std::set<uint32_t>(hashed.begin(), hashed.end()), c.after) << c.what;
    EXPECT_EQ(a.changed, c.changed) << c.what;
    EXPECT_EQ(b.changed, c.changed) << c.what;
    EXPECT_EQ(a.anchor, c.anchorAfter) << c.what;
    EXPECT_EQ(b.anchor, c.anchorAfter) << c.what;
  }
}

TEST(ItemPickTest, StepsStayInsideTheList) {
  EXPECT_EQ(SteppedIndex(-1, 5, 10), 0);  // none current: the first
  EXPECT_EQ(SteppedIndex(3, 4, 10), 7);
  EXPECT_EQ(SteppedIndex(3, 100, 10), 9);
  EXPECT_EQ(SteppedIndex(3, -100, 10), 0);
  EXPECT_EQ(SteppedIndex(5, INT32_MAX, 10), 9);  // no overflow
  EXPECT_EQ(SteppedIndex(5, INT32_MIN, 10), 0);
}

}  // namespace
}  // namespace vk2::test
