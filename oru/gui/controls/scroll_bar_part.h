// The scroll bar part: a track with a thumb between two arrow buttons, scrolling the window
// named by its "scrolldest" property (or its own range when none is named). The scrolled
// window answers kQueryScrollInfo / kQueryScrollTo in its own units, else the bar scrolls its
// pan over its virtual size in pixels. Arrows step (and repeat while held), a press on the
// track pages, the thumb drags, the wheel steps three at a time.
#pragma once

#include "interfaces/gui/controls.h"
#include "oru/gui/controls/scroll_geometry.h"
#include "oru/gui/window/window_part_of.h"

namespace vk2::gui {

inline constexpr int32_t kPixelScrollStep = 16;  // pixels an arrow scrolls a panned window
inline constexpr int32_t kWheelScrollSteps = 3;
inline constexpr uint32_t kArrowRepeatDelayMs = 300;  // a held arrow waits, then repeats
inline constexpr uint32_t kArrowRepeatMs = 50;

class ScrollBarPart final : public WindowPartOf<ScrollBarPart, MScrollBar, kIID_MScrollBar> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  int32_t SetRange(int32_t total, int32_t page) override;
  int32_t SetScrollPos(int32_t position, int32_t notify, uint32_t reserved) override;
  int32_t GetScrollPos() override;
  int32_t TrackPaint(MCanvas* canvas, uint32_t a, const RectI* rect, uint32_t b,
                     uint32_t c) override;
  int32_t ThumbPaint(MCanvas* canvas, uint32_t a, uint32_t b, const RectI* rect,
                     const double* weights) override;
  MWindowElement* ArrowButton(int32_t which) override;
  int32_t ApplyStyle(MUnknown* definition, MUnknown* style) override;

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  void OnNotify(uint32_t code, uintptr_t argument) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

  // For the arrow buttons: `direction` steps back (-1) or on (+1), told as a user's change.
  void StepBy(int32_t direction);
  void EndGesture();
  bool Vertical() const;
  // The track and thumb in window coordinates, for tests and hit checks.
  RectI TrackRect() const;
  RectI ThumbRect();

 private:
  explicit ScrollBarPart(MUnknown* outer) : WindowPartOf(outer) {}
  ~ScrollBarPart() override = default;

  RefPtr<MScrollBar> Face();
  MWindowElement* Destination() const;
  ScrollInfo Info();
  ScrollGeometry Geometry(const ScrollInfo& info) const;
  // Scrolls to `position` (clamped); `byUser` tells the wrapper 0x103.
  void ScrollTo(int32_t position, bool byUser);
  void MakeArrows();
  void PlaceArrows();
  int32_t Along(PointI point) const { return Vertical() ? point.y : point.x; }
  int32_t ArrowLength() const;

  ScrollInfo own_;  // the range when no window is named
  bool arrowsMade_ = false;
  MWindowElement* arrows_[2] = {};  // children (the tree holds them)
  bool dragging_ = false;
  int32_t grab_ = 0;  // pointer to the thumb's leading edge, pixels
  bool moved_ = false;
};

// Tells every scroll bar in `target`'s tree whose "scrolldest" is `target` that what it shows
// changed (kNotifyScrollChanged), and `target`'s parent through ChildNotify. Scrolled windows
// call it after a change of their own.
void TellScrollBars(WindowPart& target);

// The arrow button part of a scroll bar: steps its bar on a press and repeats while held.
// The bar tells it its direction through the integer property "scrollarrow" (-1 or +1).
class ScrollArrowPart final
    : public WindowPartOf<ScrollArrowPart, MWindowElement, kIID_MScrollBarPart> {
 public:
  static int32_t Create(MUnknown* outer, const Guid& iid, void** out);

  bool OnPaint(MCanvas* canvas, const PaintRecord& record) override;
  int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  bool OnHasOwnContent() override { return true; }

 private:
  explicit ScrollArrowPart(MUnknown* outer) : WindowPartOf(outer) {}
  ~ScrollArrowPart() override = default;
  ScrollBarPart* Bar() const;
  int32_t Direction() const;
  void Repeat();

  bool held_ = false;
  uint64_t timer_ = 0;
};

inline constexpr char16_t kPropScrollArrow[] = u"scrollarrow";

}  // namespace vk2::gui
