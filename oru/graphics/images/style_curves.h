// Palettes and curves through control points: each channel interpolated linearly, or along a
// natural cubic spline, between the points; flat before the first and after the last.
#pragma once

#include <cstdint>

#include "interfaces/graphics/image.h"

namespace vk2::oru {

// `out` receives 256 values of one 8-bit channel taken from each point's value at `shift`.
bool InterpolateChannel(const CurvePoint* points, int32_t count, bool spline, int shift,
                        uint8_t* out, int32_t outStride);

}  // namespace vk2::oru
