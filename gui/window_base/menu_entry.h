// A menu as the module's windows build it before handing it to the GUI layer: entries with
// labels, submenus with their items, commands with the id their window runs them by.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"

namespace vk2::gui {

struct MenuEntry {
  TString key;    // what the building window names the entry by (may be empty)
  TString label;  // as shown
  bool submenu = false;
  int32_t id = -1;  // a command's id
  std::vector<MenuEntry> items;
};

}  // namespace vk2::gui
