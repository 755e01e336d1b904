#include "oru/gui/controls/button_fade.h"

#include <algorithm>

namespace vk2 {

namespace {
constexpr int32_t kPointerLooks = 3;
}  // namespace

double ButtonFade::Progress(uint64_t nowMs) const {
  if (durationMs_ <= 0 || nowMs >= startMs_ + static_cast<uint64_t>(durationMs_)) return 1.0;
  if (nowMs <= startMs_) return 0.0;
  return static_cast<double>(nowMs - startMs_) / durationMs_;
}

void ButtonFade::Aim(int32_t looks, int32_t look, int32_t pointer, uint64_t nowMs,
                     int32_t durationMs) {
  if (looks <= 0) {
    from_.clear();
    target_ = -1;
    return;
  }
  look = std::clamp(look, 0, looks - 1);
  pointer = std::clamp(pointer, 0, kPointerLooks - 1);
  const int32_t target = look * kPointerLooks + pointer;
  const size_t size = static_cast<size_t>(looks) * kPointerLooks;
  const bool freshStart = target_ < 0 || from_.size() != size;
  if (!freshStart && target == target_) return;
  std::vector<double> shown(size, 0.0);
  if (!freshStart) Weights(nowMs, shown.data(), looks);
  from_ = std::move(shown);
  target_ = target;
  startMs_ = nowMs;
  durationMs_ = freshStart ? 0 : durationMs;
}

void ButtonFade::Weights(uint64_t nowMs, double* out, int32_t looks) const {
  if (!out || looks <= 0) return;
  const size_t size = static_cast<size_t>(looks) * kPointerLooks;
  std::fill(out, out + size, 0.0);
  if (target_ < 0 || from_.size() != size) return;
  const double progress = Progress(nowMs);
  for (size_t i = 0; i < size; ++i)
    out[i] = from_[i] * (1.0 - progress);
  out[target_] += progress;
}

bool ButtonFade::Fading(uint64_t nowMs) const {
  return target_ >= 0 && Progress(nowMs) < 1.0;
}

}  // namespace vk2
