// The position value model of a control whose GUI part owns the position (the fill bar over
// MFillBar, the spin button over MSpinButton, whose position operations share their names):
// the control reads and sets it through the part, and the control's face for the part's
// interface forwards the same operations to it.
#pragma once

#include <cstdint>

#include "foundation/util/result.h"
#include "markup/controls/element_face.h"
#include "markup/controls/position_methods.h"

namespace vk2::markup {

template <class Part>
class PartPosition : public PositionOwner {
 public:
  // As the part answers them; without a part reads give 0 and writes kErrNotFound.
  int32_t GetIntPos() {
    Part* part = PositionPart();
    return part ? part->GetIntPos() : 0;
  }
  double GetRealPos() {
    Part* part = PositionPart();
    return part ? part->GetRealPos() : 0.0;
  }
  int32_t SetIntPos(int32_t position) {
    Part* part = PositionPart();
    return part ? part->SetIntPos(position) : kErrNotFound;
  }
  int32_t SetRealPos(double position) {
    Part* part = PositionPart();
    return part ? part->SetRealPos(position) : kErrNotFound;
  }

  // PositionOwner.
  int32_t PositionInt() override { return GetIntPos(); }
  double PositionReal() override { return GetRealPos(); }
  void SetPositionInt(int32_t position) override { SetIntPos(position); }
  void SetPositionReal(double position) override { SetRealPos(position); }

 protected:
  ~PartPosition() = default;
  // The part (no reference), or null.
  virtual Part* PositionPart() = 0;
};

// The control's face for the part's interface, with the position operations forwarded to the
// control's PartPosition; `Control` derives from PartPosition<Interface>.
template <class Interface, class Control>
class PositionFace : public ElementFace<Interface> {
 public:
  explicit PositionFace(Control* control) : ElementFace<Interface>(control), control_(control) {}

  int32_t GetIntPos() override { return Position().GetIntPos(); }
  int32_t SetRealPos(double position) override { return Position().SetRealPos(position); }
  int32_t SetIntPos(int32_t position) override { return Position().SetIntPos(position); }
  double GetRealPos() override { return Position().GetRealPos(); }

 protected:
  Control* OwnerControl() const { return control_; }

 private:
  PartPosition<Interface>& Position() const { return *control_; }

  Control* control_;
};

}  // namespace vk2::markup
