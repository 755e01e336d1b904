// What every markup control shares beyond the generic window: making one (stand-alone over a
// new base object holding its GUI part, or aggregated into an outer object that brings the
// part), and the button family's MButton face, which forwards slots 37 to 45 to the GUI
// layer's button part.
//
// A control is a MarkupWindow subclass: it overrides the window operations it handles itself
// (paint, notifications, queries), SetUpControl (script class name, own script methods),
// LoadProperties (its markup attributes) and HasNoLook, and answers its GUI part's interface id
// through QueryMore with an ElementFace member. Its widget kind (widget_kinds.cpp) names the
// class id, the part's interface id and MakeWrapper<TheControl>.
#pragma once

#include <cstdint>
#include <new>

#include "interfaces/gui/controls.h"
#include "markup/controls/button_slots_face.h"
#include "markup/window/markup_window.h"

namespace vk2::markup {

// A MarkupWindow::Maker for control T (constructed from its controlling unknown).
template <class T>
MarkupWindow* MakeWrapper(MUnknown* controlling) {
  return new (std::nothrow) T(controlling);
}

// The control of type T from one of its faces (a window asked for MControl), or null when
// `object` is no markup window or not a T.
template <class T>
T* ControlOf(MUnknown* object) {
  return dynamic_cast<T*>(MarkupWindow::From(object));
}

// The MButton face of a button-family control: every MButton slot goes to the GUI button part
// behind it (the part gets the wrapper's own window slots first, through the window face).
class ButtonFace final : public ButtonSlotsFace<MButton> {
 public:
  explicit ButtonFace(MarkupWindow* owner);

  // The GUI part's MButton (no reference), or null.
  MButton* Part();

 protected:
  MButton* ButtonPart() override { return Part(); }

 private:
  MarkupWindow* window_;
  MButton* part_ = nullptr;
};

}  // namespace vk2::markup
