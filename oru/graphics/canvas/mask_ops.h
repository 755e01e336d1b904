// Operations on 1-bit masks (PixelFormat::kMask1 views): the shapes windows are cut to, hit
// areas and clips. Combine modes are the ClipMode values: 1 clears the mask and then sets the
// area, 2 ORs, 3 ANDs, 4 removes the area (DIFF), 5 XORs. An unknown mode changes nothing and
// answers false.
#pragma once

#include <cstdint>

#include "interfaces/graphics/surface.h"

namespace vk2::gfx {

void ClearMask(const SurfaceView& mask);
bool CombineMaskRect(const SurfaceView& mask, const RectI& rect, int32_t mode);
// Combines `other` with its origin at (dx, dy); outside `other` counts as unset.
bool CombineMasks(const SurfaceView& mask, const SurfaceView& other, int32_t dx, int32_t dy,
                  int32_t mode);
// Sets the pixels whose centres an ellipse (or rounded rectangle) filling `rect` covers at
// least half, combined by mode.
bool CombineMaskEllipse(const SurfaceView& mask, const RectI& rect, int32_t mode);
bool CombineMaskRoundRect(const SurfaceView& mask, const RectI& rect, int32_t cornerWidth,
                          int32_t cornerHeight, int32_t mode);
// Sets the bits of `mask` (same size as `image`, an ARGB view) where every channel that `color`
// names (its non-zero bytes) holds at least `threshold` in straight colour; clears the others.
bool MaskFromImage(const SurfaceView& mask, const SurfaceView& image, uint32_t color,
                   uint32_t threshold);
// 1 inside, 0 outside the mask or unset.
int32_t MaskValue(const SurfaceView& mask, int32_t x, int32_t y);
// Moves the contents by (dx, dy); what moves in is unset.
void MoveMask(const SurfaceView& mask, int32_t dx, int32_t dy);

// Bytes a mask of `width` pixels needs per row.
constexpr int32_t MaskStride(int32_t width) {
  return (width + 7) / 8;
}

}  // namespace vk2::gfx
