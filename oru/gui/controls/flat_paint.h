// Plain drawing the control parts use for their default looks: flat rectangles in a colour
// read from an integer window property.
#pragma once

#include <cstdint>

#include "interfaces/graphics/canvas.h"
#include "oru/gui/window/property_table.h"

namespace vk2::gui {

void FillFlat(MCanvas* canvas, const RectI& rect, uint32_t color);
// A raised frame: `light` along the top and left edges, `dark` along the bottom and right.
void FrameFlat(MCanvas* canvas, const RectI& rect, uint32_t light, uint32_t dark);
// The integer property `name` as a colour, else `fallback`.
uint32_t ColorProperty(const PropertyTable& table, const char16_t* name, uint32_t fallback);

}  // namespace vk2::gui
