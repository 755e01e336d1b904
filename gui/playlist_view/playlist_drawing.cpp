#include "gui/playlist_view/playlist_drawing.h"

namespace vk2::gui {

bool DrawSkinImage(MImageStyleDrawing* image, MCanvas* canvas, const RectI& rect) {
  if (!image || !canvas) return false;
  return image->Draw(rect, canvas, kStyleStateNormal, 1.0, VisualParameters{}) != 0;
}

RectI OffsetRect(const RectI& rect, const TextOffsets& offsets) {
  return RectI{rect.left + offsets.left, rect.top + offsets.top, rect.right + offsets.right,
               rect.bottom + offsets.bottom};
}

bool DrawLine(MFont* font, MCanvas* canvas, const TString& text, const RectI& rect,
              uint32_t justification, uint32_t colour) {
  if (!font || !canvas || text.IsEmpty()) return false;
  const uint32_t flags = justification | kTextSingleLine | kTextTrimEllipsis;
  constexpr uint64_t kNormalBlend = 0x1000001000Full;
  return font->DrawText(canvas, text.c_str(), static_cast<int32_t>(text.Length()), rect, flags,
                        kNormalBlend, colour, 256) >= 0;
}

}  // namespace vk2::gui
