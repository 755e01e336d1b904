// The one font menus draw and measure their labels with (the desktop's sans face, 9 points).
#pragma once

#include "foundation/text/tstring.h"
#include "interfaces/graphics/font.h"

namespace vk2::gui {

// Null when no font can be found: labels are then measured at a fixed width and not drawn.
MFont* MenuFont();
// A label's width in pixels.
int32_t MenuTextWidth(const TString& text);

}  // namespace vk2::gui
