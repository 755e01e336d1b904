// Writes premultiplied ARGB pixels to a PNG file in straight alpha (host dumps for tests and
// screenshots).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "interfaces/graphics/surface.h"

namespace vk2::gui {

// Written through a temporary file and a rename, so a failed dump leaves no half file.
bool WritePng(const SurfaceView& pixels, const std::string& path);

// The two steps of a dump. Premultiplied ARGB (kArgb32) in straight RGBA, 4 bytes a pixel, rows
// top first, each channel rounded to nearest; empty for another format or an empty view.
std::vector<uint8_t> StraightRgba(const SurfaceView& pixels);
// `rgba` (width * height * 4 bytes) as a PNG, through a temporary file and a rename.
bool WriteRgbaPng(int32_t width, int32_t height, const uint8_t* rgba, const std::string& path);

}  // namespace vk2::gui
