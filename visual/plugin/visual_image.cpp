#include "visual/plugin/visual_image.h"

#include <algorithm>
#include <new>

namespace vk2 {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

}  // namespace

SurfaceView VisualImage::View() {
  SurfaceView view;
  if (Empty()) return view;
  view.bits = reinterpret_cast<uint8_t*>(pixels_.data());
  view.width = width_;
  view.height = height_;
  view.strideBytes = pitch_ * 4;
  return view;
}

bool VisualImage::Recreate(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) {
    pixels_.clear();
    width_ = height_ = pitch_ = 0;
    return width == 0 || height == 0;
  }
  const int32_t pitch = (width + 3) & ~3;
  try {
    std::vector<uint32_t> pixels(static_cast<size_t>(pitch) * static_cast<size_t>(height), 0u);
    pixels_.swap(pixels);
  } catch (const std::bad_alloc&) {
    return false;
  }
  width_ = width;
  height_ = height;
  pitch_ = pitch;
  return true;
}

void VisualImage::Present(const SurfaceView& target, int32_t x, int32_t y, int32_t width,
                          int32_t height) {
  if (Empty() || target.Empty() || target.format != PixelFormat::kArgb32) return;
  // Only the part of the rectangle inside the target is written.
  const int32_t x0 = std::max(x, 0);
  const int32_t y0 = std::max(y, 0);
  const int32_t x1 = std::min(x + width, target.width);
  const int32_t y1 = std::min(y + height, target.height);
  if (x0 >= x1 || y0 >= y1 || width <= 0 || height <= 0) return;
  const bool scaled = width != width_ || height != height_;
  for (int32_t ty = y0; ty < y1; ++ty) {
    const int32_t sy = scaled ? static_cast<int32_t>(int64_t{ty - y} * height_ / height) : ty - y;
    const uint32_t* source = pixels_.data() + static_cast<size_t>(sy) * pitch_;
    uint32_t* out = target.Argb(ty);
    for (int32_t tx = x0; tx < x1; ++tx) {
      const int32_t sx = scaled ? static_cast<int32_t>(int64_t{tx - x} * width_ / width) : tx - x;
      out[tx] = source[sx] | kOpaque;
    }
  }
}

}  // namespace vk2
