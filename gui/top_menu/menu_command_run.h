// Running a chosen top-menu item: its script line, in the context of the window that holds the
// menu (its parent's script object).
#pragma once

#include <cstdint>

#include "gui/top_menu/menu_command_table.h"

namespace vk2 {
class MScriptEngine;
class MScriptObject;
}  // namespace vk2

namespace vk2::gui {

// False when the id has no command or there is no engine or context; else whether it ran
// without a script error.
bool RunMenuCommand(const MenuCommandTable& commands, int32_t id, MScriptEngine* engine,
                    MScriptObject* context);

}  // namespace vk2::gui
