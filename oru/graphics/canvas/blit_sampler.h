// Source pixels for blits: palette lookup of index surfaces, and the resampling of stretched
// and rotated blits into premultiplied rows for the composer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "interfaces/graphics/canvas.h"

namespace vk2::gfx {

// Premultiplied pixels of an area, `area.Width()` per row.
struct PixelBlock {
  RectI area;
  std::vector<uint32_t> pixels;
};

// A premultiplied colour source for a blit: ARGB views are read in place, index views are
// converted through their palette (a grey ramp without one). False for a mask view or a source
// rectangle outside the view.
struct ArgbSource {
  const uint32_t* origin = nullptr;  // pixel (0, 0) of the source rectangle
  int32_t strideBytes = 0;
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> converted;  // holds the pixels of converted sources

  const uint32_t& At(int32_t x, int32_t y) const {
    return reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(origin) +
                                             static_cast<ptrdiff_t>(y) * strideBytes)[x];
  }
};
bool MakeArgbSource(const BlitSource& source, ArgbSource* out);

// Fills `block` (its area set by the caller) with the source stretched onto `dest`.
void SampleStretch(const ArgbSource& src, const RectI& dest, bool bilinear, PixelBlock* block);
// The same for the pixels of `area`, written at `pixels` (the area's top-left) row by row.
void SampleStretchInto(const ArgbSource& src, const RectI& dest, bool bilinear, const RectI& area,
                       uint32_t* pixels, int32_t strideBytes);

// Fills `block` with the source turned and scaled about the centres; outside the source the
// pixels repeat it when `tile`, else they hold its nearest edge (the outline's coverage hides
// them).
void SampleRotate(const ArgbSource& src, const RotateArgs& args, double sourceLeft,
                  double sourceTop, bool bilinear, bool tile, PixelBlock* block);

// Where the source rectangle lands after turning: the four corners.
void RotatedCorners(const RotateArgs& args, double left, double top, double right, double bottom,
                    double outX[4], double outY[4]);

}  // namespace vk2::gfx
