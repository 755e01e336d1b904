// The spin button (`MMLSpinButton`, window type `SpinButton`): a spinner or, with `radial`, a
// radial knob whose image styles turn with the position between a start and a stop angle. The
// GUI layer's spin part owns the position, the dragging and the wrapping; the control configures
// it from the markup, draws the knob and turns the position notifications into script events.
#pragma once

#include <cstdint>
#include <optional>

#include "interfaces/gui/controls.h"
#include "markup/controls/control_base.h"
#include "markup/controls/part_position.h"

namespace vk2::markup {

// The angle a radial knob adds at relative position `p`: start + (stop − start) × p, the
// angles 0 and 360 when not given.
double RadialKnobAngle(std::optional<int32_t> start, std::optional<int32_t> stop, double p);

class SpinButton final : public MarkupWindow, public PartPosition<MSpinButton> {
 public:
  explicit SpinButton(MUnknown* controlling);

  // The part's MSpinButton (no reference), or null.
  MSpinButton* SpinPart();

  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t HasNoLook() override;
  void LoadProperties(MInterfaceDefinition* iface) override;

  // The callbacks of MSpinButton.
  int32_t KnobCentre(PointI* out);
  int32_t ValuePaint(MCanvas* canvas, const KnobPaintRecord* record);
  // The visual parameters the knob is drawn with at relative position `p`.
  VisualParameters KnobParameters(double p);

 protected:
  void SetUpControl() override;
  MUnknown* QueryMore(const Guid& iid) override;

 private:
  class Face final : public PositionFace<MSpinButton, SpinButton> {
   public:
    explicit Face(SpinButton* owner) : PositionFace(owner) {}
    int32_t KnobCentre(PointI* out) override;
    int32_t ValuePaint(MCanvas* canvas, const KnobPaintRecord* record) override;
  };

  // PartPosition.
  MSpinButton* PositionPart() override { return SpinPart(); }
  MWindowElement* PositionWindow() override { return this; }

  Face face_;
  MSpinButton* part_ = nullptr;
};

}  // namespace vk2::markup
