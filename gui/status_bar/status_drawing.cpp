#include "gui/status_bar/status_drawing.h"

#include <cmath>

namespace vk2::gui {
namespace {

constexpr uint64_t kTextBlend = 0x1000F;

RectI Moved(const RectI& rect, const std::array<int32_t, 4>& offset) {
  return RectI{rect.left + offset[0], rect.top + offset[1], rect.right + offset[2],
               rect.bottom + offset[3]};
}

bool DrawText(MFont* font, MCanvas* canvas, const TString& text, const RectI& rect,
              uint32_t justification, uint32_t colour) {
  if (!font || text.IsEmpty()) return false;
  return font->DrawText(canvas, text.c_str(), static_cast<int32_t>(text.Length()), rect,
                        justification, kTextBlend, colour, 256) >= 0;
}

int32_t Width(MFont* font, const TString& text) {
  if (!font || text.IsEmpty()) return 0;
  return font->TextWidth(text.c_str(), static_cast<int32_t>(text.Length()));
}

bool DrawClipped(MImageStyleDrawing* image, MCanvas* canvas, const RectI& whole,
                 const RectI& clip) {
  if (!image) return false;
  bool drew = false;
  if (canvas->PushClipRect(clip, kClipIntersect, 1)) {
    drew = image->Draw(whole, canvas, kStyleStateNormal, 1.0, VisualParameters{}) != 0;
  }
  canvas->PopClip(1);
  return drew;
}

}  // namespace

int32_t FillEdge(const RectI& bar, double fraction) {
  const double clamped = std::isfinite(fraction) ? std::fmin(std::fmax(fraction, 0.0), 1.0) : 0.0;
  return bar.left + static_cast<int32_t>(std::trunc(clamped * bar.Width()));
}

RectI ProgressBar(const RectI& area, int32_t leftWidth, int32_t rightWidth,
                  const std::array<int32_t, 4>& offset) {
  return Moved(RectI{area.left + leftWidth, area.top, area.right - rightWidth, area.bottom},
               offset);
}

bool DrawStatus(MCanvas* canvas, const RectI& rect, const StatusMessage& message,
                const StatusBarStyle& style, MFont* font) {
  if (!canvas) return false;
  const RectI area = Moved(rect, style.statusOffset);
  if (message.kind == kStatusText) {
    return DrawText(font, canvas, message.text, area, style.justification, style.colour);
  }
  if (message.kind != kStatusValue) return false;
  const uint32_t leftJustification = style.justification & ~0xFu;
  const uint32_t rightJustification = (style.justification & ~0xFu) | kTextRight;
  bool drew = DrawText(font, canvas, message.text, area, leftJustification, style.colour);
  drew |= DrawText(font, canvas, message.rightText, area, rightJustification, style.colour);
  const RectI bar = ProgressBar(area, Width(font, message.text), Width(font, message.rightText),
                                style.progressOffset);
  if (bar.Width() <= 0 || bar.Height() <= 0) return drew;
  const int32_t edge = FillEdge(bar, message.fraction);
  if (edge > bar.left) {
    drew |= DrawClipped(style.progressFill.Get(), canvas, bar,
                        RectI{bar.left, bar.top, edge, bar.bottom});
  }
  if (edge < bar.right) {
    drew |= DrawClipped(style.progressEmpty.Get(), canvas, bar,
                        RectI{edge, bar.top, bar.right, bar.bottom});
  }
  return drew;
}

}  // namespace vk2::gui
