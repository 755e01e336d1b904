// A spin button's ways of turning a pointer into a position: as a radial knob (the angle of
// the pointer around the knob's centre, between a start and an end angle) or linearly (the
// distance dragged up or down, `sensitivity` pixels per step).
#pragma once

#include <cstdint>

namespace vk2 {

struct KnobAngles {
  // Degrees, clockwise from straight up: where the minimum and the maximum lie. The turn runs
  // clockwise from start to end; end <= start adds a full turn.
  double startDegrees = -135;
  double endDegrees = 135;
};

// The fraction 0.0 to 1.0 for a pointer at (dx, dy) from the centre (screen axes: y down).
// A point in the dead zone past the end snaps to the nearer end. Null centre offset: 0.0.
double KnobFractionAt(double dx, double dy, const KnobAngles& angles);
// The angle in degrees (clockwise from up) at which a fraction is drawn.
double KnobAngleFor(double fraction, const KnobAngles& angles);
// Steps for a vertical drag of `dy` pixels (screen axes: dragging up adds), `sensitivity`
// pixels per step.
int32_t LinearKnobSteps(int32_t dy, int32_t sensitivity);

}  // namespace vk2
