// What tessel's class factories make. The main factory (class MmlModuleClass) selects by
// interface id; it is also how code inside this module makes script objects.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "interfaces/unknown.h"

namespace vk2 {

// The main factory's CreateInstance. Script objects are handed out as their MScriptObject
// interface (the aggregated one as its inner interface), with one reference.
int32_t CreateModuleInstance(const Guid& iid, MUnknown* outer, void** out);

}  // namespace vk2
