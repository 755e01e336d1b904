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

// Each byte of a pixel in a 16-bit lane, so that sums of nine pixels add lane by lane.
uint64_t Spread(uint32_t p) {
  return (uint64_t{p} & 0xFF) | (uint64_t{(p >> 8) & 0xFF} << 16) |
         (uint64_t{(p >> 16) & 0xFF} << 32) | (uint64_t{p >> 24} << 48);
}

void BlurPixels(const SurfaceView& image) {
  if (image.Empty()) return;
  const int32_t w = image.width;
  const int32_t h = image.height;
  // Separable: three-pixel sums along each row, then three of those down each column.
  std::vector<uint64_t> rows(static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y) {
    const uint32_t* src = image.Argb(y);
    uint64_t* out = rows.data() + static_cast<size_t>(y) * w;
    for (int32_t x = 0; x < w; ++x)
      out[x] =
          Spread(src[std::max(x - 1, 0)]) + Spread(src[x]) + Spread(src[std::min(x + 1, w - 1)]);
  }
  for (int32_t y = 0; y < h; ++y) {
    const uint64_t* above = rows.data() + static_cast<size_t>(std::max(y - 1, 0)) * w;
    const uint64_t* here = rows.data() + static_cast<size_t>(y) * w;
    const uint64_t* below = rows.data() + static_cast<size_t>(std::min(y + 1, h - 1)) * w;
    uint32_t* row = image.Argb(y);
    for (int32_t x = 0; x < w; ++x) {
      const uint64_t sum = above[x] + here[x] + below[x];
      uint32_t out = 0;
      for (int c = 0; c < 4; ++c) {
        // (s + 4) / 9 for s up to 9 x 255, by multiplication.
        const uint32_t lane = static_cast<uint32_t>((sum >> (16 * c)) & 0xFFFF);
        out |= (((lane + 4) * 7282u) >> 16) << (8 * c);
      }
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
  // Where each column and row comes from (-1: outside the image), worked out once per frame.
  auto sources = [scale](int32_t size) {
    std::vector<int32_t> from(static_cast<size_t>(size));
    const double centre = size / 2.0;
    for (int32_t i = 0; i < size; ++i) {
      const double s = std::floor(centre + (i + 0.5 - centre) / scale);
      from[static_cast<size_t>(i)] = s >= 0 && s < size ? static_cast<int32_t>(s) : -1;
    }
    return from;
  };
  const std::vector<int32_t> columns = sources(image.width);
  const std::vector<int32_t> lines = sources(image.height);
  for (int32_t y = 0; y < image.height; ++y) {
    uint32_t* row = image.Argb(y);
    const int32_t sy = lines[static_cast<size_t>(y)];
    if (sy < 0) {
      std::fill(row, row + image.width, 0u);
      continue;
    }
    const uint32_t* source = src.data() + static_cast<size_t>(sy) * image.width;
    for (int32_t x = 0; x < image.width; ++x) {
      const int32_t sx = columns[static_cast<size_t>(x)];
      row[x] = sx >= 0 ? source[sx] : 0;
    }
  }
}

}  // namespace vk2
