// The core script objects the media core class hands out by id: a new container, player helper
// or prefs object per request, and the module's one files object.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"

namespace vk2 {

// kErrNoInterface for an id that names no core script object.
int32_t CreateCoreScriptObject(const Guid& id, void** out);
// Lets go of the module's files object (last detach).
void ReleaseCoreScriptObjects();

}  // namespace vk2
