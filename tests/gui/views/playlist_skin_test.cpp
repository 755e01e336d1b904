// How a playlist skin fills in what it was not given: image sets from their base entry, row
// sets from one another, and the drop hints from the shared one.
#include <gtest/gtest.h>

#include <map>

#include "gui/playlist_view/playlist_skin.h"
#include "tests/gui/views/view_fakes.h"

namespace vk2::gui {
namespace {

RefPtr<MImageStyleDrawing> Image() {
  return RefPtr<MImageStyleDrawing>(new test::SolidImage(0xFF000000));
}

TEST(PlaylistSkinTest, ASetFillsInFromItsBaseAndLastEntries) {
  ImageSet set;
  RefPtr<MImageStyleDrawing> base = Image();
  RefPtr<MImageStyleDrawing> last = Image();
  set.entries[kSetBase] = base;
  set.entries[kSetLast] = last;
  set.Complete();
  EXPECT_EQ(set.entries[kSetFirst].Get(), base.Get());
  EXPECT_EQ(set.entries[kSetEven].Get(), base.Get());
  EXPECT_EQ(set.entries[kSetLast].Get(), last.Get());
  EXPECT_EQ(set.entries[kSetLastEven].Get(), last.Get());
  // Without a last entry, last-even follows the last one filled from the base.
  ImageSet only;
  only.entries[kSetBase] = base;
  only.Complete();
  EXPECT_EQ(only.entries[kSetLastEven].Get(), base.Get());
  EXPECT_EQ(only.Pick(3, 6), base.Get());
}

TEST(PlaylistSkinTest, RowSetsCopyEachOtherWhenNotGiven) {
  struct Case {
    bool selected, current, currentSelected;
    // Which set each row state draws: 'r' row, 's' selected, 'c' current, 'b' both.
    char selectedSet, currentSet, bothSet;
  } cases[] = {
      {false, false, false, 'r', 'r', 'r'},
      {true, false, false, 's', 'r', 'r'},
      {false, true, false, 'r', 'c', 'c'},
      {true, true, true, 's', 'c', 'b'},
  };
  for (const Case& c : cases) {
    PlaylistSkin skin;
    std::map<char, MImageStyleDrawing*> images;
    auto give = [&](SkinSet set, char tag) {
      skin.sets[set].entries[kSetBase] = Image();
      images[tag] = skin.sets[set].entries[kSetBase].Get();
    };
    give(kSetRow, 'r');
    if (c.selected) give(kSetSelectedRow, 's');
    if (c.current) give(kSetCurrentRow, 'c');
    if (c.currentSelected) give(kSetCurrentSelectedRow, 'b');
    skin.CompleteSets(c.selected, c.current, c.currentSelected);
    for (int32_t i = 0; i < 4; ++i) {
      EXPECT_EQ(skin.sets[kSetSelectedRow].Pick(i, 4), images[c.selectedSet]);
      EXPECT_EQ(skin.sets[kSetCurrentRow].Pick(i, 4), images[c.currentSet]);
      EXPECT_EQ(skin.sets[kSetCurrentSelectedRow].Pick(i, 4), images[c.bothSet]);
    }
  }
}

TEST(PlaylistSkinTest, DropHintsAndRedrawFlags) {
  struct Case {
    bool header, item, shared;
    bool headerDrawn, itemDrawn;
  } cases[] = {
      {false, false, true, true, true},
      {true, false, false, true, false},
      {true, false, true, true, true},
      {false, false, false, false, false},
  };
  for (const Case& c : cases) {
    PlaylistSkin skin;
    if (c.header) skin.headerDropHint = Image();
    if (c.item) skin.itemDropHint = Image();
    RefPtr<MImageStyleDrawing> shared = c.shared ? Image() : RefPtr<MImageStyleDrawing>();
    skin.FillDropHints(shared.Get());
    EXPECT_EQ(static_cast<bool>(skin.headerDropHint), c.headerDrawn);
    EXPECT_EQ(static_cast<bool>(skin.itemDropHint), c.itemDrawn);
  }
  // Absent backgrounds repaint whole; the style library animates no image.
  PlaylistSkin skin;
  skin.ComputeRedrawFlags();
  EXPECT_TRUE(skin.redrawHeaderBackground);
  EXPECT_FALSE(skin.redrawContent);
  EXPECT_FALSE(skin.redrawHeader);
  skin.headerBackground = Image();
  skin.ComputeRedrawFlags();
  EXPECT_FALSE(skin.redrawHeaderBackground);
}

}  // namespace
}  // namespace vk2::gui
