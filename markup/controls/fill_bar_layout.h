// Where a fill bar draws its parts: the bar inside the window, the handle at a relative
// position, the part before and the part after the handle, and the track the handle's centre
// runs along. Pure arithmetic, so that the truncations can be checked edge by edge.
#pragma once

#include <cstdint>

#include "interfaces/graphics/surface.h"

namespace vk2::markup {

// Rectangles as offsets in pixels and alignments as fractions of the bar (or window), each
// ordered left, top, right, bottom.
struct FillBarGeometry {
  bool vertical = false;
  bool hasHandle = false;  // a normal handle style is set
  int32_t barOffset[4] = {0, 0, 0, 0};
  double barAlign[4] = {0, 0, 0, 0};
  int32_t innerHandleOffset[4] = {0, 0, 0, 0};
  double innerHandleAlign[4] = {0, 0, 0, 0};
  int32_t outerHandleOffset[4] = {0, 0, 0, 0};
  double outerHandleAlign[4] = {0, 0, 0, 0};
  int32_t fillOffset[4] = {0, 0, 0, 0};
  int32_t emptyOffset[4] = {0, 0, 0, 0};
};

struct FillBarLayout {
  RectI bar;
  RectI first;   // from the bar's start to the handle (with the fill offset)
  RectI second;  // from the handle to the bar's end (with the empty offset)
  RectI handle;  // empty without a handle style
  double centreX = 0;
  double centreY = 0;
};

RectI FillBarRect(const FillBarGeometry& geometry, int32_t width, int32_t height);
// The handle's length along the bar (0 without a handle style).
int32_t FillBarHandleLength(const FillBarGeometry& geometry, const RectI& bar);
FillBarLayout LayOutFillBar(const FillBarGeometry& geometry, int32_t width, int32_t height,
                            double position);
// The bar narrowed by half a handle at each end.
RectI FillBarTrack(const FillBarGeometry& geometry, int32_t width, int32_t height);

}  // namespace vk2::markup
