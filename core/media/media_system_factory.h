// How the player and the idle scan get a media system: made directly, not through the runtime.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "interfaces/core/media_system.h"

namespace vk2 {

// A new media system holding one reference for the caller; null when memory runs out.
RefPtr<MMediaSystem> CreateMediaSystem();

}  // namespace vk2
