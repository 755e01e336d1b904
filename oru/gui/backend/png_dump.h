// Writes premultiplied ARGB pixels to a PNG file in straight alpha (host dumps for tests and
// screenshots).
#pragma once

#include <cstdint>
#include <string>

#include "interfaces/graphics/surface.h"

namespace vk2::gui {

// Written through a temporary file and a rename, so a failed dump leaves no half file.
bool WritePng(const SurfaceView& pixels, const std::string& path);

}  // namespace vk2::gui
