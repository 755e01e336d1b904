// The fill bar (`MML_Fillbar`, window type `FillBar`): a slider over the GUI layer's fill-bar
// part. The part owns the position and the pointer; the control lays the bar out from the
// markup, draws the empty and filled parts and the handle, publishes the position value model
// to scripts and turns the part's position notifications into script events.
#pragma once

#include <array>
#include <cstdint>

#include "interfaces/gui/controls.h"
#include "markup/controls/control_base.h"
#include "markup/controls/fill_bar_layout.h"
#include "markup/controls/part_position.h"
#include "markup/controls/switch_methods.h"

namespace vk2::markup {

class FillBar final : public MarkupWindow, public PartPosition<MFillBar> {
 public:
  explicit FillBar(MUnknown* controlling);

  // The part's MFillBar (no reference), or null.
  MFillBar* FillPart();
  FillBarLayout Layout(double position);
  const FillBarGeometry& Geometry() const { return geometry_; }

  // Window element.
  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  int32_t HasNoLook() override;
  void LoadProperties(MInterfaceDefinition* iface) override;

  // The drawing callbacks of MFillBar.
  int32_t ValuePaint(MCanvas* canvas, const PaintRecord* record);
  int32_t HandleCentre(PointI* out, double position);
  int32_t TrackRect(RectI* out);

 protected:
  void SetUpControl() override;
  MUnknown* QueryMore(const Guid& iid) override;

 private:
  class Face final : public PositionFace<MFillBar, FillBar> {
   public:
    explicit Face(FillBar* owner) : PositionFace(owner) {}
    int32_t ValuePaint(MCanvas* canvas, const PaintRecord* record) override;
    int32_t HandleCentre(PointI* out, uint32_t reserved, double position, uint32_t a, uint32_t b,
                         uint32_t c) override;
    int32_t SetVertical(int32_t vertical) override;
    int32_t TrackRect(RectI* out) override;
    int32_t IntPosAtPoint(const PointI* point) override;
    double RealPosAtPoint(const PointI* point) override;
  };

  // The three entries (normal, hover, hit) of each style kind.
  using StyleTriple = std::array<RefPtr<MImageStyleDrawing>, 3>;
  enum Look : size_t { kLookNormal = 0, kLookHover = 1, kLookHit = 2 };

  void Reset();
  void LoadStyles();
  SizeI Size();
  // The entry of `triple` for the look shown; the normal one where that entry is empty.
  MImageStyleDrawing* StyleFor(const StyleTriple& triple) const;
  // Follows the pointer: hit while pressed, hover while over the handle (over the bar when
  // there is no handle), else normal; repaints on a change.
  void TrackLook(uint32_t code, const PointI* point);
  void ShowLook(Look look);
  void DrawClipped(MImageStyleDrawing* style, MCanvas* canvas, const RectI& clip, const RectI& into,
                   const VisualParameters& params, bool* drew);

  // PartPosition.
  MFillBar* PositionPart() override { return FillPart(); }
  MWindowElement* PositionWindow() override { return this; }

  Face face_;
  MFillBar* part_ = nullptr;
  StyleTriple background_, foreground_, handle_;
  FillBarGeometry geometry_;
  bool drawFillRelative_ = false;
  bool pressed_ = false;
  Look look_ = kLookNormal;
};

}  // namespace vk2::markup
