// Blits: plain, palette, stretched (nearest and bilinear), tiled and rotated.
#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <numbers>

#include "tests/oru/graphics/canvas/canvas_fixture.h"

namespace vk2::gfx::testing {
namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint64_t kCopy = 0xF;

// A 16x16 source whose every pixel is distinct: red = x * 16, green = y * 16.
PixelsOf Ramp16() {
  std::vector<uint32_t> p(256);
  for (uint32_t y = 0; y < 16; ++y) {
    for (uint32_t x = 0; x < 16; ++x)
      p[y * 16 + x] = 0xFF000000 | (x * 16 << 16) | (y * 16 << 8);
  }
  return PixelsOf::Argb(16, 16, std::move(p));
}

TEST(Blit, CopiesTheSourceRectangleAndClipsAtTheEdges) {
  PixelsOf ramp = Ramp16();
  SmallCanvas canvas(4, 4, kBlack);
  BlitSource src = ramp.Source();
  src.rect = RectI{5, 6, 9, 9};  // 4x3
  ASSERT_EQ(canvas->Blit(src, -1, 2, kCopy, 256), 0);
  EXPECT_EQ(canvas.At(0, 2), ramp.argb[6 * 16 + 6]);
  EXPECT_EQ(canvas.At(2, 3), ramp.argb[7 * 16 + 8]);
  EXPECT_EQ(canvas.At(3, 2), kBlack);
  EXPECT_EQ(canvas.At(0, 1), kBlack);
}

TEST(Blit, RefusesASourceRectangleOutsideItsView) {
  PixelsOf ramp = Ramp16();
  SmallCanvas canvas(4, 4, kBlack);
  BlitSource src = ramp.Source();
  src.rect = RectI{10, 10, 20, 12};
  EXPECT_LT(canvas->Blit(src, 0, 0, kCopy, 256), 0);
  EXPECT_EQ(canvas.Count(kBlack), 16);
}

TEST(Blit, IndexSourcesGoThroughTheirPaletteOrAGreyRamp) {
  PixelsOf idx = PixelsOf::Index(3, 1, {0, 1, 200});
  std::array<uint32_t, 256> palette{};
  palette[0] = 0xFFFF0000;
  palette[1] = 0x8000FF00;  // straight colour: half-transparent green
  palette[200] = 0xFF0000FF;
  SmallCanvas canvas(3, 1, kBlack);
  canvas->Blit(idx.Source(palette.data()), 0, 0, kCopy, 256);
  EXPECT_EQ(canvas.At(0, 0), 0xFFFF0000u);
  EXPECT_EQ(canvas.At(1, 0), 0x80008000u);
  EXPECT_EQ(canvas.At(2, 0), 0xFF0000FFu);
  SmallCanvas grey(3, 1, kBlack);
  grey->Blit(idx.Source(), 0, 0, kCopy, 256);
  EXPECT_EQ(grey.At(2, 0), 0xFFC8C8C8u);
}

TEST(Blit, RefusesPlacementsAndTurnsBeyondRange) {
  PixelsOf ramp = Ramp16();
  SmallCanvas canvas(4, 4, kBlack);
  EXPECT_LT(canvas->Blit(ramp.Source(), 2147483640, 0, kCopy, 256), 0);
  EXPECT_LT(canvas->StretchBlit(ramp.Source(), RectI{-2147483000, 0, 2147483000, 4}, kCopy, 256),
            0);
  RotateArgs args;
  args.angle = std::numeric_limits<double>::quiet_NaN();
  EXPECT_LT(canvas->RotateBlit(ramp.Source(), args, kCopy, 256), 0);
  EXPECT_EQ(canvas->TileBlit(ramp.Source(), RectI{0, 0, 4, 4}, 2147483647, -2147483647, kCopy, 256),
            0);
  EXPECT_EQ(canvas.Count(kBlack), 0);
}

TEST(StretchBlit, NearestRepeatsPixelsBilinearBlendsThem) {
  PixelsOf pair = PixelsOf::Argb(2, 1, {kBlack, kWhite});
  SmallCanvas nearest(4, 1, 0);
  nearest->StretchBlit(pair.Source(), RectI{0, 0, 4, 1}, kCopy, 256);
  EXPECT_EQ(nearest.At(0, 0), kBlack);
  EXPECT_EQ(nearest.At(1, 0), kBlack);
  EXPECT_EQ(nearest.At(2, 0), kWhite);
  EXPECT_EQ(nearest.At(3, 0), kWhite);

  SmallCanvas filtered(4, 1, 0);
  filtered->StretchBlit(pair.Source(), RectI{0, 0, 4, 1}, kCopy | kBlendBilinear, 256);
  EXPECT_EQ(filtered.At(0, 0), kBlack);  // edges hold the border pixel
  EXPECT_TRUE(PixelNear(filtered.At(1, 0), 0xFF404040, 1));
  EXPECT_TRUE(PixelNear(filtered.At(2, 0), 0xFFBFBFBF, 1));
  EXPECT_EQ(filtered.At(3, 0), kWhite);
}

TEST(StretchBlit, ComposedPathsSampleAsTheDirectCopy) {
  PixelsOf ramp = Ramp16();
  SmallCanvas direct(40, 24, 0);
  direct->StretchBlit(ramp.Source(), RectI{0, 0, 40, 24}, kCopy | kBlendBilinear, 256);
  // Layer mode over an opaque source, and a copy under a clip mask, both compose the samples.
  SmallCanvas layered(40, 24, 0);
  layered->StretchBlit(ramp.Source(), RectI{0, 0, 40, 24}, 0x1000001000F | kBlendBilinear, 256);
  std::vector<uint8_t> bits(5 * 24, 0xFF);
  const SurfaceView all{bits.data(), 40, 24, 5, PixelFormat::kMask1};
  SmallCanvas masked(40, 24, 0);
  masked->ClipToMask(all, 0, 0, kClipIntersect, 1);
  masked->StretchBlit(ramp.Source(), RectI{0, 0, 40, 24}, kCopy | kBlendBilinear, 256);
  for (int32_t y = 0; y < 24; ++y) {
    for (int32_t x = 0; x < 40; ++x) {
      ASSERT_EQ(layered.At(x, y), direct.At(x, y)) << x << "," << y;
      ASSERT_EQ(masked.At(x, y), direct.At(x, y)) << x << "," << y;
    }
  }
}

TEST(StretchBlit, NearestEnlargesACheckerIntoBlocks) {
  PixelsOf checker = PixelsOf::Argb(2, 2, {kWhite, kBlack, kBlack, kWhite});
  for (uint64_t code : {kCopy, uint64_t{0x1000001000F}}) {
    SmallCanvas canvas(6, 4, 0);
    canvas->StretchBlit(checker.Source(), RectI{0, 0, 6, 4}, code, 256);
    for (int32_t y = 0; y < 4; ++y) {
      for (int32_t x = 0; x < 6; ++x) {
        ASSERT_EQ(canvas.At(x, y), ((x / 3) ^ (y / 2)) ? kBlack : kWhite) << x << "," << y;
      }
    }
  }
}

TEST(StretchBlit, ShrinksByPickingPixelCentres) {
  PixelsOf ramp = Ramp16();
  SmallCanvas canvas(4, 4, 0);
  canvas->StretchBlit(ramp.Source(), RectI{0, 0, 4, 4}, kCopy, 256);
  // Target pixel x reads source pixel 4x + 2.
  EXPECT_EQ(canvas.At(1, 3), ramp.argb[14 * 16 + 6]);
}

TEST(TileBlit, RepeatsTheSourceOverTheAreaFromItsOffset) {
  PixelsOf checker = PixelsOf::Argb(2, 2, {kWhite, kBlack, kBlack, kWhite});
  SmallCanvas canvas(6, 4, 0xFF00FF00);
  canvas->TileBlit(checker.Source(), RectI{1, 1, 6, 4}, 1, 0, kCopy, 256);
  // The grid passes through (2, 1); column 1 holds the right half of the copy before it.
  EXPECT_EQ(canvas.At(0, 1), 0xFF00FF00u);
  EXPECT_EQ(canvas.At(1, 1), kBlack);
  EXPECT_EQ(canvas.At(2, 1), kWhite);
  EXPECT_EQ(canvas.At(3, 1), kBlack);
  EXPECT_EQ(canvas.At(2, 2), kBlack);
  EXPECT_EQ(canvas.At(4, 3), kWhite);
  EXPECT_EQ(canvas.At(5, 3), kBlack);
  EXPECT_EQ(canvas.At(3, 0), 0xFF00FF00u);
}

TEST(RotateBlit, AQuarterTurnMapsEveryPixel) {
  PixelsOf ramp = Ramp16();
  SmallCanvas canvas(16, 16, 0);
  RotateArgs args;
  args.destCenterX = args.destCenterY = 8;
  args.sourceCenterX = args.sourceCenterY = 8;
  args.angle = std::numbers::pi / 2;
  canvas->RotateBlit(ramp.Source(), args, kCopy, 256);
  // Counter-clockwise on screen: the source's right edge becomes the top.
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      ASSERT_EQ(canvas.At(x, y), ramp.argb[x * 16 + (15 - y)]) << x << "," << y;
    }
  }
}

