// Curves as ordered {position, value} points; editors insert points between existing ones.
#pragma once

#include "foundation/containers/tarray.h"

namespace vk2 {

struct CurvePoint {
  double position = 0;
  double value = 0;
};
static_assert(sizeof(CurvePoint) == 16);

// InsertAt (index, point) grows the array when full and moves the tail up.
using CurvePointArray = TArray<CurvePoint>;

}  // namespace vk2
