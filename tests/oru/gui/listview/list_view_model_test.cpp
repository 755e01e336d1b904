#include "oru/gui/listview/list_view_model.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "oru/core/error_tables.h"
#include "oru/services/prefs/preference_store.h"
#include "tests/oru/gui/listview/list_rows.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct CountingObserver : ListViewObserver {
  void SelectionChanged() override { ++selection; }
  void CurrentChanged() override { ++current; }
  int selection = 0;
  int current = 0;
};

class ListViewModelTest : public ::testing::Test {
 protected:
  void Fill(std::initializer_list<uint32_t> ids) {
    auto rows = Rows(ids);
    model.SetRows(rows.data(), static_cast<int32_t>(rows.size()));
  }
  bool Select(std::vector<uint32_t> ids) {
    return model.SetSelection(ids.data(), static_cast<int32_t>(ids.size()));
  }

  CountingObserver observer;
  ListViewModel model{&observer};
};

TEST_F(ListViewModelTest, InsertsRemovesAndFindsRowsByIdentifier) {
  Fill({10, 20, 30});
  auto more = Rows({15, 16});
  EXPECT_TRUE(model.InsertRows(1, more.data(), 2));
  EXPECT_THAT(Ids(model), ElementsAre(10, 15, 16, 20, 30));
  auto tail = Rows({40});
  EXPECT_TRUE(model.InsertRows(5, tail.data(), 1));  // at the end: appended
  EXPECT_FALSE(model.InsertRows(7, tail.data(), 1));
  EXPECT_EQ(model.IndexOfId(20), 3);
  EXPECT_EQ(model.IndexOfId(99), -1);

  EXPECT_TRUE(model.RemoveRows(1, 2));
  EXPECT_THAT(Ids(model), ElementsAre(10, 20, 30, 40));
  EXPECT_FALSE(model.RemoveRows(3, 2));  // runs past the end: nothing removed
  EXPECT_EQ(model.RowCount(), 4);

  auto replacement = Rows({21, 31});
  EXPECT_TRUE(model.ReplaceRows(1, replacement.data(), 2));
  EXPECT_THAT(Ids(model), ElementsAre(10, 21, 31, 40));
  std::vector<ListViewModel::Row> got;
  EXPECT_TRUE(model.GetRows(2, 2, &got));
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0]->GetId(), 31u);
  EXPECT_FALSE(model.GetRows(3, 2, &got));

  model.RemoveAll();
  EXPECT_EQ(model.RowCount(), 0);
}

TEST_F(ListViewModelTest, MovesRowsSoTheFirstLandsAtTheDestination) {
  struct Case {
    int32_t destination, source, count;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {0, 3, 2, {4, 5, 1, 2, 3, 6}},  // up
      {3, 0, 2, {3, 4, 5, 1, 2, 6}},  // down
      {4, 4, 2, {1, 2, 3, 4, 5, 6}},  // in place
      {5, 0, 1, {2, 3, 4, 5, 6, 1}},  // to the last place
  };
  for (const Case& c : cases) {
    Fill({1, 2, 3, 4, 5, 6});
    EXPECT_TRUE(model.MoveRows(c.destination, c.source, c.count));
    EXPECT_EQ(Ids(model), c.expected) << c.destination << " " << c.source;
  }
  EXPECT_FALSE(model.MoveRows(5, 0, 2));  // the block would stick out past the end
  EXPECT_FALSE(model.MoveRows(0, -1, 1));
}

TEST_F(ListViewModelTest, SelectionFollowsIdentifiersThroughMovesAndRemovals) {
  Fill({1, 2, 3, 4});
  EXPECT_TRUE(Select({3, 1}));
  EXPECT_THAT(model.GetSelection(), ElementsAre(1, 3));  // display order
  EXPECT_TRUE(model.MoveRows(0, 2, 1));
  EXPECT_THAT(model.GetSelection(), ElementsAre(3, 1));
  EXPECT_FALSE(Select({2, 9}));  // an absent identifier: nothing changes
  EXPECT_THAT(model.GetSelection(), ElementsAre(3, 1));

  const int before = observer.selection;
  EXPECT_TRUE(model.RemoveRows(0, 1));
  EXPECT_THAT(model.GetSelection(), ElementsAre(1));
  EXPECT_EQ(observer.selection, before + 1);
}

