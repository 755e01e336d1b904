#include "oru/gui/controls/flat_paint.h"

namespace vk2::gui {

namespace {
constexpr uint64_t kSourceOver = 0xF;

RectF ToF(const RectI& r) {
  return RectF{static_cast<double>(r.left), static_cast<double>(r.top),
               static_cast<double>(r.right), static_cast<double>(r.bottom)};
}
}  // namespace

void FillFlat(MCanvas* canvas, const RectI& rect, uint32_t color) {
  if (!canvas || rect.Empty()) return;
  canvas->FillRect(ToF(rect), color, kSourceOver, 256, false);
}

void FrameFlat(MCanvas* canvas, const RectI& rect, uint32_t light, uint32_t dark) {
  if (rect.Width() < 2 || rect.Height() < 2) return;
  FillFlat(canvas, RectI{rect.left, rect.top, rect.right, rect.top + 1}, light);
  FillFlat(canvas, RectI{rect.left, rect.top, rect.left + 1, rect.bottom}, light);
  FillFlat(canvas, RectI{rect.left, rect.bottom - 1, rect.right, rect.bottom}, dark);
  FillFlat(canvas, RectI{rect.right - 1, rect.top, rect.right, rect.bottom}, dark);
}

uint32_t ColorProperty(const PropertyTable& table, const char16_t* name, uint32_t fallback) {
  PropertyValue value;
  if (table.Get(name, &value) != 0 || value.type != kPropertyInteger) return fallback;
  return static_cast<uint32_t>(value.integer);
}

}  // namespace vk2::gui
