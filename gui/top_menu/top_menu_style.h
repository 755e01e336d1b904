// The top menu's look from the interface: the reduced menu of "Velkora2"'s `devtestmode`, and
// from "VK2_TopMenu" the bar's and the drop-downs' images, text colours, justifications and
// fades, the border offset and the text shadow. Handed to the GUI layer's menu windows as
// their look properties.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/menus.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui {

// One menu level's look: the bar's or every drop-down's.
struct MenuLevelLook {
  RefPtr<MImageStyleDrawing> background;
  std::array<RefPtr<MImageStyleDrawing>, 4> items;  // only, first, middle, last
  std::array<std::optional<uint32_t>, 3> colours;   // label, lit label, highlight
  uint32_t justification = 0;
  int32_t fadeMs = 0;
};

struct TopMenuStyle {
  bool loaded = false;  // false: no definition was given; the bar is plain
  bool reduced = false;
  bool textShadow = true;
  std::array<int32_t, 4> border{};
  MenuLevelLook bar;
  MenuLevelLook drop;
  RefPtr<MImageStyleDrawing> emptyLeft, emptyRight;  // kept; the bar draws its background
};

// Reads the style anew (defaults first); false without a definition, `style` then unchanged.
bool LoadTopMenuStyle(MInterfaceDefinition* definition, TopMenuStyle* style);

// Gives `menu`'s element the look: item images, the colours given, the fade, and the
// background image (`clearFill` leaves the parent's drawing under a bar).
void DressMenuWindow(MMenuWindow* menu, const MenuLevelLook& look, bool clearFill);

}  // namespace vk2::gui
