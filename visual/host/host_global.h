// The one visual handler of the process, made on first request (by whichever thread asks
// first) and released at the module's last detach.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "visual/host/visual_host_object.h"

namespace vk2 {

RefPtr<VisualHostObject> TheVisualHost();
void ReleaseVisualHost();

}  // namespace vk2
