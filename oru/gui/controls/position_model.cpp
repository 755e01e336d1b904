#include "oru/gui/controls/position_model.h"

#include <algorithm>
#include <cmath>

namespace vk2 {

int32_t PositionModel::Clamp(int64_t position) const {
  const int64_t low = std::min(minimum_, maximum_);
  const int64_t high = std::max(minimum_, maximum_);
  return static_cast<int32_t>(std::clamp(position, low, high));
}

void PositionModel::SetRange(int32_t minimum, int32_t maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
  position_ = Clamp(position_);
}

double PositionModel::RealPos() const {
  if (maximum_ == minimum_) return 0.0;
  return (static_cast<double>(position_) - minimum_) / (static_cast<double>(maximum_) - minimum_);
}

int32_t PositionModel::IntFromReal(double real) const {
  if (!std::isfinite(real)) real = 0.0;
  real = std::clamp(real, 0.0, 1.0);
  const double span = static_cast<double>(maximum_) - minimum_;
  return Clamp(static_cast<int64_t>(std::llround(minimum_ + span * real)));
}

bool PositionModel::SetIntPos(int32_t position) {
  const int32_t kept = Clamp(position);
  if (kept == position_) return false;
  position_ = kept;
  return true;
}

bool PositionModel::SetRealPos(double real) {
  return SetIntPos(IntFromReal(real));
}

int32_t PositionModel::SteppedFrom(int32_t from, int32_t steps) const {
  const int64_t low = std::min(minimum_, maximum_);
  const int64_t high = std::max(minimum_, maximum_);
  const int64_t direction = maximum_ >= minimum_ ? 1 : -1;
  const int64_t target = int64_t{from} + direction * steps;
  if (!wrap_) return Clamp(target);
  const int64_t span = high - low + 1;
  return static_cast<int32_t>(low + (((target - low) % span) + span) % span);
}

}  // namespace vk2
