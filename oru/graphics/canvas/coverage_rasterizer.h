// Our antialiased coverage rasterizer: closed polygons in, one coverage byte per pixel out.
// Each edge adds its signed area to the cells it crosses; a running sum along each row gives the
// covered fraction of every pixel. Windings add, so a contour that runs the other way cuts a
// hole (frames, rings), and the result is capped at full coverage. Pixel (x, y) spans
// [x, x+1) x [y, y+1), so its centre lies at (x + 0.5, y + 0.5).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "interfaces/graphics/surface.h"

namespace vk2::gfx {

struct PointF {
  double x = 0;
  double y = 0;
};

using Contour = std::vector<PointF>;

// Coverage bytes over `rect`, row-major with `rect.Width()` bytes per row.
struct CoverageMap {
  RectI rect;
  std::vector<uint8_t> values;

  const uint8_t* Row(int32_t y) const {
    return values.data() + static_cast<size_t>(y - rect.top) * rect.Width();
  }
};

class CoverageRasterizer {
 public:
  // Starts over, keeping coverage only inside `bounds`.
  void Reset(const RectI& bounds);
  void AddContour(const Contour& contour);
  // Coverage 0-255; without antialiasing a pixel is in (255) when at least half of it is
  // covered, else out (0). The map covers the bounds given to Reset.
  void Resolve(bool antialias, CoverageMap* out) const;

 private:
  void AddEdge(PointF a, PointF b);

  RectI bounds_;
  int32_t stride_ = 0;
  std::vector<float> cells_;
};

// The integer rectangle that holds every point of the contours, grown to whole pixels.
RectI ContourBounds(const std::vector<Contour>& contours);

// Rasterizes contours and clips the map to `clip`; an empty map when nothing is inside.
void RasterizeContours(const std::vector<Contour>& contours, const RectI& clip, bool antialias,
                       CoverageMap* out);
// The same with a rasterizer the caller keeps, so its cells are reused.
void RasterizeContours(const std::vector<Contour>& contours, const RectI& clip, bool antialias,
                       CoverageRasterizer* rasterizer, CoverageMap* out);

}  // namespace vk2::gfx
