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
    Interface* part = ButtonPart();
    return part ? part->SetLogicState(state, notify) : kErrNotFound;
  }
  int32_t GetLogicState() override {
    Interface* part = ButtonPart();
    return part ? part->GetLogicState() : 0;
  }
  int32_t SetStateCount(int32_t count) override {
    Interface* part = ButtonPart();
    return part ? part->SetStateCount(count) : kErrNotFound;
  }
  int32_t SetRepeatDelay(int32_t delayMs) override {
    Interface* part = ButtonPart();
    return part ? part->SetRepeatDelay(delayMs) : kErrNotFound;
  }
  int32_t GetStateCount() override {
    Interface* part = ButtonPart();
    return part ? part->GetStateCount() : 0;
  }
  int32_t GetRepeatDelay() override {
    Interface* part = ButtonPart();
    return part ? part->GetRepeatDelay() : 0;
  }
  int32_t GetChecked() override {
    Interface* part = ButtonPart();
    return part ? part->GetChecked() : 0;
  }
  int32_t SetChecked(int32_t checked) override {
    Interface* part = ButtonPart();
    return part ? part->SetChecked(checked) : kErrNotFound;
  }
  int32_t GetVisualState() override {
    Interface* part = ButtonPart();
    return part ? part->GetVisualState() : 0;
  }

 protected:
  // The GUI part (no reference), or null.
  virtual Interface* ButtonPart() = 0;
};

}  // namespace vk2::markup
