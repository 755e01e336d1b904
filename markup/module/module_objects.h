// Module-wide objects of the markup engine: the lock the shape readers and hit tests share, and
// the enumeration callback that drops script children.
#pragma once

#include <cstdint>
#include <mutex>

#include "interfaces/unknown.h"

namespace vk2::markup {

// Serialises shape readers and hit tests across every window of the module.
std::recursive_mutex& StyleLock();

// For script-object enumerations: on event 4 with a script child, removes the child from the
// object's members and from the module's script engine. Always answers 1 (go on).
int32_t RemoveScriptChildCallback(MUnknown* object, int32_t event, MUnknown* child);

}  // namespace vk2::markup
