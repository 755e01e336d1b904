// `prefs`: string access to the runtime's preferences for scripts, by '/'-separated section
// path and value name.
#pragma once

#include "core/script/script_native_object.h"
#include "foundation/util/ref_ptr.h"

namespace vk2 {

// The new object's script face (one reference), or null without the script module.
RefPtr<MScriptObject> CreatePrefsObject();

}  // namespace vk2