TEST_F(ListViewModelTest, ClicksPickRowsLikeAListDoes) {
  Fill({1, 2, 3, 4, 5, 6});
  model.PickRow(1, ItemPick::kOnly);
  EXPECT_THAT(model.GetSelection(), ElementsAre(2));
  EXPECT_EQ(model.GetCurrentId(), 2u);
  model.PickRow(3, ItemPick::kRange);
  EXPECT_THAT(model.GetSelection(), ElementsAre(2, 3, 4));
  model.PickRow(0, ItemPick::kRange);  // the anchor stays at the first click
  EXPECT_THAT(model.GetSelection(), ElementsAre(1, 2));
  model.PickRow(5, ItemPick::kToggle);
  EXPECT_THAT(model.GetSelection(), ElementsAre(1, 2, 6));
  model.PickRow(1, ItemPick::kToggle);
  EXPECT_THAT(model.GetSelection(), ElementsAre(1, 6));
  model.PickRow(3, ItemPick::kAddRange);  // from the new anchor (row 1) to row 3
  EXPECT_THAT(model.GetSelection(), ElementsAre(1, 2, 3, 4, 6));
  EXPECT_EQ(model.GetCurrentId(), 4u);
  model.PickRow(4, ItemPick::kCurrentOnly);
  EXPECT_THAT(model.GetSelection(), ElementsAre(1, 2, 3, 4, 6));
  EXPECT_EQ(model.GetCurrentId(), 5u);
  model.ClearSelection();
  EXPECT_THAT(model.GetSelection(), IsEmpty());
  model.SelectAll();
  EXPECT_EQ(model.GetSelection().size(), 6u);
}

TEST_F(ListViewModelTest, CurrentRowIsSetByIdentifierAndSurvivesItsRemoval) {
  Fill({1, 2, 3});
  EXPECT_EQ(model.GetCurrentId(), 0u);
  EXPECT_FALSE(model.SetCurrentId(7));
  EXPECT_TRUE(model.SetCurrentId(2));
  EXPECT_EQ(observer.current, 1);
  EXPECT_TRUE(model.SetCurrentId(2));
  EXPECT_EQ(observer.current, 1);  // no change, no notice
  EXPECT_TRUE(model.RemoveRows(1, 1));
  EXPECT_EQ(model.GetCurrentId(), 3u);  // the row that slid into its place
  EXPECT_EQ(observer.current, 2);
  EXPECT_TRUE(model.RemoveRows(1, 1));
  EXPECT_EQ(model.GetCurrentId(), 1u);
  model.RemoveAll();
  EXPECT_EQ(model.GetCurrentId(), 0u);
}

