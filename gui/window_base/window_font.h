// The "font" property the markup gives a window, as the graphics kit's font.
#pragma once

#include <cstdint>

#include "interfaces/graphics/font.h"
#include "interfaces/gui/window_element.h"

namespace vk2::gui {

// No reference added; null when the window has no font property.
MFont* WindowFont(MWindowElement* window);
// The font's line height, or 0.
int32_t FontLineHeight(MFont* font);

}  // namespace vk2::gui
