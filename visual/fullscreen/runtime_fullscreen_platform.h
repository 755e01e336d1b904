// What a full-screen display uses in the running program: SDL's displays and windows, the
// process's visual handler, the media core's players and the system clock.
#pragma once

#include <memory>

#include "visual/fullscreen/fullscreen_service.h"

namespace vk2 {

std::shared_ptr<FullscreenPlatform> MakeRuntimeFullscreenPlatform();

}  // namespace vk2
