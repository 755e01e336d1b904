// Tween curves: progress in [0, 1] mapped to the share of the way travelled.
#pragma once

#include <cstdint>

namespace vk2::gui {

// `t` is clamped to [0, 1]; every curve gives 0 at 0 and 1 at 1.
double ApplyTweenCurve(int32_t curve, double t);

// a + (b - a) * share, rounded to the nearest whole number for pixel values.
int32_t TweenInt(int32_t a, int32_t b, double share);
double TweenDouble(double a, double b, double share);

}  // namespace vk2::gui
