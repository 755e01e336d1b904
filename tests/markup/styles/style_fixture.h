// Drawing styles on small off-screen canvases: a surface with its canvas, documents with images
// in an in-memory package, and the scope their styles are read in.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "interfaces/graphics/canvas.h"
#include "markup/styles/style_library.h"
#include "tests/markup/styles/font_services.h"
#include "tests/markup/support/duv_loading.h"
#include "tests/markup/support/markup_fixture.h"

namespace vk2::test {

// A transparent ARGB surface and a canvas drawing on it.
class TestCanvas {
 public:
  TestCanvas(int32_t width, int32_t height);
  MCanvas* get() const { return canvas_.Get(); }
  // The stored (premultiplied) pixel.
  uint32_t At(int32_t x, int32_t y) const;
  void Fill(uint32_t premultiplied);
  // Pixels that are not fully transparent, as a bounding rectangle (empty when none).
  RectI InkBounds() const;
  int32_t width() const { return view_.width; }
  int32_t height() const { return view_.height; }

 private:
  RefPtr<MSurface> surface_;
  RefPtr<MCanvas> canvas_;
  SurfaceView view_;
};

// Straight ARGB pixels, rows top first, as a layered document's merged image ("name.psd").
std::string ImageFile(int32_t width, int32_t height, const std::vector<uint32_t>& pixels);

// A raster font's image of two glyphs: "A" a solid 2 x 3 block, "B" 3 x 3 with only its middle
// column set. Row 0 marks the glyphs' columns between magenta separators.
std::string GlyphStrip();

// A document loaded from `body` (inside one `interface`), with `files` in its package.
struct StyleDocument {
  explicit StyleDocument(const std::string& body, std::map<std::string, std::string> files = {},
                         const char16_t* language = u"english");
  markup::StyleScope Scope() const;
  RefPtr<markup::ImageStyleGroup> Style(const char16_t* name) const;
  RefPtr<markup::ShapeGroup> Shape(const char16_t* name) const;

  LoadedDuv duv;
  RefPtr<markup::InterfaceDefinition> definition;
};

inline uint8_t Alpha(uint32_t p) {
  return static_cast<uint8_t>(p >> 24);
}
inline uint8_t Red(uint32_t p) {
  return static_cast<uint8_t>(p >> 16);
}
inline uint8_t Green(uint32_t p) {
  return static_cast<uint8_t>(p >> 8);
}
inline uint8_t Blue(uint32_t p) {
  return static_cast<uint8_t>(p);
}
// Every channel within `tolerance`.
bool Near(uint32_t a, uint32_t b, int32_t tolerance);

}  // namespace vk2::test
