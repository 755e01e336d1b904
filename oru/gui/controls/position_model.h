// The position of a fill bar or a spin button: an integer between a minimum and a maximum, and
// the same as a fraction from 0.0 to 1.0. Either end may be the larger one (a reversed range).
#pragma once

#include <cstdint>

namespace vk2 {

class PositionModel {
 public:
  int32_t Minimum() const { return minimum_; }
  int32_t Maximum() const { return maximum_; }
  // Keeps the position inside the new range.
  void SetRange(int32_t minimum, int32_t maximum);
  // Past either end the position wraps around instead of stopping (spin buttons).
  void SetWrap(bool wrap) { wrap_ = wrap; }
  bool Wrap() const { return wrap_; }

  int32_t IntPos() const { return position_; }
  double RealPos() const;
  // Both answer whether the position changed.
  bool SetIntPos(int32_t position);
  bool SetRealPos(double real);
  // The integer position a fraction stands for, rounded to nearest and kept in range.
  int32_t IntFromReal(double real) const;
  // The position `steps` steps on (wrapping or stopping at the ends).
  int32_t Stepped(int32_t steps) const { return SteppedFrom(position_, steps); }
  // The position `steps` steps on from `from` (a drag measured from where it began).
  int32_t SteppedFrom(int32_t from, int32_t steps) const;

 private:
  int32_t Clamp(int64_t position) const;

  int32_t minimum_ = 0;
  int32_t maximum_ = 100;
  int32_t position_ = 0;
  bool wrap_ = false;
};

}  // namespace vk2
