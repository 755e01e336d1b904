// Raster fonts cut from an image: separator columns on the start row mark the glyphs.
#include <gtest/gtest.h>

#include <vector>

#include "foundation/util/result.h"
#include "interfaces/graphics/font.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/graphics/canvas/surface_object.h"
#include "oru/graphics/fonts/font_library.h"
#include "oru/graphics/images/pixel_image.h"

namespace vk2::test {
namespace {

constexpr uint32_t kMarker = 0xFFFF00FF;
constexpr uint32_t kInk = 0xFFFFFFFF;

// Row 0 marks: separator, 'A' (2 columns), separator, 'B' (3 columns), separator. Rows 1-4 are
// the cells: 'A' filled, 'B' only in its first column.
RefPtr<MRasterImage> GlyphStrip() {
  oru::PixelBuffer b;
  EXPECT_TRUE(b.Allocate(8, 5, PixelFormat::kArgb32));
  const uint32_t marks[8] = {kMarker,    0xFF000000, 0xFF000000, kMarker,
                             0xFF000000, 0xFF000000, 0xFF000000, kMarker};
  for (int x = 0; x < 8; ++x)
    b.Argb(0)[x] = marks[x];
  for (int y = 1; y < 5; ++y) {
    b.Argb(y)[1] = b.Argb(y)[2] = kInk;
    b.Argb(y)[4] = kInk;
  }
  return RefPtr<MRasterImage>(oru::PixelImage::Make(std::move(b)).Get());
}

TEST(RasterFonts, GlyphsComeFromTheMarkedColumns) {
  oru::FontLibrary library;
  auto strip = GlyphStrip();
  FontDescription d;
  d.kind = kFontRaster;
  d.image = strip.Get();
  d.glyphList = u"AB";
  d.tracking = 1;
  RefPtr<MFont> font;
  ASSERT_EQ(library.GetFont(d, font.Put()), kOk);
  EXPECT_EQ(font->TextWidth(u"A", -1), 3);
  EXPECT_EQ(font->TextWidth(u"B", -1), 4);
  EXPECT_EQ(font->TextWidth(u"ABxA", -1), 10);  // a character the strip lacks takes no room
  FontMetrics m;
  ASSERT_EQ(font->GetMetrics(&m), kOk);
  EXPECT_EQ(m.lineHeight, 4);

  RefPtr<MSurface> surface;
  ASSERT_EQ(gfx::CreateSurface(12, 4, PixelFormat::kArgb32, &surface), kOk);
  RefPtr<MCanvas> canvas;
  ASSERT_EQ(gfx::CreateCanvas(surface.Get(), &canvas), kOk);
  ASSERT_EQ(font->DrawText(canvas.Get(), u"BA", -1, RectI{0, 0, 12, 4}, 0, 0x1000001000Full,
                           0xFF00FF00, 256),
            kOk);
  SurfaceView view;
  surface->GetView(&view);
  // Monochrome: the cells' alpha in the drawing colour. B at 0 (ink in its first column), A at 4.
  const std::vector<uint32_t> expected = {0xFF00FF00, 0, 0, 0, 0xFF00FF00, 0xFF00FF00,
                                          0,          0, 0, 0, 0,          0};
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(std::vector<uint32_t>(view.Argb(y), view.Argb(y) + 12), expected) << y;
  }
}

TEST(RasterFonts, RefusesAStripItCannotCut) {
  oru::FontLibrary library;
  auto strip = GlyphStrip();
  FontDescription d;
  d.kind = kFontRaster;
  d.image = strip.Get();
  d.glyphList = u"AB";
  RefPtr<MFont> font;
  d.startY = 4;  // no rows below the marks
  EXPECT_EQ(library.GetFont(d, font.Put()), kErrOutOfRange);
  d.glyphList = u"";
  EXPECT_EQ(library.GetFont(d, font.Put()), kErrMissingArg);
  d.glyphList = u"AB";
  d.image = nullptr;
  EXPECT_EQ(library.GetFont(d, font.Put()), kErrMissingArg);
}

}  // namespace
}  // namespace vk2::test
