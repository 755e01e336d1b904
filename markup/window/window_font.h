// The "font" property the markup gives a window, as the graphics kit's font. A library of its
// own (vk2_window_font): the user interface module's windows read their fonts with it too.
#pragma once

#include <cstdint>

#include "interfaces/graphics/font.h"
#include "interfaces/gui/window_element.h"

namespace vk2::markup {

// No reference added; null when the window has no font property.
MFont* WindowFont(MWindowElement* window);
// The window's own font, else that of its nearest ancestor with one (no reference added); null
// when none has one. Pages and the windows inside them set no font of their own: they draw with
// the font of the interface window that holds them.
MFont* InheritedWindowFont(MWindowElement* window);
// Sets the property (the window keeps a reference); nothing without a window or a font.
void SetWindowFont(MWindowElement* window, MFont* font);
// The font's line height, or 0 (also for no font).
int32_t FontLineHeight(MFont* font);

}  // namespace vk2::markup
