// The `velkora` script object's native functions: interfaces, windows, languages, rendering and
// input settings, status texts, versions, leaving the program, scrambling, and the file and
// playlist functions.
#pragma once

#include "gui/script_functions/gui_script_services.h"
#include "interfaces/script/script_object.h"

namespace vk2::gui {

// Adds the functions to `script` in their fixed order; `services` outlives the script object.
bool RegisterGuiScriptFunctions(MScriptObject* script, GuiScriptServices* services);

// Numeric text looks the interface up by identifier, any other text by unique name.
bool LookUpInterface(InterfaceEnumerator* interfaces, const TString& reference,
                     InterfaceRecord* out);

}  // namespace vk2::gui
