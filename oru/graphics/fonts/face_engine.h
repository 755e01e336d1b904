// A font face through FreeType, shaped by HarfBuzz (kerning, ligatures), glyph coverage cached.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <hb.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "oru/graphics/fonts/font_object.h"

namespace vk2::oru {

class FreeTypeLibrary;

class FaceEngine final : public FontEngine {
 public:
  // Takes `face`, already sized; `library` serialises face creation and destruction.
  FaceEngine(std::shared_ptr<FreeTypeLibrary> library, FT_Face face, uint32_t style, bool smoothed);
  ~FaceEngine() override;

  void Shape(std::u32string_view text, std::vector<ShapedGlyph>* glyphs) override;
  FontMetrics Metrics() override { return metrics_; }
  std::u32string_view Ellipsis() override { return ellipsis_; }
  int32_t DrawGlyph(MCanvas* canvas, const PlacedGlyph& glyph, uint32_t color, uint64_t code,
                    int32_t opacity) override;
  void Underline(int32_t* offset, int32_t* thickness) override;
  bool Underlined() override { return style_ & kFontUnderline; }

 private:
  struct Coverage {
    std::vector<uint8_t> bits;
    int32_t width = 0;
    int32_t height = 0;
    int32_t left = 0;  // from the pen to the bitmap's left edge
    int32_t top = 0;   // from the baseline up to the bitmap's top row
  };
  const Coverage* GlyphCoverage(uint32_t glyph);

  std::shared_ptr<FreeTypeLibrary> library_;
  FT_Face face_;
  hb_font_t* hbFont_ = nullptr;
  uint32_t style_;
  bool smoothed_;
  bool synthesiseBold_ = false;
  FontMetrics metrics_;
  std::u32string ellipsis_;
  std::map<uint32_t, Coverage> cache_;
};

}  // namespace vk2::oru
