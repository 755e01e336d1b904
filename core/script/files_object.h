// `files`: the program's file-type associations for scripts. One object per module.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "interfaces/core/script_objects.h"

namespace vk2 {

// The module's files object (made on the first request), one reference for the caller.
RefPtr<MFilesObject> GetFilesObject();
// Lets go of the module's reference (last detach).
void ReleaseFilesObject();

}  // namespace vk2
