#include "gui/visual_window/visual_paint.h"

namespace vk2::gui {

void PaintVisualWindow(MCanvas* canvas, const SizeI& size, VisualDisplay& display,
                       const VisualPaintStyle& style, std::vector<uint32_t>* image) {
  const RectI all{0, 0, size.width, size.height};
  bool drawn = false;
  if (size.width > 0 && size.height > 0) {
    image->assign(static_cast<size_t>(size.width) * size.height, 0xFF000000u);
    SurfaceView view;
    view.bits = reinterpret_cast<uint8_t*>(image->data());
    view.width = size.width;
    view.height = size.height;
    view.strideBytes = size.width * 4;
    if (display.Draw(view)) {
      canvas->Blit(BlitSource{view, all, nullptr}, 0, 0, style.blendCode, style.opacity);
      drawn = true;
    }
  }
  if (!drawn && style.background) {
    drawn = style.background->Draw(all, canvas, kStyleStateNormal, 1.0, VisualParameters{}) != 0;
  }
  if (style.foreground &&
      style.foreground->Draw(all, canvas, kStyleStateNormal, 1.0, VisualParameters{}) != 0) {
    drawn = true;
  }
  if (!drawn) {
    canvas->FillRect(RectF{0, 0, static_cast<double>(size.width), static_cast<double>(size.height)},
                     0, style.blendCode, style.opacity, false);
  }
}

}  // namespace vk2::gui
