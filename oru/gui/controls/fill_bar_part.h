// The fill bar part: a PositionModel moved by the pointer along a track, by the wheel and by
// keys. Each change asks the wrapper first (0x102, which may refuse or alter it), then tells
// it (0x103); letting go tells the final position (0x104). Both orientations count from the
// track's start: the left edge, or the top edge of a vertical bar, is 0.0, as the markup's
// layout draws it; which end looks filled is the wrapper's to draw.
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/position_model.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

class FillBarPart final : public WindowPartOf<FillBarPart, MFillBar, kIID_MFillBar> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  int32_t GetIntPos() override;
  int32_t SetRealPos(double position) override;
  int32_t SetIntPos(int32_t position) override;
  double GetRealPos() override;
  int32_t ValuePaint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t HandleCentre(PointI* out, uint32_t reserved, double position, uint32_t a, uint32_t b,
                       uint32_t c) override;
  int32_t SetVertical(int32_t vertical) override;
  int32_t TrackRect(RectI* out) override;
  int32_t IntPosAtPoint(const PointI* point) override;
  double RealPosAtPoint(const PointI* point) override;

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

 private:
  explicit FillBarPart(MUnknown* outer) : WindowPartOf(outer) {}
  ~FillBarPart() override = default;

  // The range and orientation from the window's properties.
  void ReadProperties();
  // The wrapper's face when one aggregates this part, else this part.
  RefPtr<MFillBar> Face();
  // Moves to `position` by the user: asked, told; false when refused or unchanged.
  bool MoveByUser(int32_t position);
  void Finalize();

  PositionModel model_;
  bool vertical_ = false;
  bool verticalSet_ = false;
  bool dragging_ = false;
};

}  // namespace vk2::gui
