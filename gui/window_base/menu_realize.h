// Hands a built menu to the GUI layer: one menu window per submenu, one item per entry, in
// order, with the text shadow the style asks for.
#pragma once

#include <functional>

#include "foundation/util/ref_ptr.h"
#include "gui/window_base/menu_entry.h"
#include "interfaces/gui/menus.h"

namespace vk2::gui {

// Fills `menu` (emptied first) with the items of `entry`; false when the GUI layer could not
// make an item or submenu (the items made so far stay).
// `dressSubmenu` (may be empty) gives each drop-down made its look.
bool FillMenuWindow(MMenuWindow* menu, const MenuEntry& entry, bool textShadow,
                    const std::function<void(MMenuWindow*)>& dressSubmenu = {});

// A new menu window, or null.
RefPtr<MMenuWindow> NewMenuWindow();

}  // namespace vk2::gui
