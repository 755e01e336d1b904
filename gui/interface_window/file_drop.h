// Files dropped on an interface window go to the default playlist, appended or replacing it
// and played at once as the player's preferences say.
#pragma once

#include <cstdint>

#include "interfaces/gui/gui_application.h"
#include "interfaces/gui/window_element.h"

namespace vk2::gui {

// Queues the dropped files for the GUI main object's worker; false when there were none or the
// worker refused them.
bool QueueDroppedFiles(MGuiMain* main, const FileDropRecord* drop);

}  // namespace vk2::gui
