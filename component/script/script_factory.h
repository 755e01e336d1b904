// How code outside the script module makes script values and objects: through the script
// module's class (MmlModuleClass) by interface id. Inside the script module the module's own
// constructors are installed instead, so no id dispatch happens per value.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2 {

using ScriptInstanceCreator = int32_t (*)(const Guid& iid, MUnknown* outer, void** out);

// Null restores the default: the script module's class through the runtime.
void SetScriptInstanceCreator(ScriptInstanceCreator creator);
// The object comes with one reference for the caller; negative on failure (-15 when nothing
// can make it).
int32_t CreateScriptInstance(const Guid& iid, MUnknown* outer, void** out);

}  // namespace vk2
