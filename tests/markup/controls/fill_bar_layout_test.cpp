// The fill bar's layout arithmetic: the bar inside the window, the handle at a position, the
// parts on either side and the track, with the truncations at the edges.
#include <gtest/gtest.h>

#include "markup/controls/fill_bar_layout.h"

namespace vk2::markup {
namespace {

FillBarGeometry WholeWindow() {
  FillBarGeometry g;
  g.barAlign[2] = 1.0;
  g.barAlign[3] = 1.0;
  return g;
}

// A horizontal handle `length` pixels long, as tall as the bar.
FillBarGeometry WithHandle(FillBarGeometry g, int32_t length) {
  g.hasHandle = true;
  g.innerHandleOffset[0] = 0;
  g.innerHandleOffset[2] = length;
  g.outerHandleOffset[0] = -length / 2;
  g.outerHandleOffset[2] = length - length / 2;
  g.outerHandleAlign[3] = 1.0;
  return g;
}

TEST(FillBarLayoutTest, BarRectangleFromAlignmentAndOffsets) {
  struct Case {
    const char* name;
    FillBarGeometry geometry;
    RectI bar;
  };
  FillBarGeometry offsetsOnly;
  offsetsOnly.barOffset[0] = 10;
  offsetsOnly.barOffset[1] = 2;
  offsetsOnly.barOffset[2] = 90;
  offsetsOnly.barOffset[3] = 8;
  FillBarGeometry relative = WholeWindow();
  relative.barAlign[0] = 0.25;
  relative.barAlign[2] = 0.755;  // 75.5 truncates to 75
  relative.barOffset[2] = -1;    // 74.5 truncates to 74
  const Case cases[] = {
      {"whole window", WholeWindow(), RectI{0, 0, 100, 20}},
      {"offsets only", offsetsOnly, RectI{10, 2, 90, 8}},
      {"relative with a pixel off", relative, RectI{25, 0, 74, 20}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FillBarRect(c.geometry, 100, 20), c.bar) << c.name;
  }
}

TEST(FillBarLayoutTest, WithoutHandleThePartsSplitAtThePosition) {
  const FillBarGeometry g = WholeWindow();
  const FillBarLayout half = LayOutFillBar(g, 100, 20, 0.5);
  EXPECT_EQ(half.first, (RectI{0, 0, 50, 20}));
  EXPECT_EQ(half.second, (RectI{50, 0, 100, 20}));
  EXPECT_EQ(half.centreX, 50);
  EXPECT_EQ(half.centreY, 10);
  EXPECT_TRUE(half.handle.Empty());
  // 99 × 0.333 = 32.97 truncates.
  EXPECT_EQ(LayOutFillBar(g, 99, 20, 0.333).first.right, 32);

  FillBarGeometry vertical = g;
  vertical.vertical = true;
  const FillBarLayout down = LayOutFillBar(vertical, 20, 100, 0.25);
  EXPECT_EQ(down.first, (RectI{0, 0, 20, 25}));
  EXPECT_EQ(down.second, (RectI{0, 25, 20, 100}));
  EXPECT_EQ(down.centreX, 10);
}

TEST(FillBarLayoutTest, HandleCentreRunsBetweenHalfHandlesFromTheEnds) {
  FillBarGeometry g = WithHandle(WholeWindow(), 20);
  g.barOffset[0] = 5;  // the bar starts at 5: D.left + 10 and D.left + 90
  g.barOffset[2] = 5;
  struct Case {
    double p;
    double centre;
    RectI handle;
  };
  const Case cases[] = {{0.0, 15, RectI{5, 0, 25, 20}},
                        {1.0, 95, RectI{85, 0, 105, 20}},
                        {0.5, 55, RectI{45, 0, 65, 20}}};
  for (const Case& c : cases) {
    const FillBarLayout layout = LayOutFillBar(g, 100, 20, c.p);
    EXPECT_EQ(layout.centreX, c.centre) << c.p;
    EXPECT_EQ(layout.handle, c.handle) << c.p;
    EXPECT_EQ(layout.first.right, static_cast<int32_t>(c.centre)) << c.p;
    EXPECT_EQ(layout.second.left, static_cast<int32_t>(c.centre)) << c.p;
  }
  EXPECT_EQ(FillBarTrack(g, 100, 20), (RectI{15, 0, 95, 20}));
}

TEST(FillBarLayoutTest, OddHandleKeepsItsHalfAsADouble) {
  const FillBarGeometry g = WithHandle(WholeWindow(), 21);
  EXPECT_EQ(FillBarHandleLength(g, FillBarRect(g, 100, 20)), 21);
  EXPECT_DOUBLE_EQ(LayOutFillBar(g, 100, 20, 0.0).centreX, 10.5);
  // h = trunc(10.5) = 10: the track runs from 10 to 100 - 21 + 10.
  EXPECT_EQ(FillBarTrack(g, 100, 20), (RectI{10, 0, 89, 20}));
}

TEST(FillBarLayoutTest, VerticalHandleIsScaledByTheBarWidth) {
  FillBarGeometry g = WholeWindow();
  g.vertical = true;
  g.hasHandle = true;
  g.innerHandleAlign[1] = 0.0;
  g.innerHandleAlign[3] = 0.5;  // half of the width (20), not of the height (100)
  g.outerHandleAlign[2] = 1.0;
  g.outerHandleOffset[1] = -5;
  g.outerHandleOffset[3] = 5;
  const RectI bar = FillBarRect(g, 20, 100);
  EXPECT_EQ(FillBarHandleLength(g, bar), 10);
  const FillBarLayout layout = LayOutFillBar(g, 20, 100, 1.0);
  EXPECT_DOUBLE_EQ(layout.centreY, 95);
  EXPECT_EQ(layout.handle, (RectI{0, 90, 20, 100}));
  EXPECT_EQ(layout.first, (RectI{0, 0, 20, 95}));
  EXPECT_EQ(FillBarTrack(g, 20, 100), (RectI{0, 5, 20, 95}));
}

TEST(FillBarLayoutTest, FillAndEmptyOffsetsMoveThePartsSideBySide) {
  FillBarGeometry g = WholeWindow();
  const int32_t fill[4] = {1, 2, -3, -4};
  const int32_t empty[4] = {-1, 1, 2, 3};
  for (int32_t i = 0; i < 4; ++i) {
    g.fillOffset[i] = fill[i];
    g.emptyOffset[i] = empty[i];
  }
  const FillBarLayout layout = LayOutFillBar(g, 100, 20, 0.5);
  EXPECT_EQ(layout.first, (RectI{1, 2, 47, 16}));
  EXPECT_EQ(layout.second, (RectI{49, 1, 102, 23}));
}

}  // namespace
}  // namespace vk2::markup
