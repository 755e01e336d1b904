// A button's behaviour on a window part: ButtonLogic driven by hover (notification 6), presses
// and drags (queries while the host holds the pointer for the part), and the repeat on a loop
// timer, each repeat a click (5) to the wrapper. The button part and the picker share it.
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/button_logic.h"
#include "oru/gui/window/window_part.h"

namespace vk2::gui {

class ButtonBehaviour {
 public:
  explicit ButtonBehaviour(WindowPart& owner);

  // The MButton slots.
  int32_t SetLogicState(uint32_t state, int32_t notify);
  int32_t GetLogicState() const { return logic_.State(); }
  int32_t SetStateCount(int32_t count);
  int32_t SetRepeatDelay(int32_t delayMs);
  int32_t GetStateCount() const { return logic_.StateCount(); }
  int32_t GetRepeatDelay() const { return logic_.RepeatDelay(); }
  int32_t GetChecked() const { return logic_.Checked() ? 1 : 0; }
  int32_t SetChecked(int32_t checked);
  int32_t GetVisualState();

  void OnNotify(uint32_t code, uintptr_t argument);
  // Answers 1 for the queries a button takes (presses, drags, releases, capture loss).
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c);

 private:
  // Reads the hover and toggle switches from the window's properties.
  void ReadSwitches();
  void Apply(const ButtonOutcome& outcome);
  void ArmRepeat();
  void OnRepeat();
  bool Inside(const PointI& point) const;

  WindowPart& owner_;
  ButtonLogic logic_;
  uint64_t repeatTimer_ = 0;
};

}  // namespace vk2::gui
