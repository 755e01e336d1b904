// Shared by the canvas benchmarks: 1024x768 premultiplied surfaces with content that keeps the
// combiners honest (varied colours, some transparency), and pixman images over the same pixels.
#pragma once

#include <pixman.h>

#include <cstdint>
#include <vector>

#include "interfaces/graphics/canvas.h"

namespace vk2::bench {

inline constexpr int32_t kWidth = 1024;
inline constexpr int32_t kHeight = 768;

struct BenchPixels {
  std::vector<uint32_t> pixels;
  int32_t width = 0;
  int32_t height = 0;

  // `opaque`: every pixel fully opaque; else alpha varies across the image.
  BenchPixels(int32_t w, int32_t h, bool opaque, uint32_t seed)
      : pixels(w * h), width(w), height(h) {
    uint32_t state = seed * 2654435761u + 1;
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) {
        state = state * 1664525u + 1013904223u;
        const uint32_t a = opaque ? 255 : ((x + y) * 255 / (w + h)) | 0x10;
        const uint32_t r = ((state >> 8) & 0xFF) * a / 255;
        const uint32_t g = ((x * 255 / w) & 0xFF) * a / 255;
        const uint32_t b = ((y * 255 / h) & 0xFF) * a / 255;
        pixels[y * w + x] = (a << 24) | (r << 16) | (g << 8) | b;
      }
    }
  }

  SurfaceView View() {
    return SurfaceView{reinterpret_cast<uint8_t*>(pixels.data()), width, height, width * 4,
                       PixelFormat::kArgb32};
  }
  BlitSource Source() {
    BlitSource s;
    s.view = View();
    s.rect = RectI{0, 0, width, height};
    return s;
  }
  pixman_image_t* Pixman() {
    return pixman_image_create_bits(PIXMAN_a8r8g8b8, width, height, pixels.data(), width * 4);
  }
};

}  // namespace vk2::bench
