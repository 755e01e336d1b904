// RegisterCallback and UnregisterCallback, shared by the playlist and player objects: they bind
// a script to an event name of the object whose binding table is the function's user data.
#pragma once

#include "component/script/script_binding_table.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

// Adds the pair of functions to `script`, over `table`.
void RegisterCallbackFunctions(MScriptObject* script, ScriptBindingTable* table,
                               const char16_t* registerHelp, const char16_t* unregisterHelp);

}  // namespace vk2
