// The scroll bar other windows embed (classes ScrollBarClass, vertical, and ScrollBarAltClass,
// horizontal): the GUI layer's scroll-bar part does the scrolling; this wrapper gives it the
// look of a scroll-bar style (track, thumb and arrow image styles), or the flat colours when the
// interface has no style. Scripts never see it: it has no script object.
#pragma once

#include <cstdint>

#include "markup/controls/control_base.h"
#include "markup/controls/scroll_bar_style.h"

namespace vk2::markup {

class ScrollBarControl;

// The MScrollBar face: slots 37 to 39 go to the part; the paint callbacks draw the styles.
class ScrollBarFace final : public ElementFace<MScrollBar> {
 public:
  explicit ScrollBarFace(ScrollBarControl* owner);

  MScrollBar* Part();

  int32_t SetRange(int32_t total, int32_t page) override;
  int32_t SetScrollPos(int32_t position, int32_t notify, uint32_t reserved) override;
  int32_t GetScrollPos() override;
  int32_t TrackPaint(MCanvas* canvas, uint32_t a, const RectI* rect, uint32_t b,
                     uint32_t c) override;
  int32_t ThumbPaint(MCanvas* canvas, uint32_t a, uint32_t b, const RectI* rect,
                     const double* weights) override;
  MWindowElement* ArrowButton(int32_t which) override;
  int32_t ApplyStyle(MUnknown* definition, MUnknown* style) override;

 private:
  ScrollBarControl* bar_;
  MScrollBar* part_ = nullptr;
};

class ScrollBarControl final : public MarkupWindow {
 public:
  ScrollBarControl(MUnknown* controlling, bool horizontal)
      : MarkupWindow(controlling), face_(this), horizontal_(horizontal) {}

  // A new bar (its MScrollBar face with one reference), or null.
  static RefPtr<MScrollBar> Make(bool horizontal);

  bool Vertical() const { return !horizontal_; }
  const ScrollBarStyle::Looks& Looks() const { return looks_; }
  // Takes the looks of `style` (loaded) or, without one, of the interface's "VK2_Scrollbar"
  // property element, else the flat colours.
  void ApplyStyle(MInterfaceDefinition* iface, ScrollBarStyle* style);

  int32_t HasNoLook() override { return 0; }
  int32_t Notify(uint32_t code, uintptr_t argument) override;

 protected:
  ~ScrollBarControl() override = default;
  bool WantsScriptObject() const override { return false; }
  MUnknown* QueryMore(const Guid& iid) override;

 private:
  ScrollBarFace face_;
  bool horizontal_;
  ScrollBarStyle::Looks looks_;
};

// An arrow button of a styled bar: the GUI arrow part drawn with a borrowed image style.
class ArrowButtonWindow final : public MarkupWindow {
 public:
  explicit ArrowButtonWindow(MUnknown* controlling) : MarkupWindow(controlling) {}

  // A new arrow (its window element with one reference) drawn with `style` (may be null).
  static RefPtr<MWindowElement> Make(MImageStyleDrawing* style);

  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t HasNoLook() override { return 0; }

 protected:
  ~ArrowButtonWindow() override = default;
  bool WantsScriptObject() const override { return false; }

 private:
  // The bar keeps the style as long as its arrows: borrowed.
  MImageStyleDrawing* style_ = nullptr;
};

}  // namespace vk2::markup
