// The MButton slots (37 to 45) of a button-family control's face, forwarded to the GUI part
// behind it. `Interface` is MButton or an interface built on it (MPicker), whose own slots the
// subclass adds. Without a part, reads answer 0 and writes kErrNotFound.
#pragma once

#include <cstdint>

#include "foundation/util/result.h"
#include "interfaces/gui/controls.h"
#include "markup/controls/element_face.h"

namespace vk2::markup {

template <class Interface>
class ButtonSlotsFace : public ElementFace<Interface> {
 public:
  template <class Control>
  explicit ButtonSlotsFace(Control* control) : ElementFace<Interface>(control) {}

  int32_t SetLogicState(uint32_t state, int32_t notify) override {
    return ToPart(&MButton::SetLogicState, kErrNotFound, state, notify);
  }
  int32_t GetLogicState() override { return ToPart(&MButton::GetLogicState, 0); }
  int32_t SetStateCount(int32_t count) override {
    return ToPart(&MButton::SetStateCount, kErrNotFound, count);
  }
  int32_t SetRepeatDelay(int32_t delayMs) override {
    return ToPart(&MButton::SetRepeatDelay, kErrNotFound, delayMs);
  }
  int32_t GetStateCount() override { return ToPart(&MButton::GetStateCount, 0); }
  int32_t GetRepeatDelay() override { return ToPart(&MButton::GetRepeatDelay, 0); }
  int32_t GetChecked() override { return ToPart(&MButton::GetChecked, 0); }
  int32_t SetChecked(int32_t checked) override {
    return ToPart(&MButton::SetChecked, kErrNotFound, checked);
  }
  int32_t GetVisualState() override { return ToPart(&MButton::GetVisualState, 0); }

 protected:
  // The GUI part (no reference), or null.
  virtual Interface* ButtonPart() = 0;

 private:
  // The part's `operation` with `args`, or `fallback` without a part.
  template <class... Params, class... Args>
  int32_t ToPart(int32_t (MButton::*operation)(Params...), int32_t fallback, Args... args) {
    Interface* part = ButtonPart();
    return part ? (part->*operation)(args...) : fallback;
  }
};

}  // namespace vk2::markup
