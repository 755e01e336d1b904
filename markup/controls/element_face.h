// A second face of a markup control: the GUI part's own interface (MButton, MFillBar, ...),
// which extends MWindowElement from slot 37. The control answers that interface id with this
// face; its window slots (0 to 36) go to the control's window element, so the control's own
// overrides answer whichever face is asked, and the slots from 37 are the subclass's.
//
//   class ButtonFace final : public ElementFace<MButton> { ...slots 37 to 45... };
//
// A member of the control rather than a base: the control then has one window element and its
// own code calls it without ambiguity.
#pragma once

#include <cstdint>

#include "component/object/aggregation.h"
#include "component/object/sub_object.h"
#include "component/window/forwarding_window.h"
#include "interfaces/gui/window_element.h"

namespace vk2::markup {

template <class Interface>
class ElementFace : public ForwardingWindowOf<SubObject<Interface>> {
 public:
  // `control` is the markup control: its window element answers slots 3 to 36, and the face
  // counts and answers queries on the control's controlling unknown (its outer object when
  // aggregated), as every interface of an aggregated object does.
  template <class Control>
  explicit ElementFace(Control* control)
      : ForwardingWindowOf<SubObject<Interface>>(
            static_cast<AggregatableObject*>(control)->Controlling()),
        owner_(static_cast<MWindowElement*>(control)) {}
  virtual ~ElementFace() = default;

  int32_t InnerQueryInterface(const Guid& iid, void** out, uint32_t addRef,
                              uint32_t reserved) override {
    return owner_->InnerQueryInterface(iid, out, addRef, reserved);
  }
  uint32_t InnerAddRef() override { return owner_->InnerAddRef(); }
  uint32_t InnerRelease() override { return owner_->InnerRelease(); }

 protected:
  // The control's window element.
  MWindowElement* Window() const { return owner_; }
  MWindowElement* Behind() override { return owner_; }

 private:
  MWindowElement* owner_;
};

}  // namespace vk2::markup
