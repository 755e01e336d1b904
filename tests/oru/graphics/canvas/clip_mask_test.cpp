// The clip stack (rectangles and 1-bit masks with every combine mode, push and pop), the 1-bit
// mask operations and the surfaces the kit creates.
#include <gtest/gtest.h>

#include <cstring>

#include "foundation/util/result.h"
#include "oru/graphics/canvas/mask_ops.h"
#include "tests/oru/graphics/canvas/canvas_fixture.h"

namespace vk2::gfx::testing {
namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint64_t kCopy = 0xF;

std::string RedMap(const SmallCanvas& c) {
  std::string s;
  for (int32_t y = 0; y < c.View().height; ++y) {
    for (int32_t x = 0; x < c.View().width; ++x)
      s += c.At(x, y) == kRed ? '#' : '.';
    s += '\n';
  }
  return s;
}

// A 1-bit mask built from rows of '#' and '.'.
struct TestMask {
  std::vector<uint8_t> bits;
  SurfaceView view;

  explicit TestMask(std::initializer_list<const char*> rows) {
    const int32_t w = static_cast<int32_t>(std::strlen(*rows.begin()));
    const int32_t h = static_cast<int32_t>(rows.size());
    bits.assign(static_cast<size_t>(MaskStride(w)) * h, 0);
    view = SurfaceView{bits.data(), w, h, MaskStride(w), PixelFormat::kMask1};
    int32_t y = 0;
    for (const char* row : rows) {
      for (int32_t x = 0; x < w; ++x) {
        if (row[x] == '#') CombineMaskRect(view, RectI{x, y, x + 1, y + 1}, kClipUnion);
      }
      ++y;
    }
  }
  std::string Map() const {
    std::string s;
    for (int32_t y = 0; y < view.height; ++y) {
      for (int32_t x = 0; x < view.width; ++x)
        s += MaskValue(view, x, y) ? '#' : '.';
      s += '\n';
    }
    return s;
  }
};

struct ClipCase {
  int32_t mode;
  const char* map;
};

TEST(ClipRect, CombineModesAgainstAnEarlierRectangle) {
  // First clip: columns 0-2; second: columns 2-4; then the whole canvas is filled.
  const ClipCase cases[] = {
      {kClipReplace, "..###\n"},    {kClipUnion, "#####\n"}, {kClipIntersect, "..#..\n"},
      {kClipDifference, "##...\n"}, {kClipXor, "##.##\n"},
  };
  for (const ClipCase& c : cases) {
    SmallCanvas canvas(5, 1, kBlack);
    canvas->PushClipRect(RectI{0, 0, 3, 1}, kClipReplace, 1);
    canvas->PushClipRect(RectI{2, 0, 5, 1}, c.mode, 1);
    canvas->FillRect(RectF{0, 0, 5, 1}, kRed, kCopy, 256, false);
    EXPECT_EQ(RedMap(canvas), c.map) << "mode " << c.mode;
  }
}

TEST(ClipRect, PopRestoresAndVisibilityIsReported) {
  SmallCanvas canvas(4, 2, kBlack);
  EXPECT_EQ(canvas->PushClipRect(RectI{0, 0, 2, 2}, kClipIntersect, 1), 1);
  EXPECT_EQ(canvas->PushClipRect(RectI{3, 0, 4, 2}, kClipIntersect, 1), 0);
  canvas->FillRect(RectF{0, 0, 4, 2}, kRed, kCopy, 256, false);
  EXPECT_EQ(canvas.Count(kRed), 0);
  EXPECT_EQ(canvas->PopClip(1), 1);
  canvas->FillRect(RectF{0, 0, 4, 2}, kRed, kCopy, 256, false);
  EXPECT_EQ(RedMap(canvas), "##..\n##..\n");
  // More pops than pushes restore what there is.
  EXPECT_EQ(canvas->PopClip(5), 1);
  RectI bounds;
  canvas->GetClipBounds(&bounds);
  EXPECT_EQ(bounds, (RectI{0, 0, 4, 2}));
}

TEST(ClipRect, WithoutPushTheClipChangesInPlace) {
  SmallCanvas canvas(4, 1, kBlack);
  canvas->PushClipRect(RectI{0, 0, 2, 1}, kClipIntersect, 0);
  EXPECT_EQ(canvas->PopClip(1), 0);
  canvas->FillRect(RectF{0, 0, 4, 1}, kRed, kCopy, 256, false);
  EXPECT_EQ(RedMap(canvas), "##..\n");
}

TEST(ClipRect, UnknownModeIsRefused) {
  SmallCanvas canvas(2, 1, kBlack);
  EXPECT_LT(canvas->PushClipRect(RectI{0, 0, 1, 1}, 9, 1), 0);
  canvas->FillRect(RectF{0, 0, 2, 1}, kRed, kCopy, 256, false);
  EXPECT_EQ(canvas.Count(kRed), 2);
}

TEST(ClipMask, DrawingReachesOnlyTheMaskPixels) {
  TestMask mask({"#.#", ".#."});
  SmallCanvas canvas(5, 3, kBlack);
  EXPECT_EQ(canvas->ClipToMask(mask.view, 1, 1, kClipIntersect, 1), 1);
  canvas->FillRect(RectF{0, 0, 5, 3}, kRed, kCopy, 256, false);
  EXPECT_EQ(RedMap(canvas), ".....\n.#.#.\n..#..\n");
  canvas->PopClip(1);
  // Antialiased and pixman-composed drawing respect the mask too.
  SmallCanvas layered(5, 3, kBlack);
  layered->ClipToMask(mask.view, 1, 1, kClipIntersect, 1);
  layered->Ellipse(2.5, 1.5, 4, 4, kRed, true, 0x1000001000F, 1, 256, true);
  EXPECT_EQ(RedMap(layered), ".....\n.#.#.\n..#..\n");
}

TEST(ClipMask, CombineModesAgainstAnEarlierMask) {
  // First clip: the mask "##.." at columns 1-4 (so columns 1-2); second: ".##." at 1-4.
  const ClipCase cases[] = {
      {kClipReplace, "..##.\n"},    {kClipUnion, ".###.\n"}, {kClipIntersect, "..#..\n"},
      {kClipDifference, ".#...\n"}, {kClipXor, ".#.#.\n"},
  };
  TestMask first({"##.."});
  TestMask second({".##."});
  for (const ClipCase& c : cases) {
    SmallCanvas canvas(5, 1, kBlack);
    canvas->ClipToMask(first.view, 1, 0, kClipReplace, 1);
    canvas->ClipToMask(second.view, 1, 0, c.mode, 1);
    canvas->FillRect(RectF{0, 0, 5, 1}, kRed, kCopy, 256, false);
    EXPECT_EQ(RedMap(canvas), c.map) << "mode " << c.mode;
    // Popping both leaves the whole canvas.
    canvas->PopClip(2);
    RectI bounds;
    canvas->GetClipBounds(&bounds);
    EXPECT_EQ(bounds, (RectI{0, 0, 5, 1}));
  }
}

TEST(ClipMask, IntersectionStaysInsideAnEarlierRectangle) {
  TestMask mask({"#####", "#####", "#####"});
  SmallCanvas canvas(5, 3, kBlack);
  canvas->PushClipRect(RectI{1, 1, 3, 3}, kClipIntersect, 1);
  canvas->ClipToMask(mask.view, 0, 0, kClipIntersect, 1);
  RectI bounds;
  canvas->GetClipBounds(&bounds);
  EXPECT_EQ(bounds, (RectI{1, 1, 3, 3}));
  canvas->FillRect(RectF{0, 0, 5, 3}, kRed, kCopy, 256, false);
  EXPECT_EQ(RedMap(canvas), ".....\n.##..\n.##..\n");
}

TEST(ClipMask, CombinesWithARectangleClip) {
  TestMask mask({"####"});
  SmallCanvas canvas(4, 1, kBlack);
  canvas->PushClipRect(RectI{0, 0, 2, 1}, kClipIntersect, 1);
  canvas->ClipToMask(mask.view, 0, 0, kClipXor, 1);
  canvas->FillRect(RectF{0, 0, 4, 1}, kRed, kCopy, 256, false);
  EXPECT_EQ(RedMap(canvas), "..##\n");
  canvas->PopClip(2);
  canvas->FillRect(RectF{0, 0, 1, 1}, 0xFF00FF00, kCopy, 256, false);
  EXPECT_EQ(canvas.At(0, 0), 0xFF00FF00u);
}

struct MaskCombineCase {
  int32_t mode;
  const char* result;
};

TEST(MaskOps, CombineModesOfTwoMasks) {
  const MaskCombineCase cases[] = {
      {kClipReplace, ".##.\n"},    {kClipUnion, "###.\n"}, {kClipIntersect, ".#..\n"},
      {kClipDifference, "#...\n"}, {kClipXor, "#.#.\n"},
  };
  for (const MaskCombineCase& c : cases) {
    TestMask target({"##.."});
    TestMask other({"##"});
    EXPECT_TRUE(CombineMasks(target.view, other.view, 1, 0, c.mode));
    EXPECT_EQ(target.Map(), c.result) << "mode " << c.mode;
  }
  TestMask target({"##.."});
  EXPECT_FALSE(CombineMaskRect(target.view, RectI{0, 0, 1, 1}, 0));
  EXPECT_EQ(target.Map(), "##..\n");
}

TEST(MaskOps, RectangleModesOutsideTheRectangle) {
  TestMask m({"####"});
  CombineMaskRect(m.view, RectI{1, 0, 3, 1}, kClipIntersect);
  EXPECT_EQ(m.Map(), ".##.\n");
  CombineMaskRect(m.view, RectI{0, 0, 1, 1}, kClipReplace);
  EXPECT_EQ(m.Map(), "#...\n");
  CombineMaskRect(m.view, RectI{0, 0, 2, 1}, kClipDifference);
  EXPECT_EQ(m.Map(), "....\n");
}

TEST(MaskOps, EllipseRoundRectValueAndMove) {
  TestMask m({"........", "........", "........", "........", "........", "........"});
  CombineMaskEllipse(m.view, RectI{0, 0, 8, 6}, kClipReplace);
  EXPECT_EQ(m.Map(),
            "..####..\n"
            ".######.\n"
            "########\n"
            "########\n"
            ".######.\n"
            "..####..\n");
  EXPECT_EQ(MaskValue(m.view, 0, 0), 0);
  EXPECT_EQ(MaskValue(m.view, 3, 0), 1);
  EXPECT_EQ(MaskValue(m.view, -1, 3), 0);
  EXPECT_EQ(MaskValue(m.view, 8, 3), 0);
  MoveMask(m.view, 2, 1);
  EXPECT_EQ(MaskValue(m.view, 0, 2), 0);
  EXPECT_EQ(MaskValue(m.view, 2, 3), 1);
  EXPECT_EQ(MaskValue(m.view, 4, 0), 0);

  TestMask r({"........", "........", "........", "........"});
  CombineMaskRoundRect(r.view, RectI{0, 0, 8, 4}, 4, 4, kClipReplace);
  EXPECT_EQ(r.Map(),
            ".######.\n"
            "########\n"
            "########\n"
            ".######.\n");
}

TEST(MaskOps, FromImageThresholdsTheNamedChannels) {
  PixelsOf img = PixelsOf::Argb(4, 1, {0x00000000, 0x7F7F0000, 0x80800000, 0xFF00FF00});
  TestMask m({"####"});
  ASSERT_TRUE(MaskFromImage(m.view, img.View(), 0xFF000000, 0x80));
  EXPECT_EQ(m.Map(), "..##\n");
  // Red as well: the half-transparent red pixel is red 0xFF in straight colour.
  ASSERT_TRUE(MaskFromImage(m.view, img.View(), 0xFFFF0000, 0x80));
  EXPECT_EQ(m.Map(), "..#.\n");
}

TEST(Surface, CreatedClearedWithTheirFormatsStride) {
  struct Case {
    PixelFormat format;
    int32_t width;
    int32_t stride;
  };
  const Case cases[] = {
      {PixelFormat::kArgb32, 5, 20}, {PixelFormat::kIndex8, 5, 8}, {PixelFormat::kMask1, 9, 2}};
  for (const Case& c : cases) {
    RefPtr<MSurface> s;
    ASSERT_EQ(CreateSurface(c.width, 3, c.format, &s), 0);
    SurfaceView v;
    s->GetView(&v);
    EXPECT_EQ(v.strideBytes, c.stride);
    EXPECT_EQ(v.format, c.format);
    for (int32_t i = 0; i < v.strideBytes * 3; ++i)
      ASSERT_EQ(v.bits[i], 0);
  }
}

TEST(Surface, RefusesSidesBeyondTheLimit) {
  RefPtr<MSurface> s;
  EXPECT_EQ(CreateSurface(kMaxSurfaceSide + 1, 1, PixelFormat::kArgb32, &s), kErrOutOfRange);
  EXPECT_EQ(CreateSurface(4, -1, PixelFormat::kArgb32, &s), kErrOutOfRange);
  ASSERT_EQ(CreateSurface(4, 4, PixelFormat::kArgb32, &s), 0);
  EXPECT_EQ(s->Resize(1, kMaxSurfaceSide + 1), kErrOutOfRange);
  SurfaceView v;
  s->GetView(&v);
  EXPECT_EQ(v.width, 4);
  ASSERT_EQ(s->Resize(2, 3), 0);
  s->GetView(&v);
  EXPECT_EQ(v.width, 2);
  EXPECT_EQ(v.height, 3);
}

TEST(Canvas, CollectsDamageUntilTaken) {
  SmallCanvas canvas(10, 10, kBlack);
  canvas->MarkDamage(RectI{1, 1, 3, 3}, 0xF, 0x100);
  canvas->MarkDamage(RectI{5, 2, 20, 4}, 0xF, 0x100);
  RectI d;
  canvas->TakeDamage(&d);
  EXPECT_EQ(d, (RectI{1, 1, 10, 4}));
  canvas->TakeDamage(&d);
  EXPECT_TRUE(d.Empty());
}

}  // namespace
}  // namespace vk2::gfx::testing
