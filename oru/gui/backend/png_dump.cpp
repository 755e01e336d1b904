#include "oru/gui/backend/png_dump.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace vk2::gui {

bool WritePng(const SurfaceView& pixels, const std::string& path) {
  const std::vector<uint8_t> rgba = StraightRgba(pixels);
  return !rgba.empty() && WriteRgbaPng(pixels.width, pixels.height, rgba.data(), path);
}

std::vector<uint8_t> StraightRgba(const SurfaceView& pixels) {
  std::vector<uint8_t> rgba;
  if (pixels.Empty() || pixels.format != PixelFormat::kArgb32) return rgba;
  rgba.resize(static_cast<size_t>(pixels.width) * pixels.height * 4);
  size_t o = 0;
  for (int32_t y = 0; y < pixels.height; ++y) {
    const uint32_t* row = pixels.Argb(y);
    for (int32_t x = 0; x < pixels.width; ++x) {
      const uint32_t p = row[x];
      const uint32_t a = p >> 24;
      auto straight = [a](uint32_t c) {
        return a == 0 ? 0u : std::min(255u, (c * 255 + a / 2) / a);
      };
      rgba[o++] = static_cast<uint8_t>(straight((p >> 16) & 0xFF));
      rgba[o++] = static_cast<uint8_t>(straight((p >> 8) & 0xFF));
      rgba[o++] = static_cast<uint8_t>(straight(p & 0xFF));
      rgba[o++] = static_cast<uint8_t>(a);
    }
  }
  return rgba;
}

bool WriteRgbaPng(int32_t width, int32_t height, const uint8_t* rgba, const std::string& path) {
  const std::string temp = path + ".part";
  if (!stbi_write_png(temp.c_str(), width, height, 4, rgba, width * 4)) {
    std::remove(temp.c_str());
    return false;
  }
  return std::rename(temp.c_str(), path.c_str()) == 0;
}

}  // namespace vk2::gui
