#include "oru/gui/controls/knob_geometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vk2 {

namespace {

double Sweep(const KnobAngles& angles) {
  double sweep = angles.endDegrees - angles.startDegrees;
  if (sweep <= 0) sweep += 360.0;
  return sweep;
}

}  // namespace

double KnobFractionAt(double dx, double dy, const KnobAngles& angles) {
  if (dx == 0 && dy == 0) return 0.0;
  const double pointer = std::atan2(dx, -dy) * 180.0 / std::numbers::pi;  // clockwise from up
  const double sweep = Sweep(angles);
  double along = std::fmod(pointer - angles.startDegrees, 360.0);
  if (along < 0) along += 360.0;
  if (along <= sweep) return along / sweep;
  // In the gap between the end and the start: the nearer end.
  const double pastEnd = along - sweep;
  const double beforeStart = 360.0 - along;
  return pastEnd < beforeStart ? 1.0 : 0.0;
}

double KnobAngleFor(double fraction, const KnobAngles& angles) {
  return angles.startDegrees + std::clamp(fraction, 0.0, 1.0) * Sweep(angles);
}

int32_t LinearKnobSteps(int32_t dy, int32_t sensitivity) {
  if (sensitivity <= 0) sensitivity = 1;
  return -dy / sensitivity;
}

}  // namespace vk2
