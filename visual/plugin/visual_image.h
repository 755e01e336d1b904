// The off-screen image a visual draws into: 32-bit pixels, rows padded to a multiple of four
// pixels, cleared to black when it is made.
#pragma once

#include <cstdint>
#include <vector>

#include "interfaces/graphics/surface.h"

namespace vk2 {

class VisualImage {
 public:
  int32_t Width() const { return width_; }
  int32_t Height() const { return height_; }
  int32_t Pitch() const { return pitch_; }  // pixels per row
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  uint32_t* Pixels() { return pixels_.data(); }
  SurfaceView View();

  // A new black image; false when the size cannot be held.
  bool Recreate(int32_t width, int32_t height);

  // Copies the image into `target` at (x, y): unscaled when the sizes agree, else scaled to
  // width x height. Plug-ins leave alpha 0, so every copied pixel is made opaque.
  void Present(const SurfaceView& target, int32_t x, int32_t y, int32_t width, int32_t height);

 private:
  std::vector<uint32_t> pixels_;
  int32_t width_ = 0;
  int32_t height_ = 0;
  int32_t pitch_ = 0;
};

}  // namespace vk2
