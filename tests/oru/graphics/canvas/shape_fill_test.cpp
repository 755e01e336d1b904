// Fills, frames, shapes, lines and points on small canvases: exact without antialiasing, a small
// tolerance on antialiased edges.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <numbers>

#include "tests/oru/graphics/canvas/canvas_fixture.h"

namespace vk2::gfx::testing {
namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint64_t kCopy = 0xF;
constexpr uint64_t kLayerNormal = 0x1000001000F;

// Which pixels are red, as rows of '#' and '.'.
std::string RedMap(const SmallCanvas& c) {
  std::string s;
  for (int32_t y = 0; y < c.View().height; ++y) {
    for (int32_t x = 0; x < c.View().width; ++x)
      s += c.At(x, y) == kRed ? '#' : '.';
    s += '\n';
  }
  return s;
}

// Sum of the red channel over the canvas, in pixels (255 = one pixel).
double RedArea(const SmallCanvas& c) {
  double sum = 0;
  for (int32_t y = 0; y < c.View().height; ++y) {
    for (int32_t x = 0; x < c.View().width; ++x)
      sum += (c.At(x, y) >> 16) & 0xFF;
  }
  return sum / 255.0;
}

struct RectCase {
  RectF rect;
  const char* map;
};

TEST(FillRect, WithoutAntialiasingCoversPixelsWhoseCentresAreInside) {
  const RectCase cases[] = {
      {{1, 1, 3, 2}, "....\n.##.\n....\n"},
      // A centre on the right or bottom edge is in, on the left or top edge out: rectangles
      // that share an edge never share a pixel.
      {{0.5, 0.6, 2.5, 3}, "....\n.##.\n.##.\n"},
      {{-5, -5, 1, 10}, "#...\n#...\n#...\n"},  // clipped to the canvas
      {{3, 1, 3, 3}, "....\n....\n....\n"},     // empty
  };
  for (const RectCase& c : cases) {
    SmallCanvas canvas(4, 3, kBlack);
    canvas->FillRect(c.rect, kRed, kCopy, 256, false);
    EXPECT_EQ(RedMap(canvas), c.map);
  }
}

TEST(FillRect, AntialiasedEdgesCarryTheirCoveredFraction) {
  SmallCanvas canvas(4, 1, kBlack);
  canvas->FillRect(RectF{0.5, 0, 2.25, 1}, kRed, kLayerNormal, 256, true);
  EXPECT_TRUE(PixelNear(canvas.At(0, 0), 0xFF800000, 2));
  EXPECT_EQ(canvas.At(1, 0), kRed);
  EXPECT_TRUE(PixelNear(canvas.At(2, 0), 0xFF400000, 2));
  EXPECT_EQ(canvas.At(3, 0), kBlack);
}

TEST(FillRect, OpacityAndColourAlphaWeighTheLayer) {
  SmallCanvas canvas(2, 1, kBlack);
  canvas->FillRect(RectF{0, 0, 1, 1}, 0x80FF0000, kLayerNormal, 256, false);
  canvas->FillRect(RectF{1, 0, 2, 1}, kRed, kLayerNormal | kBlendOpacity, 64, false);
  EXPECT_TRUE(PixelNear(canvas.At(0, 0), 0xFF800000, 1));
  EXPECT_TRUE(PixelNear(canvas.At(1, 0), 0xFF3F0000, 1));
}

TEST(FrameRect, DrawsTheBorderInsideTheRectangle) {
  SmallCanvas canvas(6, 5, kBlack);
  canvas->FrameRect(RectF{0, 0, 6, 5}, 2, 1, kRed, kCopy, 256, false);
  EXPECT_EQ(RedMap(canvas),
            "######\n"
            "##..##\n"
            "##..##\n"
            "##..##\n"
            "######\n");
}

TEST(FrameRect, ThickerThanHalfFillsTheWhole) {
  SmallCanvas canvas(4, 4, kBlack);
  canvas->FrameRect(RectF{0, 0, 4, 4}, 2, 2, kRed, kCopy, 256, false);
  EXPECT_EQ(canvas.Count(kRed), 16);
}

TEST(Ellipse, AntialiasedAreaAndSymmetry) {
  SmallCanvas canvas(24, 24, kBlack);
  canvas->Ellipse(12, 12, 10, 6, kRed, true, kLayerNormal, 1, 256, true);
  EXPECT_NEAR(RedArea(canvas), std::numbers::pi * 10 * 6, 1.0);
  EXPECT_EQ(canvas.At(12, 12), kRed);
  EXPECT_EQ(canvas.At(1, 12) & 0x00FFFFFF, 0u);  // left of the ellipse
  for (int32_t y = 0; y < 24; ++y) {
    for (int32_t x = 0; x < 12; ++x) {
      ASSERT_TRUE(PixelNear(canvas.At(x, y), canvas.At(23 - x, y), 1)) << x << "," << y;
      ASSERT_TRUE(PixelNear(canvas.At(x, y), canvas.At(x, 23 - y), 1)) << x << "," << y;
    }
  }
}

TEST(Ellipse, WithoutAntialiasingPixelsAreAllOrNothing) {
  SmallCanvas canvas(24, 24, kBlack);
  canvas->Ellipse(12, 12, 8, 8, kRed, true, kLayerNormal, 1, 256, false);
  EXPECT_EQ(canvas.Count(kRed) + canvas.Count(kBlack), 24 * 24);
  EXPECT_NEAR(canvas.Count(kRed), std::numbers::pi * 64, 10);
}

TEST(Ellipse, OutlineIsARingCentredOnTheRadius) {
  SmallCanvas canvas(24, 24, kBlack);
  canvas->Ellipse(12, 12, 8, 8, kRed, false, kLayerNormal, 2, 256, true);
  // Area between radius 7 and 9.
  EXPECT_NEAR(RedArea(canvas), std::numbers::pi * (81 - 49), 1.0);
  EXPECT_EQ(canvas.At(12, 12), kBlack);
  EXPECT_TRUE(PixelNear(canvas.At(12, 4), kRed, 3));  // pixel centre at distance 7.5
}

TEST(RoundRect, CornersAreCutAndSidesAreFull) {
  SmallCanvas canvas(20, 12, kBlack);
  canvas->FillRoundRect(RectF{0, 0, 20, 12}, 5, 5, kRed, kLayerNormal, 256, true);
  EXPECT_EQ(canvas.At(0, 0), kBlack);
  EXPECT_EQ(canvas.At(10, 0), kRed);
  EXPECT_EQ(canvas.At(0, 6), kRed);
  // A full rectangle less four quarter-circle corners of radius 5.
  EXPECT_NEAR(RedArea(canvas), 240 - (4 - std::numbers::pi) * 25, 1.0);
}

TEST(RoundRect, FrameLeavesTheInsideAlone) {
  SmallCanvas canvas(20, 12, kBlack);
  canvas->FrameRoundRect(RectF{0, 0, 20, 12}, 4, 4, 1, kRed, kLayerNormal, 256, false);
  EXPECT_EQ(canvas.At(10, 0), kRed);
  EXPECT_EQ(canvas.At(10, 1), kBlack);
  EXPECT_EQ(canvas.At(0, 0), kBlack);
  EXPECT_EQ(canvas.At(10, 6), kBlack);
}

TEST(Line, ThicknessSpansBothSidesOfTheSegment) {
  SmallCanvas canvas(8, 6, kBlack);
  canvas->Line(1, 3, 7, 3, kRed, kLayerNormal, 2, 256, true);
  EXPECT_EQ(RedMap(canvas),
            "........\n"
            "........\n"
            ".######.\n"
            ".######.\n"
            "........\n"
            "........\n");
}

TEST(Line, DiagonalCoversItsLengthTimesThickness) {
  SmallCanvas canvas(16, 16, kBlack);
  canvas->Line(2, 2, 14, 14, kRed, kLayerNormal, 1, 256, true);
  EXPECT_NEAR(RedArea(canvas), std::hypot(12, 12), 0.5);
}

TEST(Point, LandsOnThePixelHoldingIt) {
  SmallCanvas canvas(4, 4, kBlack);
  canvas->Point(2.7, 1.2, kRed, kCopy, 256, false);
  EXPECT_EQ(canvas.At(2, 1), kRed);
  EXPECT_EQ(canvas.Count(kRed), 1);
  SmallCanvas aa(4, 4, kBlack);
  aa->Point(2, 1.5, kRed, kLayerNormal, 256, true);  // halfway between pixels 1 and 2
  EXPECT_TRUE(PixelNear(aa.At(1, 1), 0xFF800000, 2));
  EXPECT_TRUE(PixelNear(aa.At(2, 1), 0xFF800000, 2));
}

TEST(FillCoverage, WeighsTheColourByEachCoverageByte) {
  SmallCanvas canvas(3, 1, 0xFFFFFFFF);
  PixelsOf glyph = PixelsOf::Index(3, 1, {0, 128, 255});
  canvas->FillCoverage(glyph.View(), 0, 0, kBlack, kLayerNormal, 256);
  EXPECT_EQ(canvas.At(0, 0), 0xFFFFFFFFu);
  EXPECT_TRUE(PixelNear(canvas.At(1, 0), 0xFF7F7F7F, 1));
  EXPECT_EQ(canvas.At(2, 0), kBlack);
}

// Coordinates that are not numbers, or sides too long for 32 bits, are refused; huge finite
// ones are clipped. Nothing crashes and nothing outside the canvas is touched.
TEST(BadGeometry, IsRefusedOrClipped) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  SmallCanvas canvas(4, 4, kBlack);
  EXPECT_LT(canvas->FillRect(RectF{nan, 0, 2, 2}, kRed, kCopy, 256, false), 0);
  EXPECT_LT(canvas->FillRect(RectF{0, 0, inf, 2}, kRed, kCopy, 256, true), 0);
  EXPECT_LT(canvas->Ellipse(2, 2, nan, 2, kRed, true, kCopy, 1, 256, true), 0);
  EXPECT_LT(canvas->Point(nan, 1, kRed, kCopy, 256, false), 0);
  LinearFillRecord rec;
  std::array<uint32_t, 256> palette{};
  EXPECT_LT(canvas->GeneratedFill(kFillLinear, RectI{-2000000000, 0, 2000000000, 4}, &rec,
                                  palette.data()),
            0);
  EXPECT_EQ(canvas.Count(kBlack), 16);

  EXPECT_EQ(canvas->FillRect(RectF{-1e300, -1e300, 1e300, 1e300}, kRed, kCopy, 256, true), 0);
  EXPECT_EQ(canvas.Count(kRed), 16);
  SmallCanvas huge(4, 4, kBlack);
  EXPECT_EQ(huge->Ellipse(2, 2, 1e12, 1e12, kRed, true, kCopy, 1, 256, true), 0);
  EXPECT_EQ(huge.Count(kRed), 16);
  // Radii are capped at half the sides; a thickness that is not positive counts as 1.
  SmallCanvas capped(4, 4, kBlack);
  EXPECT_EQ(capped->FillRoundRect(RectF{0, 0, 4, 4}, inf, inf, kRed, kCopy, 256, false), 0);
  EXPECT_EQ(capped.At(0, 0), kBlack);
  EXPECT_EQ(capped.At(1, 1), kRed);
  SmallCanvas thin(4, 4, kBlack);
  EXPECT_EQ(thin->Line(0, 0.5, 4, 0.5, kRed, kCopy, nan, 256, false), 0);
  EXPECT_EQ(thin.Count(kRed), 4);
}

}  // namespace
}  // namespace vk2::gfx::testing
