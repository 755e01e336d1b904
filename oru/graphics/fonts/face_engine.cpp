#include "oru/graphics/fonts/face_engine.h"

#include <hb-ft.h>

#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "foundation/util/result.h"
#include "oru/graphics/fonts/freetype_library.h"

namespace vk2::oru {
namespace {

int32_t Ceil26(FT_Pos v) {
  return static_cast<int32_t>((v + 63) >> 6);
}

}  // namespace

FaceEngine::FaceEngine(std::shared_ptr<FreeTypeLibrary> library, FT_Face face, uint32_t style,
                       bool smoothed)
    : library_(std::move(library)), face_(face), style_(style), smoothed_(smoothed) {
  hbFont_ = hb_ft_font_create_referenced(face_);
  hb_ft_font_set_load_flags(hbFont_, smoothed_ ? FT_LOAD_DEFAULT : FT_LOAD_TARGET_MONO);
  // A face without a bold style of its own is made bold by thickening its outlines.
  synthesiseBold_ = (style_ & kFontWeightMask) == 2 && !(face_->style_flags & FT_STYLE_FLAG_BOLD);
  const FT_Size_Metrics& m = face_->size->metrics;
  metrics_.ascent = Ceil26(m.ascender);
  metrics_.descent = Ceil26(-m.descender);
  metrics_.lineHeight = std::max(Ceil26(m.height), metrics_.ascent + metrics_.descent);
  metrics_.maxWidth = Ceil26(m.max_advance);
  const auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
  if (os2 && os2->xAvgCharWidth > 0) {
    metrics_.averageWidth = Ceil26(FT_MulFix(os2->xAvgCharWidth, m.x_scale));
  } else {
    std::vector<ShapedGlyph> x;
    Shape(U"x", &x);
    metrics_.averageWidth = x.empty() ? metrics_.maxWidth : Pixels26(x[0].advance);
  }
  // The ellipsis character where the face has one, else three dots.
  ellipsis_ = FT_Get_Char_Index(face_, 0x2026) ? U"\u2026" : U"...";
}

FaceEngine::~FaceEngine() {
  if (hbFont_) hb_font_destroy(hbFont_);
  library_->CloseFace(face_);
}

void FaceEngine::Shape(std::u32string_view text, std::vector<ShapedGlyph>* glyphs) {
  glyphs->clear();
  if (text.empty()) return;
  hb_buffer_t* buffer = hb_buffer_create();
  hb_buffer_add_utf32(buffer, reinterpret_cast<const uint32_t*>(text.data()),
                      static_cast<int>(text.size()), 0, static_cast<int>(text.size()));
  hb_buffer_guess_segment_properties(buffer);
  hb_shape(hbFont_, buffer, nullptr, 0);
  unsigned count = 0;
  const hb_glyph_info_t* info = hb_buffer_get_glyph_infos(buffer, &count);
  const hb_glyph_position_t* pos = hb_buffer_get_glyph_positions(buffer, &count);
  glyphs->reserve(count);
  // Thickened outlines are one pixel wider.
  const int32_t boldExtra = synthesiseBold_ ? 64 : 0;
  for (unsigned i = 0; i < count; ++i) {
    glyphs->push_back(ShapedGlyph{info[i].codepoint, info[i].cluster, pos[i].x_advance + boldExtra,
                                  pos[i].x_offset, pos[i].y_offset});
  }
  hb_buffer_destroy(buffer);
}

const FaceEngine::Coverage* FaceEngine::GlyphCoverage(uint32_t glyph) {
  auto found = cache_.find(glyph);
  if (found != cache_.end()) return &found->second;
  const FT_Int32 load = smoothed_ ? FT_LOAD_DEFAULT : (FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME);
  if (FT_Load_Glyph(face_, glyph, load) != 0) return nullptr;
  if (synthesiseBold_) FT_GlyphSlot_Embolden(face_->glyph);
  if ((style_ & kFontItalic) && !(face_->style_flags & FT_STYLE_FLAG_ITALIC)) {
    FT_GlyphSlot_Oblique(face_->glyph);
  }
  if (FT_Render_Glyph(face_->glyph, smoothed_ ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) {
    return nullptr;
  }
  const FT_Bitmap& bitmap = face_->glyph->bitmap;
  Coverage c;
  c.width = static_cast<int32_t>(bitmap.width);
  c.height = static_cast<int32_t>(bitmap.rows);
  c.left = face_->glyph->bitmap_left;
  c.top = face_->glyph->bitmap_top;
  c.bits.resize(static_cast<size_t>(c.width) * c.height);
  for (int32_t y = 0; y < c.height; ++y) {
    const uint8_t* row = bitmap.buffer + static_cast<ptrdiff_t>(y) * bitmap.pitch;
    uint8_t* out = c.bits.data() + static_cast<size_t>(y) * c.width;
    for (int32_t x = 0; x < c.width; ++x) {
      out[x] = bitmap.pixel_mode == FT_PIXEL_MODE_MONO
                   ? ((row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0)
                   : row[x];
    }
  }
  return &cache_.emplace(glyph, std::move(c)).first->second;
}

int32_t FaceEngine::DrawGlyph(MCanvas* canvas, const PlacedGlyph& glyph, uint32_t color,
                              uint64_t code, int32_t opacity) {
  const Coverage* c = GlyphCoverage(glyph.glyph);
  if (!c) return kErrCannotRead;
  if (c->width == 0 || c->height == 0) return kOk;  // blanks
  SurfaceView view;
  view.bits = const_cast<uint8_t*>(c->bits.data());  // read only: FillCoverage never writes it
  view.width = c->width;
  view.height = c->height;
  view.strideBytes = c->width;
  view.format = PixelFormat::kIndex8;
  return canvas->FillCoverage(view, Pixels26(glyph.x) + c->left, glyph.baseline - c->top, color,
                              code, opacity);
}

void FaceEngine::Underline(int32_t* offset, int32_t* thickness) {
  const FT_Fixed scale = face_->size->metrics.y_scale;
  *offset = std::max(1, Pixels26(-FT_MulFix(face_->underline_position, scale)));
  *thickness = std::max(1, Pixels26(FT_MulFix(face_->underline_thickness, scale)));
}

}  // namespace vk2::oru
