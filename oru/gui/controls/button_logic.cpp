#include "oru/gui/controls/button_logic.h"

#include <algorithm>

namespace vk2 {

ButtonOutcome ButtonLogic::Become(int32_t state) {
  ButtonOutcome outcome;
  outcome.stateChanged = state != state_;
  state_ = state;
  return outcome;
}

ButtonOutcome ButtonLogic::SetState(int32_t state) {
  if (state < kButtonNormal || state > kButtonPressedOutside) return {};
  return Become(state);
}

int32_t ButtonLogic::VisualState() const {
  // A toggle with one look per checked state shows its checked state, whatever the pointer does.
  if (toggle_ && stateCount_ == 2) return checked_ ? 1 : 0;
  int32_t look = state_;
  if (look == kButtonPressedOutside) look = kButtonNormal;
  if (toggle_ && checked_ && look == kButtonNormal) look = kButtonPressed;
  return std::clamp(look, 0, std::max(0, stateCount_ - 1));
}

ButtonOutcome ButtonLogic::PointerEnter() {
  inside_ = true;
  if (state_ == kButtonNormal && hover_) return Become(kButtonHover);
  return {};
}

ButtonOutcome ButtonLogic::PointerLeave() {
  inside_ = false;
  if (state_ == kButtonHover) return Become(kButtonNormal);
  return {};
}

ButtonOutcome ButtonLogic::Press(uint64_t nowMs) {
  inside_ = true;
  repeating_ = repeatDelayMs_ > 0;
  nextRepeatMs_ = nowMs + static_cast<uint64_t>(std::max(repeatDelayMs_, 0));
  return Become(kButtonPressed);
}

ButtonOutcome ButtonLogic::Drag(bool inside) {
  inside_ = inside;
  if (state_ == kButtonPressed && !inside) return Become(kButtonPressedOutside);
  if (state_ == kButtonPressedOutside && inside) return Become(kButtonPressed);
  return {};
}

ButtonOutcome ButtonLogic::Release(bool inside) {
  if (state_ != kButtonPressed && state_ != kButtonPressedOutside) return {};
  inside_ = inside;
  repeating_ = false;
  ButtonOutcome outcome = Become(inside && hover_ ? kButtonHover : kButtonNormal);
  // Every press let go inside ends in a click, after any repeats (the host sends that one).
  if (inside) {
    outcome.clicked = true;
    if (toggle_) {
      checked_ = !checked_;
      outcome.toggled = true;
      outcome.stateChanged = true;
    }
  }
  return outcome;
}

ButtonOutcome ButtonLogic::Cancel() {
  repeating_ = false;
  if (state_ != kButtonPressed && state_ != kButtonPressedOutside) return {};
  return Become(kButtonNormal);
}

ButtonOutcome ButtonLogic::Tick(uint64_t nowMs) {
  ButtonOutcome outcome;
  if (!repeating_ || state_ != kButtonPressed || nowMs < nextRepeatMs_) return outcome;
  outcome.clicked = true;
  nextRepeatMs_ += kRepeatIntervalMs;
  if (nextRepeatMs_ <= nowMs) nextRepeatMs_ = nowMs + kRepeatIntervalMs;  // a late timer
  return outcome;
}

}  // namespace vk2
