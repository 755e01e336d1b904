#include "visual/pixel_filters.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace vk2 {
namespace {

uint32_t Channel(uint32_t p, int shift) {
  return (p >> shift) & 0xFF;
}

// (a + 2b + c) / 4 per channel.
uint32_t Soften(uint32_t a, uint32_t b, uint32_t c) {
  uint32_t out = 0;
  for (int shift = 0; shift < 32; shift += 8) {
    const uint32_t v = (Channel(a, shift) + 2 * Channel(b, shift) + Channel(c, shift)) / 4;
    out |= v << shift;
  }
  return out;
}

std::vector<uint32_t> CopyRows(const SurfaceView& image) {
  std::vector<uint32_t> copy(static_cast<size_t>(image.width) * image.height);
  for (int32_t y = 0; y < image.height; ++y)
    std::copy_n(image.Argb(y), image.width,
                copy.begin() + static_cast<std::ptrdiff_t>(y) * image.width);
  return copy;
}

}  // namespace

void FadePixels(const SurfaceView& image, int32_t strength) {
  if (image.Empty()) return;
  const int shift = 8 - std::clamp(strength, 1, 7);
  for (int32_t y = 0; y < image.height; ++y) {
    uint32_t* row = image.Argb(y);
    for (int32_t x = 0; x < image.width; ++x) {
      uint32_t out = 0;
      for (int s = 0; s < 32; s += 8) {
        const uint32_t c = Channel(row[x], s);
        const uint32_t step = std::max<uint32_t>(c >> shift, c ? 1 : 0);
        out |= (c - step) << s;
      }
      row[x] = out;
    }
  }
}

void BlurPixels(const SurfaceView& image) {
  if (image.Empty()) return;
  const std::vector<uint32_t> src = CopyRows(image);
  const int32_t w = image.width;
  const int32_t h = image.height;
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = image.Argb(y);
    for (int32_t x = 0; x < w; ++x) {
      uint32_t sums[4] = {0, 0, 0, 0};
      for (int32_t dy = -1; dy <= 1; ++dy) {
        const int32_t sy = std::clamp(y + dy, 0, h - 1);
        for (int32_t dx = -1; dx <= 1; ++dx) {
          const uint32_t p = src[static_cast<size_t>(sy) * w + std::clamp(x + dx, 0, w - 1)];
          for (int c = 0; c < 4; ++c)
            sums[c] += Channel(p, c * 8);
        }
      }
      uint32_t out = 0;
      for (int c = 0; c < 4; ++c)
        out |= ((sums[c] + 4) / 9) << (c * 8);
      row[x] = out;
    }
  }
}

void SmokePixels(const SurfaceView& image, int32_t top, int32_t bottom, bool upward) {
  if (image.Empty()) return;
  top = std::clamp(top, 0, image.height);
  bottom = std::clamp(bottom, 0, image.height);
  if (bottom - top < 2) return;
  const int32_t w = image.width;
  auto pull = [&](int32_t y, int32_t from) {
    const uint32_t* source = image.Argb(from);
    uint32_t* row = image.Argb(y);
    for (int32_t x = 0; x < w; ++x)
      row[x] = Soften(source[std::max(x - 1, 0)], source[x], source[std::min(x + 1, w - 1)]);
  };
  // In place, in the order that reads each source row before it is overwritten.
  if (upward) {
    for (int32_t y = top; y + 1 < bottom; ++y)
      pull(y, y + 1);
  } else {
    for (int32_t y = bottom - 1; y > top; --y)
      pull(y, y - 1);
  }
}

void ZoomPixels(const SurfaceView& image, double amount) {
  if (image.Empty() || amount == 0.0 || !std::isfinite(amount)) return;
  const double scale = 1.0 + amount / 256.0;
  if (scale <= 0.0) return;
  const std::vector<uint32_t> src = CopyRows(image);
  const double cx = image.width / 2.0;
  const double cy = image.height / 2.0;
  for (int32_t y = 0; y < image.height; ++y) {
    uint32_t* row = image.Argb(y);
    const double sy = std::floor(cy + (y + 0.5 - cy) / scale);
    for (int32_t x = 0; x < image.width; ++x) {
      const double sx = std::floor(cx + (x + 0.5 - cx) / scale);
      const bool inside = sx >= 0 && sy >= 0 && sx < image.width && sy < image.height;
      row[x] = inside ? src[static_cast<size_t>(sy) * image.width + static_cast<size_t>(sx)] : 0;
    }
  }
}

}  // namespace vk2
