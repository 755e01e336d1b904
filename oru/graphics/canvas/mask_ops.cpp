#include "oru/graphics/canvas/mask_ops.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "interfaces/graphics/canvas.h"
#include "oru/graphics/canvas/clip_stack.h"
#include "oru/graphics/canvas/coverage_rasterizer.h"
#include "oru/graphics/canvas/pixel.h"
#include "oru/graphics/canvas/shape_contours.h"

namespace vk2::gfx {
namespace {

inline bool GetBit(const SurfaceView& m, int32_t x, int32_t y) {
  return (m.Row(y)[x >> 3] >> (7 - (x & 7))) & 1;
}
inline void PutBit(const SurfaceView& m, int32_t x, int32_t y, bool v) {
  uint8_t& b = m.Row(y)[x >> 3];
  const uint8_t bit = static_cast<uint8_t>(0x80 >> (x & 7));
  b = v ? (b | bit) : (b & ~bit);
}

inline bool Apply(int32_t mode, bool cur, bool in) {
  switch (mode) {
    case kClipReplace:
      return in;
    case kClipUnion:
      return cur || in;
    case kClipIntersect:
      return cur && in;
    case kClipDifference:
      return cur && !in;
    default:
      return cur != in;
  }
}

bool ValidMode(int32_t mode) {
  return mode >= kClipReplace && mode <= kClipXor;
}

bool IsMask(const SurfaceView& m) {
  return m.format == PixelFormat::kMask1 && !m.Empty();
}

// Combines a per-pixel predicate over the whole mask.
template <class InArea>
void CombineEach(const SurfaceView& mask, int32_t mode, InArea inArea) {
  for (int32_t y = 0; y < mask.height; ++y) {
    for (int32_t x = 0; x < mask.width; ++x) {
      PutBit(mask, x, y, Apply(mode, GetBit(mask, x, y), inArea(x, y)));
    }
  }
}

bool CombineCoverage(const SurfaceView& mask, const std::vector<Contour>& contours, int32_t mode) {
  if (!IsMask(mask) || !ValidMode(mode)) return false;
  CoverageMap cov;
  RasterizeContours(contours, mask.Bounds(), false, &cov);
  CombineEach(mask, mode, [&](int32_t x, int32_t y) {
    return x >= cov.rect.left && x < cov.rect.right && y >= cov.rect.top && y < cov.rect.bottom &&
           cov.Row(y)[x - cov.rect.left] != 0;
  });
  return true;
}

RectF ToRectF(const RectI& r) {
  return RectF{static_cast<double>(r.left), static_cast<double>(r.top),
               static_cast<double>(r.right), static_cast<double>(r.bottom)};
}

}  // namespace

void ClearMask(const SurfaceView& mask) {
  if (!IsMask(mask)) return;
  for (int32_t y = 0; y < mask.height; ++y)
    std::memset(mask.Row(y), 0, MaskStride(mask.width));
}

bool CombineMaskRect(const SurfaceView& mask, const RectI& rect, int32_t mode) {
  if (!IsMask(mask) || !ValidMode(mode)) return false;
  const RectI r = IntersectRects(rect, mask.Bounds());
  if (mode == kClipUnion || mode == kClipXor || mode == kClipDifference) {
    // Pixels outside the rectangle keep their value: only its own pixels change.
    for (int32_t y = r.top; y < r.bottom; ++y) {
      for (int32_t x = r.left; x < r.right; ++x) {
        PutBit(mask, x, y, Apply(mode, GetBit(mask, x, y), true));
      }
    }
    return true;
  }
  CombineEach(mask, mode, [&](int32_t x, int32_t y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
  });
  return true;
}

bool CombineMasks(const SurfaceView& mask, const SurfaceView& other, int32_t dx, int32_t dy,
                  int32_t mode) {
  if (!IsMask(mask) || !ValidMode(mode) || other.format != PixelFormat::kMask1) return false;
  CombineEach(mask, mode, [&](int32_t x, int32_t y) {
    const int32_t ox = x - dx;
    const int32_t oy = y - dy;
    return !other.Empty() && ox >= 0 && oy >= 0 && ox < other.width && oy < other.height &&
           GetBit(other, ox, oy);
  });
  return true;
}

bool CombineMaskEllipse(const SurfaceView& mask, const RectI& rect, int32_t mode) {
  const RectF r = ToRectF(rect);
  return CombineCoverage(mask,
                         {EllipseContour((r.left + r.right) / 2, (r.top + r.bottom) / 2,
                                         (r.right - r.left) / 2, (r.bottom - r.top) / 2)},
                         mode);
}

bool CombineMaskRoundRect(const SurfaceView& mask, const RectI& rect, int32_t cornerWidth,
                          int32_t cornerHeight, int32_t mode) {
  return CombineCoverage(
      mask, {RoundRectContour(ToRectF(rect), cornerWidth / 2.0, cornerHeight / 2.0)}, mode);
}

bool MaskFromImage(const SurfaceView& mask, const SurfaceView& image, uint32_t color,
                   uint32_t threshold) {
  if (!IsMask(mask) || image.format != PixelFormat::kArgb32 || image.width != mask.width ||
      image.height != mask.height) {
    return false;
  }
  const int shifts[4] = {kAlphaShift, kRedShift, kGreenShift, kBlueShift};
  for (int32_t y = 0; y < mask.height; ++y) {
    const uint32_t* row = image.Argb(y);
    for (int32_t x = 0; x < mask.width; ++x) {
      const uint32_t s = UnpremultiplyArgb(row[x]);
      bool in = true;
      for (int k = 0; k < 4; ++k) {
        if (Channel(color, shifts[k]) != 0 && Channel(s, shifts[k]) < threshold) in = false;
      }
      PutBit(mask, x, y, in);
    }
  }
  return true;
}

int32_t MaskValue(const SurfaceView& mask, int32_t x, int32_t y) {
  if (!IsMask(mask) || x < 0 || y < 0 || x >= mask.width || y >= mask.height) return 0;
  return GetBit(mask, x, y) ? 1 : 0;
}

void MoveMask(const SurfaceView& mask, int32_t dx, int32_t dy) {
  if (!IsMask(mask)) return;
  std::vector<uint8_t> copy(static_cast<size_t>(MaskStride(mask.width)) * mask.height);
  SurfaceView old{copy.data(), mask.width, mask.height, MaskStride(mask.width),
                  PixelFormat::kMask1};
  for (int32_t y = 0; y < mask.height; ++y) {
    std::memcpy(old.Row(y), mask.Row(y), MaskStride(mask.width));
  }
  ClearMask(mask);
  CombineMasks(mask, old, dx, dy, kClipUnion);
}

}  // namespace vk2::gfx
