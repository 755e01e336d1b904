#include "oru/gui/window/tween_curve.h"

#include <cmath>

#include "interfaces/gui/window_element.h"

namespace vk2::gui {

namespace {

// Decelerates to the target, then rebounds twice by a quarter and a sixteenth of the travel.
double Bounce(double t) {
  constexpr double kFirst = 0.6;
  constexpr double kSecond = 0.85;
  if (t < kFirst) {
    const double u = t / kFirst;
    return 1 - (1 - u) * (1 - u);
  }
  const auto hump = [](double u, double height) { return 1 - height * 4 * u * (1 - u); };
  if (t < kSecond) return hump((t - kFirst) / (kSecond - kFirst), 0.25);
  return hump((t - kSecond) / (1 - kSecond), 0.0625);
}

}  // namespace

double ApplyTweenCurve(int32_t curve, double t) {
  if (!(t > 0)) return 0;
  if (t >= 1) return 1;
  switch (curve) {
    case kTweenAccelerate:
      return t * t;
    case kTweenDecelerate:
      return 1 - (1 - t) * (1 - t);
    case kTweenSmooth:
      return t * t * (3 - 2 * t);
    case kTweenBounce:
      return Bounce(t);
    default:
      return t;
  }
}

int32_t TweenInt(int32_t a, int32_t b, double share) {
  const double v = static_cast<double>(a) + (static_cast<double>(b) - a) * share;
  return static_cast<int32_t>(std::lround(v));
}

double TweenDouble(double a, double b, double share) {
  return a + (b - a) * share;
}

}  // namespace vk2::gui
