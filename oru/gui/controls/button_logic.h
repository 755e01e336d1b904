// What a button does with the pointer, apart from any window: its logic state, hover, toggle
// and the repeat of a held button. Times are the GUI clock's milliseconds, handed in.
#pragma once

#include <cstdint>

namespace vk2 {

enum ButtonState : int32_t {
  kButtonNormal = 0,
  kButtonHover = 1,           // the pointer is over it (only when hover is on)
  kButtonPressed = 2,         // pressed, the pointer inside
  kButtonPressedOutside = 3,  // pressed, the pointer dragged outside
};

inline constexpr int32_t kDefaultRepeatDelayMs = 150;
inline constexpr int32_t kRepeatIntervalMs = 50;

// What an input event asks the window to do.
struct ButtonOutcome {
  bool stateChanged = false;  // repaint
  bool clicked = false;       // notification 5
  bool toggled = false;       // the checked flag flipped
};

class ButtonLogic {
 public:
  int32_t State() const { return state_; }
  bool Checked() const { return checked_; }
  // Sets the state from outside (scripts); states past 3 are refused.
  ButtonOutcome SetState(int32_t state);
  void SetChecked(bool checked) { checked_ = checked; }

  void SetHover(bool hover) { hover_ = hover; }
  void SetToggle(bool toggle) { toggle_ = toggle; }
  // 0 or less: no repeat.
  void SetRepeatDelay(int32_t ms) { repeatDelayMs_ = ms; }
  int32_t RepeatDelay() const { return repeatDelayMs_; }
  // How many state looks the button has; the look shown is kept below it.
  void SetStateCount(int32_t count) { stateCount_ = count; }
  int32_t StateCount() const { return stateCount_; }
  // The look to draw: the logic state, a checked toggle at rest shown pressed, held below the
  // state count (pressed outside looks normal); a toggle with two looks shows its checked flag.
  int32_t VisualState() const;

  ButtonOutcome PointerEnter();
  ButtonOutcome PointerLeave();
  ButtonOutcome Press(uint64_t nowMs);
  // The pointer moved while pressed: inside or outside the button.
  ButtonOutcome Drag(bool inside);
  ButtonOutcome Release(bool inside);
  // The press ended without a release (capture lost, disabled).
  ButtonOutcome Cancel();
  // While held inside: clicks due by `nowMs` (at most one per call: the caller's timer runs
  // again at NextRepeatMs()).
  ButtonOutcome Tick(uint64_t nowMs);
  // When the next repeat is due, or 0 when none is.
  uint64_t NextRepeatMs() const { return repeating_ ? nextRepeatMs_ : 0; }

 private:
  ButtonOutcome Become(int32_t state);

  int32_t state_ = kButtonNormal;
  int32_t stateCount_ = 0;
  int32_t repeatDelayMs_ = 0;
  bool hover_ = false;
  bool toggle_ = false;
  bool checked_ = false;
  bool inside_ = false;
  bool repeating_ = false;
  uint64_t nextRepeatMs_ = 0;
};

}  // namespace vk2
