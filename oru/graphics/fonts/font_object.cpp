#include "oru/graphics/fonts/font_object.h"

#include <climits>

namespace vk2::oru {

int32_t FontObject::TextWidth(const char16_t* text, int32_t length) {
  if (!text) return 0;
  std::lock_guard lock(mutex_);
  std::vector<ShapedGlyph> glyphs;
  engine_->Shape(DecodeUtf16(text, length), &glyphs);
  int64_t width = 0;
  for (const ShapedGlyph& g : glyphs)
    width += g.advance;
  return Pixels26(width);
}

int32_t FontObject::WrappedHeight(const char16_t* text, int32_t length, int32_t width,
                                  uint32_t flags) {
  const std::u32string decoded = DecodeUtf16(text, length);
  if (decoded.empty()) return 0;
  std::lock_guard lock(mutex_);
  // Height is asked to learn how much room the whole text takes: no vertical limit.
  const auto lines = LayoutLines(*engine_, decoded, width, 0, flags);
  return static_cast<int32_t>(lines.size()) * engine_->Metrics().lineHeight;
}

int32_t FontObject::GetMetrics(FontMetrics* metrics) {
  if (!metrics) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  *metrics = engine_->Metrics();
  return kOk;
}

int32_t FontObject::DrawText(MCanvas* canvas, const char16_t* text, int32_t length,
                             const RectI& rect, uint32_t flags, uint64_t code, uint32_t color,
                             int32_t opacity) {
  if (!canvas) return kErrMissingArg;
  const std::u32string decoded = DecodeUtf16(text, length);
  if (decoded.empty() || rect.Empty()) return kOk;
  std::lock_guard lock(mutex_);
  const auto lines = LayoutLines(*engine_, decoded, rect.Width(), rect.Height(), flags);
  const auto placed = PlaceLines(*engine_, lines, rect, flags);
  // Whatever still overhangs the rectangle is cut at its edge.
  if (canvas->PushClipRect(rect, kClipIntersect, 1) < 0) return kErrFailed;
  int32_t result = kOk;
  for (const PlacedGlyph& g : placed) {
    const int32_t r = engine_->DrawGlyph(canvas, g, color, code, opacity);
    if (r < 0) result = r;
  }
  if (engine_->Underlined()) {
    int32_t offset = 0;
    int32_t thickness = 0;
    engine_->Underline(&offset, &thickness);
    const auto lineRects = PlaceLines(*engine_, lines, rect, flags & ~kTextHFull);
    // One bar per line, from its first glyph's pen to its width.
    size_t at = 0;
    for (const LaidLine& line : lines) {
      if (line.glyphs.empty() || thickness <= 0) {
        at += line.glyphs.size();
        continue;
      }
      const PlacedGlyph& first = lineRects[at];
      const double left = first.x / 64.0;
      const double top = first.baseline + offset;
      canvas->FillRect(RectF{left, top, left + line.width / 64.0, top + thickness}, color, code,
                       opacity, false);
      at += line.glyphs.size();
    }
  }
  canvas->PopClip(1);
  return result;
}

}  // namespace vk2::oru
