#include "markup/controls/scroll_bar_control.h"

#include <new>

#include "foundation/util/result.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "markup/controls/control_properties.h"
#include "markup/definition/state_styles.h"

namespace vk2::markup {
namespace {

constexpr const char16_t* kStyleProperty = u"VK2_Scrollbar";

struct FlatColour {
  const char16_t* name;
  uint32_t colour;
};
constexpr FlatColour kFlatColours[] = {{kPropScrollBg, 0xFF555555},
                                       {kPropScrollFg, 0xFFA0A0A0},
                                       {kPropScrollHl, 0xFFFFFFFF},
                                       {kPropScrollLl, 0xFF000000},
                                       {kPropScrollIn, 0xFF888888}};

bool Composite(MWindowElement* window) {
  uint32_t flags = 0;
  window->GetValue(kValueStateFlags, &flags, sizeof flags);
  return (flags & kStateComposite) != 0;
}

// One style drawn with the weights normal, hit, hover.
bool DrawOneStyle(MImageStyleDrawing* style, MCanvas* canvas, const RectI& rect,
                  const double weights[3], bool composite, double opacity) {
  MImageStyleDrawing* styles[] = {style};
  StateStyleSet set;
  set.styles = styles;
  set.count = 1;
  set.weights = weights;
  set.weightCount = 3;
  return DrawStateStyles(rect, canvas, set, composite, opacity, VisualParameters{});
}

}  // namespace

// ---- The MScrollBar face --------------------------------------------------------------------

ScrollBarFace::ScrollBarFace(ScrollBarControl* owner) : ElementFace(owner), bar_(owner) {}

MScrollBar* ScrollBarFace::Part() {
  if (!part_)
    part_ = static_cast<MScrollBar*>(
        bar_->FindPartFace(kIID_MScrollBar, static_cast<MScrollBar*>(this)));
  return part_;
}

int32_t ScrollBarFace::SetRange(int32_t total, int32_t page) {
  MScrollBar* part = Part();
  return part ? part->SetRange(total, page) : kErrNotFound;
}

int32_t ScrollBarFace::SetScrollPos(int32_t position, int32_t notify, uint32_t reserved) {
  MScrollBar* part = Part();
  return part ? part->SetScrollPos(position, notify, reserved) : kErrNotFound;
}

int32_t ScrollBarFace::GetScrollPos() {
  MScrollBar* part = Part();
  return part ? part->GetScrollPos() : 0;
}

int32_t ScrollBarFace::TrackPaint(MCanvas* canvas, uint32_t a, const RectI* rect, uint32_t b,
                                  uint32_t c) {
  MImageStyleDrawing* track = bar_->Looks().track.Get();
  if (track && canvas && rect)
    return track->Draw(*rect, canvas, kStyleStateNormal, 1.0, VisualParameters{});
  MScrollBar* part = Part();
  return part ? part->TrackPaint(canvas, a, rect, b, c) : 0;
}

int32_t ScrollBarFace::ThumbPaint(MCanvas* canvas, uint32_t a, uint32_t b, const RectI* rect,
                                  const double* weights) {
  MImageStyleDrawing* thumb = bar_->Looks().thumb.Get();
  if (!thumb || !canvas || !rect) {
    MScrollBar* part = Part();
    return part ? part->ThumbPaint(canvas, a, b, rect, weights) : 0;
  }
  // The part weighs normal, hover, pressed, disabled; the styles normal, hit, hover. Disabled
  // is the normal look, faded.
  const double own[3] = {weights ? weights[0] + weights[3] : 1.0, weights ? weights[2] : 0.0,
                         weights ? weights[1] : 0.0};
  uint32_t flags = 0;
  Window()->GetValue(kValueStateFlags, &flags, sizeof flags);
  const double opacity = (flags & kStateDisabledLook) ? 0.5 : 1.0;
  return DrawOneStyle(thumb, canvas, *rect, own, (flags & kStateComposite) != 0, opacity) ? 1 : 0;
}

MWindowElement* ScrollBarFace::ArrowButton(int32_t which) {
  const ScrollBarStyle::Looks& looks = bar_->Looks();
  RefPtr<MWindowElement> arrow =
      ArrowButtonWindow::Make(which == 0 ? looks.first.Get() : looks.second.Get());
  return arrow.Detach();
}

int32_t ScrollBarFace::ApplyStyle(MUnknown* definition, MUnknown* style) {
  // Interface definitions travel as their MUnknown, as windows keep them.
  auto* iface = definition ? dynamic_cast<MInterfaceDefinition*>(definition) : nullptr;
  bar_->ApplyStyle(iface, ScrollBarStyle::From(style));
  return kOk;
}

// ---- The scroll bar ------------------------------------------------------------------------

RefPtr<MScrollBar> ScrollBarControl::Make(bool horizontal) {
  MarkupWindow::Maker maker = [](MUnknown* c) -> MarkupWindow* {
    return new (std::nothrow) ScrollBarControl(c, false);
  };
  if (horizontal) {
    maker = [](MUnknown* c) -> MarkupWindow* {
      return new (std::nothrow) ScrollBarControl(c, true);
    };
  }
  RefPtr<MarkupWindow> window = CreateWith(kIID_MScrollBar, maker);
  if (!window) return nullptr;
  auto* bar = static_cast<ScrollBarControl*>(window.Get());
  // The orientation is fixed from the start, whatever the bar's shape.
  WriteIntegerProperty(static_cast<MWindowElement*>(bar), kPropScrollType, horizontal ? 2 : 1);
  return RefPtr<MScrollBar>(static_cast<MScrollBar*>(&bar->face_));
}

MUnknown* ScrollBarControl::QueryMore(const Guid& iid) {
  if (iid == kIID_MScrollBar) return static_cast<MScrollBar*>(&face_);
  return nullptr;
}

int32_t ScrollBarControl::Notify(uint32_t code, uintptr_t argument) {
  // The thumb looks different disabled.
  if (code == kNotifyEnabled || code == kNotifyDisabled)
    PostCommand(kCmdRepaint, 0, 0, 0, nullptr, 0, 0);
  return MarkupWindow::Notify(code, argument);
}

void ScrollBarControl::ApplyStyle(MInterfaceDefinition* iface, ScrollBarStyle* style) {
  auto* self = static_cast<MWindowElement*>(this);
  if (!style || !style->Loaded()) {
    MXmlNode* node = nullptr;
    if (iface && iface->GetProperty(kStyleProperty, &node) == kOk && node) {
      auto held = RefPtr<MXmlNode>::Adopt(node);
      RefPtr<ScrollBarStyle> temporary = ScrollBarStyle::Make();
      if (temporary && temporary->Load(iface, held.Get()) == kOk) {
        ApplyStyle(iface, temporary.Get());
        return;
      }
    }
    for (const FlatColour& flat : kFlatColours)
      WriteIntegerProperty(self, flat.name, static_cast<int32_t>(flat.colour));
    WriteIntegerProperty(self, kPropScrollType, Vertical() ? 1 : 2);
    return;
  }
  looks_ = style->For(Vertical());
  WriteIntegerProperty(self, kPropScrollType, Vertical() ? 1 : 2);
  WriteIntegerProperty(self, kPropMinBarSize, style->MinThumb());
  Invalidate(nullptr);
}

// ---- Arrow buttons ---------------------------------------------------------------------------

RefPtr<MWindowElement> ArrowButtonWindow::Make(MImageStyleDrawing* style) {
  RefPtr<MarkupWindow> window = CreateWith(kIID_MScrollBarPart, &MakeWrapper<ArrowButtonWindow>);
  if (!window) return nullptr;
  static_cast<ArrowButtonWindow*>(window.Get())->style_ = style;
  return RefPtr<MWindowElement>(static_cast<MWindowElement*>(window.Get()));
}

int32_t ArrowButtonWindow::Paint(MCanvas* canvas, const PaintRecord* record) {
  if (!style_ || !canvas) return MarkupWindow::Paint(canvas, record);
  uint32_t flags = 0;
  GetValue(kValueStateFlags, &flags, sizeof flags);
  SizeI size;
  GetValue(kValueSize, &size, sizeof size);
  // Normal, hit, hover from the pointer's state over the arrow.
  const bool pressed = (flags & kStatePressed) != 0;
  const bool hover = !pressed && (flags & kStateHover) != 0;
  const double weights[3] = {pressed || hover ? 0.0 : 1.0, pressed ? 1.0 : 0.0, hover ? 1.0 : 0.0};
  return DrawOneStyle(style_, canvas, RectI{0, 0, size.width, size.height}, weights,
                      Composite(this), 1.0)
             ? 1
             : 0;
}

}  // namespace vk2::markup
