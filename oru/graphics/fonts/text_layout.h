// Line layout shared by every font: wrapping at spaces, trimming and ellipsis, placement in a
// rectangle by the justification flags. A font supplies shaping and metrics; layout is pixels.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "interfaces/graphics/font.h"

namespace vk2::oru {

struct ShapedGlyph {
  uint32_t glyph = 0;    // the font's glyph id
  uint32_t cluster = 0;  // index of the code point it came from
  int32_t advance = 0;   // 26.6 pixels
  int32_t offsetX = 0;   // 26.6
  int32_t offsetY = 0;   // 26.6, up
};

class TextShaper {
 public:
  virtual void Shape(std::u32string_view text, std::vector<ShapedGlyph>* glyphs) = 0;
  virtual FontMetrics Metrics() = 0;
  // The text put at the end of a line cut short.
  virtual std::u32string_view Ellipsis() = 0;

 protected:
  ~TextShaper() = default;
};

struct LaidLine {
  std::vector<ShapedGlyph> glyphs;
  std::u32string text;  // the code points the glyphs' clusters index
  int32_t width = 0;    // 26.6
  bool lastOfParagraph = true;
};

struct PlacedGlyph {
  uint32_t glyph = 0;
  int32_t x = 0;         // 26.6, pen position on the baseline
  int32_t baseline = 0;  // pixels
};

// UTF-16 to code points; an unpaired surrogate becomes U+FFFD.
std::u32string DecodeUtf16(const char16_t* text, int32_t length);

// Lines for `width` pixels (0 or less: no wrapping) and `height` pixels (0 or less: no limit).
std::vector<LaidLine> LayoutLines(TextShaper& shaper, std::u32string_view text, int32_t width,
                                  int32_t height, uint32_t flags);

// Every glyph's pen position inside `rect` by the justification flags.
std::vector<PlacedGlyph> PlaceLines(TextShaper& shaper, const std::vector<LaidLine>& lines,
                                    const RectI& rect, uint32_t flags);

// Pixels from a 26.6 value, rounded.
constexpr int32_t Pixels26(int64_t v) {
  return static_cast<int32_t>((v + 32) >> 6);
}

}  // namespace vk2::oru
