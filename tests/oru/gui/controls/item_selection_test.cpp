#include "oru/gui/controls/item_selection.h"

#include <gtest/gtest.h>

namespace vk2::test {
namespace {

using ::testing::ElementsAre;

TEST(ItemSelectionTest, ASingleChoiceListKeepsOneSelected) {
  ItemSelection list;
  list.Inserted(0, 5);
  EXPECT_TRUE(list.Pick(2, ItemPick::kToggle));  // single choice: toggle picks only
  EXPECT_TRUE(list.Select(4, true));
  EXPECT_THAT(list.Selected(), ElementsAre(4));
  EXPECT_FALSE(list.Select(7, true));
  EXPECT_EQ(list.Current(), 2);
}

TEST(ItemSelectionTest, AMultipleChoiceListTogglesAndSelectsRanges) {
  ItemSelection list;
  list.SetMultiple(true);
  list.Inserted(0, 8);
  list.Pick(1, ItemPick::kOnly);
  list.Pick(3, ItemPick::kRange);
  EXPECT_THAT(list.Selected(), ElementsAre(1, 2, 3));
  list.Pick(6, ItemPick::kToggle);
  EXPECT_THAT(list.Selected(), ElementsAre(1, 2, 3, 6));
  list.Pick(4, ItemPick::kRange);  // from the new anchor, 6
  EXPECT_THAT(list.Selected(), ElementsAre(4, 5, 6));
  list.Step(1, true);
  EXPECT_THAT(list.Selected(), ElementsAre(5, 6));
  EXPECT_EQ(list.Current(), 5);
  list.SetMultiple(false);
  EXPECT_THAT(list.Selected(), ElementsAre(5));
}

TEST(ItemSelectionTest, SelectionStaysWithItsItemsAsOthersComeAndGo) {
  ItemSelection list;
  list.SetMultiple(true);
  list.Inserted(0, 6);
  list.Select(1, true);
  list.Select(4, true);
  list.Pick(4, ItemPick::kToggle);
  list.Pick(4, ItemPick::kToggle);
  list.Inserted(2, 3);
  EXPECT_THAT(list.Selected(), ElementsAre(1, 7));
  EXPECT_EQ(list.Current(), 7);
  list.Removed(0, 2);
  EXPECT_THAT(list.Selected(), ElementsAre(5));
  list.Removed(4, 3);  // the current item goes: the one now in its place
  EXPECT_THAT(list.Selected(), ElementsAre());
  EXPECT_EQ(list.Current(), 3);
  list.Clear();
  EXPECT_EQ(list.Current(), -1);
  EXPECT_FALSE(list.Step(1, false));
}

TEST(ItemSelectionTest, ScrollingShowsThePickedItem) {
  ItemSelection list;
  list.Inserted(0, 20);
  list.SetPageItems(5);
  list.Step(7, false);  // from none: the first, then
  list.Step(7, false);
  EXPECT_EQ(list.Current(), 7);
  EXPECT_EQ(list.Top(), 3);
  list.SetTop(100);
  EXPECT_EQ(list.Top(), 15);
  list.Pick(0, ItemPick::kOnly);
  EXPECT_EQ(list.Top(), 0);
  list.Removed(0, 18);
  list.SetTop(3);
  EXPECT_EQ(list.Top(), 0);
}

}  // namespace
}  // namespace vk2::test
