// The top menu's contents, built from its fixed command table, the installed interfaces and the
// languages: a tree of bar entries, submenus and command items that the window then hands to
// the GUI layer's menu windows. Labels come from the language's "topmenu" table.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/text/tstring.h"
#include "gui/packages/interface_record.h"
#include "gui/top_menu/menu_command_table.h"
#include "gui/window_base/menu_entry.h"

namespace vk2::gui {

struct TopMenuSources {
  // The label of a "topmenu" key in the chosen language.
  std::function<TString(const char16_t* key)> label;
  // `devtestmode`: the reduced menu for testing interfaces.
  bool reduced = false;
  std::vector<InterfaceRecord> interfaces;  // in the enumerator's order
  std::vector<TString> languages;           // of the text domain "velkora gui", in order
};

// The bar: entries keyed by their "topmenu" key (the generated lists' items have none); its
// entries are submenus ("file", "view", and "language" unless reduced).
MenuEntry BuildTopMenu(const TopMenuSources& sources, MenuCommandTable* commands);

// A submenu entry by its key path ("file.remotes"), or null.
const MenuEntry* FindMenuEntry(const MenuEntry& bar, const char16_t* key);

}  // namespace vk2::gui
