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
#include "markup/controls/hover_methods.h"
#include "markup/controls/position_methods.h"

namespace vk2::markup {

class FillBar final : public MarkupWindow, private PositionOwner {
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
  class Face final : public ElementFace<MFillBar> {
   public:
    explicit Face(FillBar* owner);
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

   private:
    FillBar* bar_;
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

  // PositionOwner.
  int32_t PositionInt() override;
  double PositionReal() override;
  void SetPositionInt(int32_t position) override;
  void SetPositionReal(double position) override;
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