TEST(RotateBlit, ScalesAboutTheCentresAndLeavesTheRestAlone) {
  PixelsOf one = PixelsOf::Argb(2, 2, {kWhite, kWhite, kWhite, kWhite});
  SmallCanvas canvas(8, 8, kBlack);
  RotateArgs args;
  args.destCenterX = 4;
  args.destCenterY = 4.5;
  args.sourceCenterX = args.sourceCenterY = 1;
  args.scaleX = 2;
  args.scaleY = 1.5;
  canvas->RotateBlit(one.Source(), args, kCopy, 256);
  EXPECT_EQ(canvas.Count(kWhite), 4 * 3);
  EXPECT_EQ(canvas.At(2, 3), kWhite);
  EXPECT_EQ(canvas.At(5, 5), kWhite);
  EXPECT_EQ(canvas.At(1, 3), kBlack);
  EXPECT_EQ(canvas.At(2, 6), kBlack);
}

TEST(RotateBlit, FilteredOutlineIsAntialiased) {
  PixelsOf white = PixelsOf::Argb(8, 8, std::vector<uint32_t>(64, kWhite));
  SmallCanvas canvas(16, 16, kBlack);
  RotateArgs args;
  args.destCenterX = args.destCenterY = 8;
  args.sourceCenterX = args.sourceCenterY = 4;
  args.angle = std::numbers::pi / 4;
  canvas->RotateBlit(white.Source(), args, 0x1000001000F | kBlendBilinear, 256);
  int32_t partial = 0;
  double area = 0;
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      const uint32_t v = canvas.At(x, y) & 0xFF;
      partial += v != 0 && v != 255;
      area += v / 255.0;
    }
  }
  EXPECT_GT(partial, 8);
  EXPECT_NEAR(area, 64, 1.0);
}

TEST(RotateBlit, TileFillsTheWholeClip) {
  PixelsOf checker = PixelsOf::Argb(2, 2, {kWhite, kBlack, kBlack, kWhite});
  SmallCanvas canvas(8, 8, 0xFF00FF00);
  canvas->PushClipRect(RectI{2, 2, 6, 6}, kClipIntersect, 1);
  RotateArgs args;
  args.destCenterX = args.destCenterY = 4;
  canvas->RotateBlit(checker.Source(), args, kCopy | kBlendRotateTile, 256);
  EXPECT_EQ(canvas.Count(0xFF00FF00), 64 - 16);
  EXPECT_EQ(canvas.At(2, 2), kWhite);
  EXPECT_EQ(canvas.At(3, 2), kBlack);
  EXPECT_EQ(canvas.At(5, 5), kWhite);
}

}  // namespace
}  // namespace vk2::gfx::testing
