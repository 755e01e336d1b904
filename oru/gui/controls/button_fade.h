// The cross-fade between a button's looks: one weight per look and pointer state (normal, hit,
// hover: the order state styles are drawn in), moving in a straight line from what showed to
// the new look over the fade duration. Times are the GUI clock's milliseconds, handed in.
#pragma once

#include <cstdint>
#include <vector>

namespace vk2 {

// The pointer states inside one look, in the order of its weight triple.
enum ButtonPointerLook : int32_t {
  kPointerLookNormal = 0,
  kPointerLookHit = 1,
  kPointerLookHover = 2,
};

class ButtonFade {
 public:
  // What should show from `nowMs` on: `look` (below `looks`) in `pointer` state. A new target
  // starts a fade from the weights shown at `nowMs`; the first target, a change of the number
  // of looks, or a duration of 0 or less shows the target at once.
  void Aim(int32_t looks, int32_t look, int32_t pointer, uint64_t nowMs, int32_t durationMs);
  // Writes `looks` × 3 weights at `nowMs` into `out`; they sum to 1 once aimed, else all 0.
  void Weights(uint64_t nowMs, double* out, int32_t looks) const;
  // Whether the weights still change after `nowMs`.
  bool Fading(uint64_t nowMs) const;

 private:
  // How far the fade has come at `nowMs`, 0 to 1.
  double Progress(uint64_t nowMs) const;

  std::vector<double> from_;  // the weights shown when the fade began
  int32_t target_ = -1;       // index of the weight the fade moves to, -1 before the first aim
  uint64_t startMs_ = 0;
  int32_t durationMs_ = 0;
};

}  // namespace vk2
