// Generated fills: palette gradients and four-point fills, read back pixel by pixel.
#include <gtest/gtest.h>

#include <array>

#include "tests/oru/graphics/canvas/canvas_fixture.h"

namespace vk2::gfx::testing {
namespace {

constexpr uint64_t kCopy = 0xF;

// Entry i is grey i, so a pixel's blue channel is its palette index.
std::array<uint32_t, 256> GreyPalette() {
  std::array<uint32_t, 256> p{};
  for (uint32_t i = 0; i < 256; ++i)
    p[i] = 0xFF000000 | (i << 16) | (i << 8) | i;
  return p;
}

int32_t IndexAt(const SmallCanvas& c, int32_t x, int32_t y) {
  return static_cast<int32_t>(c.At(x, y) & 0xFF);
}

TEST(LinearFill, SweepsThePaletteAlongTheAngle) {
  const auto palette = GreyPalette();
  SmallCanvas across(256, 1, 0);
  LinearFillRecord rec;
  rec.head.code = kCopy;
  across->GeneratedFill(kFillLinear, RectI{0, 0, 256, 1}, &rec, palette.data());
  for (int32_t x = 0; x < 256; ++x)
    ASSERT_EQ(IndexAt(across, x, 0), x);

  // A quarter turn runs upward: the bottom row starts the palette.
  SmallCanvas up(1, 256, 0);
  rec.angle = 16384;
  up->GeneratedFill(kFillLinear, RectI{0, 0, 1, 256}, &rec, palette.data());
  EXPECT_EQ(IndexAt(up, 0, 255), 0);
  EXPECT_EQ(IndexAt(up, 0, 0), 255);

  // A spread of 2 sweeps the palette twice.
  SmallCanvas twice(256, 1, 0);
  rec.angle = 0;
  rec.spread = 2 << 16;
  twice->GeneratedFill(kFillLinear, RectI{0, 0, 256, 1}, &rec, palette.data());
  EXPECT_EQ(IndexAt(twice, 10, 0), 21);
  EXPECT_EQ(IndexAt(twice, 138, 0), 21);
}

TEST(CircularFill, RingsGrowWithDistanceAndHoldTheLastEntry) {
  const auto palette = GreyPalette();
  SmallCanvas canvas(12, 1, 0);
  CircularFillRecord rec;
  rec.head.code = kCopy;
  rec.centerX = 0;
  rec.centerY = 0;
  rec.radius = 10;
  canvas->GeneratedFill(kFillCircular, RectI{0, 0, 12, 1}, &rec, palette.data());
  // Pixel centres lie at distances 0.5 .. 11.5 (vertical offset 0.5).
  EXPECT_NEAR(IndexAt(canvas, 0, 0), 18, 1);
  EXPECT_NEAR(IndexAt(canvas, 5, 0), 141, 1);
  EXPECT_EQ(IndexAt(canvas, 11, 0), 255);
}

TEST(RadialFill, SweepsCounterClockwiseFromTheStartAngle) {
  const auto palette = GreyPalette();
  SmallCanvas canvas(101, 101, 0);
  RadialFillRecord rec;
  rec.head.code = kCopy;
  rec.centerX = 50;
  rec.centerY = 50;
  canvas->GeneratedFill(kFillRadial, RectI{0, 0, 101, 101}, &rec, palette.data());
  EXPECT_NEAR(IndexAt(canvas, 95, 49), 0, 1);    // right
  EXPECT_NEAR(IndexAt(canvas, 49, 5), 64, 1);    // up
  EXPECT_NEAR(IndexAt(canvas, 5, 50), 128, 1);   // left
  EXPECT_NEAR(IndexAt(canvas, 50, 95), 192, 1);  // down

  // A quarter sweep from "up" to "left": the diagonal between them is half way.
  SmallCanvas quarter(101, 101, 0);
  rec.startAngle = 16384;
  rec.endAngle = 32768;
  quarter->GeneratedFill(kFillRadial, RectI{0, 0, 101, 101}, &rec, palette.data());
  EXPECT_NEAR(IndexAt(quarter, 20, 20), 128, 2);
}

TEST(FourPointFill, CornersTakeTheirColoursAndTheMiddleBlends) {
  SmallCanvas corners(2, 2, 0);
  FourPointFillRecord rec;
  rec.code = kCopy | kBlendFourPointPlain;
  rec.colors[0] = 0xFFFF0000;
  rec.colors[1] = 0xFF00FF00;
  rec.colors[2] = 0xFF0000FF;
  rec.colors[3] = 0xFFFFFFFF;
  corners->GeneratedFill(kFillFourPoint, RectI{0, 0, 2, 2}, &rec, nullptr);
  EXPECT_EQ(corners.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(corners.At(1, 0), 0xFF00FF00u);
  EXPECT_EQ(corners.At(0, 1), 0xFF0000FFu);
  EXPECT_EQ(corners.At(1, 1), 0xFFFFFFFFu);

  SmallCanvas middle(3, 3, 0);
  middle->GeneratedFill(kFillFourPoint, RectI{0, 0, 3, 3}, &rec, nullptr);
  EXPECT_TRUE(PixelNear(middle.At(1, 1), 0xFF808080, 1));
  EXPECT_TRUE(PixelNear(middle.At(1, 0), 0xFF808000, 1));
}

TEST(GeneratedFill, RecordOpacityCountsUnderBit44) {
  std::array<uint32_t, 256> red{};
  red.fill(0xFFFF0000);
  SmallCanvas canvas(2, 1, 0xFF000000);
  LinearFillRecord rec;
  rec.head.code = 0x1000001000F | kBlendOpacity;
  rec.head.opacity = 128;
  canvas->GeneratedFill(kFillLinear, RectI{0, 0, 2, 1}, &rec, red.data());
  EXPECT_TRUE(PixelNear(canvas.At(0, 0), 0xFF7F0000, 1));
}

TEST(GeneratedFill, DitheringSpreadsBetweenNeighbouringEntries) {
  // Entries alternate black and white, so a dithered pixel shows which entry it took.
  std::array<uint32_t, 256> stripes{};
  for (int i = 0; i < 256; ++i)
    stripes[i] = i % 2 ? 0xFFFFFFFF : 0xFF000000;
  LinearFillRecord rec;
  rec.head.code = kCopy;
  rec.spread = 0x8000;  // half an entry per pixel of a 512-wide fill
  SmallCanvas plain(512, 4, 0);
  plain->GeneratedFill(kFillLinear, RectI{0, 0, 512, 4}, &rec, stripes.data());
  rec.head.code = kCopy | kBlendDither;
  SmallCanvas dithered(512, 4, 0);
  dithered->GeneratedFill(kFillLinear, RectI{0, 0, 512, 4}, &rec, stripes.data());
  int32_t differ = 0;
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 512; ++x)
      differ += plain.At(x, y) != dithered.At(x, y);
  }
  EXPECT_GT(differ, 0);
  EXPECT_LT(differ, 512 * 4);
}

TEST(FourPointFill, DithersUnlessBit57AndTheFlagQueryFollowsTheSetting) {
  FourPointFillRecord rec;
  rec.code = kCopy;  // bit 57 clear: dithered
  rec.colors[0] = rec.colors[2] = 0xFF000000;
  rec.colors[1] = rec.colors[3] = 0xFF000001;  // blue climbs by one across 64 pixels
  SmallCanvas dithered(64, 4, 0);
  dithered->GeneratedFill(kFillFourPoint, RectI{0, 0, 64, 4}, &rec, nullptr);
  rec.code = kCopy | kBlendFourPointPlain;
  SmallCanvas plain(64, 4, 0);
  plain->GeneratedFill(kFillFourPoint, RectI{0, 0, 64, 4}, &rec, nullptr);
  int32_t ones = 0;
  int32_t switches = 0;
  for (int32_t x = 1; x < 64; ++x) {
    switches += (dithered.At(x, 0) & 1) != (dithered.At(x - 1, 0) & 1);
    for (int32_t y = 0; y < 4; ++y)
      ones += static_cast<int32_t>(dithered.At(x, y) & 1);
  }
  // Plain rounding switches once, half way; dithering mixes the two values along the row.
  EXPECT_EQ(plain.At(31, 0), 0xFF000000u);
  EXPECT_EQ(plain.At(32, 0), 0xFF000001u);
  EXPECT_GT(switches, 4);
  EXPECT_NEAR(ones, 4 * 63 / 2, 12);  // on average the true value

  SmallCanvas canvas(1, 1, 0);
  EXPECT_FALSE(canvas->IsDithering());
  SetCanvasDithering(canvas.Get(), true);
  EXPECT_TRUE(canvas->IsDithering());
}

TEST(GeneratedFill, RefusesWhatItCannotDraw) {
  SmallCanvas canvas(2, 2, 0);
  LinearFillRecord rec;
  EXPECT_LT(canvas->GeneratedFill(kFillLinear, RectI{0, 0, 2, 2}, &rec, nullptr), 0);
  EXPECT_LT(canvas->GeneratedFill(3, RectI{0, 0, 2, 2}, &rec, nullptr), 0);
  EXPECT_LT(canvas->GeneratedFill(kFillLinear, RectI{0, 0, 2, 2}, nullptr, nullptr), 0);
  EXPECT_EQ(canvas.Count(0), 4);
}

}  // namespace
}  // namespace vk2::gfx::testing
