// What a menu looks like: the flat defaults, or what its element's properties give (fill,
// background image, item images by place, label and highlight colours, the drop-down fade).
#pragma once

#include <array>
#include <cstdint>

#include "interfaces/markup/window_definition.h"
#include "oru/gui/window/window_part.h"

namespace vk2::gui {

enum MenuItemPlace : int32_t { kItemOnly = 0, kItemFirst = 1, kItemMiddle = 2, kItemLast = 3 };

struct MenuLook {
  uint32_t background = 0;
  uint32_t text = 0;
  uint32_t litText = 0;
  uint32_t highlight = 0;
  MImageStyleDrawing* image = nullptr;  // held by the element's properties
  std::array<MImageStyleDrawing*, 4> items{};
  int32_t fadeMs = 0;
};

// The look of the menu shown by `part`.
MenuLook ReadMenuLook(WindowPart& part);

// The place of item `index` of `count` for its image.
MenuItemPlace PlaceOf(int32_t index, int32_t count);

// Draws `image` (may be null) into `rect`, lit or not; true when it drew.
bool DrawMenuImage(MImageStyleDrawing* image, MCanvas* canvas, const RectI& rect, bool lit);

}  // namespace vk2::gui
