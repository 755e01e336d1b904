// The spin button part: a PositionModel turned by dragging. A spinner (and a radial knob
// unless the user chose angle control) follows vertical drags, `knobsensitivity` pixels per
// step; a radial knob under angle control follows the pointer's angle around its centre.
// Wheel and keys step it; changes are offered and told as for the fill bar.
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/knob_geometry.h"
#include "oru/gui/controls/position_model.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

inline constexpr int32_t kDefaultKnobSensitivity = 4;  // pixels of drag per step

class SpinButtonPart final : public WindowPartOf<SpinButtonPart, MSpinButton, kIID_MSpinButton> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  int32_t KnobCentre(PointI* out) override;
  int32_t GetIntPos() override;
  int32_t SetRealPos(double position) override;
  int32_t SetIntPos(int32_t position) override;
  double GetRealPos() override;
  int32_t ValuePaint(MCanvas* canvas, const KnobPaintRecord* record) override;

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

 private:
  explicit SpinButtonPart(MUnknown* outer) : WindowPartOf(outer) {}
  ~SpinButtonPart() override = default;

  // Range, wrap, knob mode, angles and sensitivity from the properties and input settings.
  void ReadProperties();
  RefPtr<MSpinButton> Face();
  int32_t PositionForDrag(PointI point);
  bool Key(const KeyEvent& key);

  PositionModel model_;
  KnobAngles angles_;
  bool angleControl_ = false;  // a radial knob that follows the pointer's angle
  int32_t sensitivity_ = kDefaultKnobSensitivity;
  bool dragging_ = false;
  PointI pressPoint_;
  int32_t pressPosition_ = 0;
};

}  // namespace vk2::gui
