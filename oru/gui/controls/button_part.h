// The button part: a window part with a ButtonBehaviour (hover, press, drag, repeat, toggle).
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/button_behaviour.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

class ButtonPart final : public WindowPartOf<ButtonPart, MButton, kIID_MButton> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  int32_t SetLogicState(uint32_t state, int32_t notify) override {
    return button_.SetLogicState(state, notify);
  }
  int32_t GetLogicState() override { return button_.GetLogicState(); }
  int32_t SetStateCount(int32_t count) override { return button_.SetStateCount(count); }
  int32_t SetRepeatDelay(int32_t delayMs) override { return button_.SetRepeatDelay(delayMs); }
  int32_t GetStateCount() override { return button_.GetStateCount(); }
  int32_t GetRepeatDelay() override { return button_.GetRepeatDelay(); }
  int32_t GetChecked() override { return button_.GetChecked(); }
  int32_t SetChecked(int32_t checked) override { return button_.SetChecked(checked); }
  int32_t GetVisualState() override { return button_.GetVisualState(); }

  void OnNotify(uint32_t code, uintptr_t argument) override { button_.OnNotify(code, argument); }
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override {
    return button_.OnQuery(code, a, b, c);
  }
  bool OnHasOwnContent() override { return true; }

 private:
  explicit ButtonPart(MUnknown* outer) : WindowPartOf(outer), button_(*this) {}
  ~ButtonPart() override = default;

  ButtonBehaviour button_;
};

}  // namespace vk2::gui