TEST_F(ListViewModelTest, KeyboardStepsStayInsideTheList) {
  Fill({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  model.SetPageRows(3);
  model.StepCurrent(1, ItemPick::kOnly);  // no current row: the first becomes current
  EXPECT_EQ(model.GetCurrentId(), 1u);
  model.StepCurrent(5, ItemPick::kOnly);
  EXPECT_EQ(model.GetCurrentId(), 6u);
  EXPECT_EQ(model.TopRow(), 3);  // scrolled just enough to show row 5
  model.StepCurrent(100, ItemPick::kRange);
  EXPECT_EQ(model.GetCurrentId(), 10u);
  EXPECT_THAT(model.GetSelection(), ElementsAre(6, 7, 8, 9, 10));
  model.StepCurrent(-100, ItemPick::kOnly);
  EXPECT_EQ(model.GetCurrentId(), 1u);
  EXPECT_EQ(model.TopRow(), 0);
}

TEST_F(ListViewModelTest, ScrollsTheLeastToShowARowAndToEitherEdge) {
  Fill({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  model.SetPageRows(4);
  EXPECT_TRUE(model.ScrollToShow(6));  // index 5: top becomes 2
  EXPECT_EQ(model.TopRow(), 2);
  EXPECT_TRUE(model.ScrollToShow(4));  // already shown
  EXPECT_EQ(model.TopRow(), 2);
  EXPECT_TRUE(model.ScrollToShow(1));
  EXPECT_EQ(model.TopRow(), 0);
  EXPECT_TRUE(model.ScrollToEdge(9, false));  // index 8 at the top would leave the page short
  EXPECT_EQ(model.TopRow(), 6);
  EXPECT_TRUE(model.ScrollToEdge(6, true));
  EXPECT_EQ(model.TopRow(), 2);
  EXPECT_FALSE(model.ScrollToShow(99));
  model.SetTopRow(-5);
  EXPECT_EQ(model.TopRow(), 0);
  EXPECT_TRUE(model.RemoveRows(0, 8));  // the list shrank under the page
  model.SetTopRow(1);
  EXPECT_EQ(model.TopRow(), 0);
}

TEST_F(ListViewModelTest, DragMovesTheSelectedRowsBeforeTheDropRow) {
  struct Case {
    std::vector<uint32_t> selected;
    int32_t target;
    std::vector<uint32_t> expected;
  };
  const Case cases[] = {
      {{2, 4}, 0, {2, 4, 1, 3, 5, 6}},
      {{1, 2}, 5, {3, 4, 5, 1, 2, 6}},
      {{1, 2}, -1, {3, 4, 5, 6, 1, 2}},
      {{3, 5}, 2, {1, 2, 3, 5, 4, 6}},  // dropped on a selected row: before the next unselected
      {{6}, 6, {1, 2, 3, 4, 5, 6}},
  };
  for (const Case& c : cases) {
    Fill({1, 2, 3, 4, 5, 6});
    ASSERT_TRUE(Select(c.selected));
    EXPECT_TRUE(model.MoveSelectionBefore(c.target));
    EXPECT_EQ(Ids(model), c.expected) << c.target;
    EXPECT_EQ(model.GetSelection().size(), c.selected.size());
  }
  model.ClearSelection();
  EXPECT_FALSE(model.MoveSelectionBefore(0));
}

TEST_F(ListViewModelTest, ColumnsShareTheWidthWithinTheirLimits) {
  model.AddColumn(ListViewModel::Column(new WidthColumn(0.1, 40, 60)));
  model.AddColumn(ListViewModel::Column(new WidthColumn(0.5, 0, 0x7FFFFFFF)));
  model.AddColumn(ListViewModel::Column(new WidthColumn(0.333, 0, 0x7FFFFFFF)));
  EXPECT_THAT(model.ColumnWidths(300), ElementsAre(40, 150, 110));  // 99.9 + remainder
  EXPECT_THAT(model.ColumnWidths(1000), ElementsAre(60, 500, 440));
  // Dragging the first edge: the next column gives up what the first takes.
  EXPECT_TRUE(model.ResizeColumn(1, 200, 1000));
  EXPECT_THAT(model.ColumnWidths(1000), ElementsAre(60, 200, 740));
  EXPECT_TRUE(model.ResizeColumn(0, 10, 1000));  // held at its minimum
  EXPECT_EQ(model.ColumnWidths(1000)[0], 40);
  EXPECT_FALSE(model.ResizeColumn(3, 10, 1000));
}

TEST_F(ListViewModelTest, StateGoesToThePreferenceSectionAndComesBack) {
  TempFolder folder;
  oru::ErrorTables errors;
  auto tree = std::make_shared<oru::PreferenceTree>(folder / "prefs.xml");
  RefPtr<MPreferenceStore> section(new oru::PreferenceStoreObject(tree, &errors));
  ASSERT_EQ(section->OpenSection(u"/velkora/playlistview", 1), 0);

  Fill({1, 2, 3, 4, 5, 6, 7, 8});
  model.SetPageRows(3);
  model.AddColumn(ListViewModel::Column(new WidthColumn(0.25, 0, 1000)));
  model.AddColumn(ListViewModel::Column(new WidthColumn(0.75, 0, 1000)));
  ASSERT_TRUE(model.ResizeColumn(0, 400, 1000));
  model.SetTopRow(4);
  ASSERT_TRUE(model.SetCurrentId(6));
  ASSERT_EQ(model.SaveState(section.Get()), 0);

  CountingObserver otherObserver;
  ListViewModel restored(&otherObserver);
  auto rows = Rows({1, 2, 3, 4, 5, 6, 7, 8});
  restored.SetRows(rows.data(), 8);
  restored.SetPageRows(3);
  restored.AddColumn(ListViewModel::Column(new WidthColumn(0.25, 0, 1000)));
  restored.AddColumn(ListViewModel::Column(new WidthColumn(0.75, 0, 1000)));
  ASSERT_EQ(restored.LoadState(section.Get()), 0);
  EXPECT_THAT(restored.ColumnWidths(1000), ElementsAre(400, 600));
  EXPECT_EQ(restored.TopRow(), 4);
  EXPECT_EQ(restored.GetCurrentId(), 6u);
  EXPECT_EQ(otherObserver.current, 1);

  // Saved for other columns and a longer list: the widths are left alone, the top is held in.
  ListViewModel fewer;
  auto two = Rows({1, 2});
  fewer.SetRows(two.data(), 2);
  fewer.AddColumn(ListViewModel::Column(new WidthColumn(1.0, 0, 1000)));
  ASSERT_EQ(fewer.LoadState(section.Get()), 0);
  EXPECT_THAT(fewer.ColumnWidths(500), ElementsAre(500));
  EXPECT_EQ(fewer.TopRow(), 1);
  EXPECT_EQ(fewer.GetCurrentId(), 0u);

  ListViewModel empty;
  RefPtr<MPreferenceStore> blank(new oru::PreferenceStoreObject(tree, &errors));
  ASSERT_EQ(blank->OpenSection(u"/velkora/nothing", 1), 0);
  EXPECT_EQ(empty.LoadState(blank.Get()), 0);
  EXPECT_LT(empty.SaveState(nullptr), 0);
}

}  // namespace
}  // namespace vk2::test
