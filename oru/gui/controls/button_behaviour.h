// A button's behaviour on a window part: ButtonLogic driven by hover (notification 6), presses
// and drags (queries while the host holds the pointer for the part), and the repeat on a loop
// timer, each repeat a click (5) to the wrapper; the weights of its looks cross-fade, repainted
// on a frame timer while they move. The button part and the picker share it.
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/button_fade.h"
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
  // Writes the weights of `looks` looks (3 each: normal, hit, hover) as they show now.
  void StateWeights(double* out, int32_t looks);

 private:
  // Reads the hover and toggle switches from the window's properties.
  void ReadSwitches();
  void Apply(const ButtonOutcome& outcome);
  void ArmRepeat();
  void OnRepeat();
  bool Inside(const PointI& point) const;
  // Points the fade at the look the logic shows now, over `looks` looks.
  void AimFade(int32_t looks);
  // Repaints every frame while the fade moves.
  void FollowFade();
  uint64_t NowMs() const;

  WindowPart& owner_;
  ButtonLogic logic_;
  ButtonFade fade_;
  uint64_t repeatTimer_ = 0;
  uint64_t fadeTimer_ = 0;
};

}  // namespace vk2::gui
