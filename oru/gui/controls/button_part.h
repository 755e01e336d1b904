// The button part: ButtonLogic on a window part. Hover follows the pointer (notification 6),
// presses and drags arrive as queries while the host holds the pointer for it, the repeat runs
// on a loop timer, and each repeat is a click (5) to the wrapper.
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/button_logic.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

class ButtonPart final : public WindowPartOf<ButtonPart, MButton, kIID_MButton> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  int32_t SetLogicState(uint32_t state, int32_t notify) override;
  int32_t GetLogicState() override { return logic_.State(); }
  int32_t SetStateCount(int32_t count) override;
  int32_t SetRepeatDelay(int32_t delayMs) override;
  int32_t GetStateCount() override { return logic_.StateCount(); }
  int32_t GetRepeatDelay() override { return logic_.RepeatDelay(); }
  int32_t GetChecked() override { return logic_.Checked() ? 1 : 0; }
  int32_t SetChecked(int32_t checked) override;
  int32_t GetVisualState() override;

  void OnNotify(uint32_t code, uintptr_t argument) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

 private:
  explicit ButtonPart(MUnknown* outer);
  ~ButtonPart() override = default;

  // Reads the hover and toggle switches from the window's properties.
  void ReadSwitches();
  void Apply(const ButtonOutcome& outcome);
  void ArmRepeat();
  void OnRepeat();
  bool Inside(const PointI& point) const;

  ButtonLogic logic_;
  uint64_t repeatTimer_ = 0;
};

}  // namespace vk2::gui
