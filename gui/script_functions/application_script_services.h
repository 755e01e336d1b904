// The `velkora` functions' services as the running application provides them.
#pragma once

#include "gui/script_functions/gui_script_services.h"

namespace vk2::gui {

class GuiApplication;

// `app` must have launched far enough to hold its GUI main object and player bridge.
GuiScriptServices ApplicationScriptServices(GuiApplication* app);

}  // namespace vk2::gui
