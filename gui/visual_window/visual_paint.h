// How a visual window paints: the visual (opaque, through the canvas with the window's blend
// mode and opacity) or else the background image style, then the foreground on top; a window
// where nothing drew is filled with colour 0.
#pragma once

#include <cstdint>
#include <vector>

#include "gui/visual_window/visual_display.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui {

struct VisualPaintStyle {
  MImageStyleDrawing* background = nullptr;
  MImageStyleDrawing* foreground = nullptr;
  uint64_t blendCode = 0xF;  // every channel, the source over what is there
  int32_t opacity = 256;
};

// Paints a window of `size`; `image` is scratch space kept between paints.
void PaintVisualWindow(MCanvas* canvas, const SizeI& size, VisualDisplay& display,
                       const VisualPaintStyle& style, std::vector<uint32_t>* image);

}  // namespace vk2::gui
