#include "oru/gui/controls/scroll_bar_part.h"

#include <algorithm>
#include <new>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "oru/gui/controls/flat_paint.h"

namespace vk2::gui {

namespace {

// The flat look when the wrapper gives no style.
constexpr uint32_t kTrackColor = 0xFF555555;
constexpr uint32_t kThumbColor = 0xFFA0A0A0;
constexpr uint32_t kLightColor = 0xFFFFFFFF;
constexpr uint32_t kDarkColor = 0xFF000000;
constexpr uint32_t kPressedColor = 0xFF888888;
constexpr int32_t kDefaultMinThumb = 8;
constexpr uint32_t kScrollVertical = 1;
constexpr uint32_t kScrollHorizontal = 2;

int32_t IntProperty(const PropertyTable& table, const char16_t* name, int32_t fallback) {
  PropertyValue value;
  if (table.Get(name, &value) != 0 || value.type != kPropertyInteger) return fallback;
  return value.integer;
}

void ForEachPart(WindowPart* part, const std::function<void(WindowPart*)>& visit) {
  visit(part);
  for (WindowPart* child : std::vector<WindowPart*>(part->Children()))
    ForEachPart(child, visit);
}

}  // namespace

int32_t ScrollBarPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) ScrollBarPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

RefPtr<MScrollBar> ScrollBarPart::Face() {
  if (RefPtr<MScrollBar> face = vk2::Query<MScrollBar>(Outer(), kIID_MScrollBar)) return face;
  return RefPtr<MScrollBar>(this);
}

bool ScrollBarPart::Vertical() const {
  const int32_t type = IntProperty(Properties(), kPropScrollType, 0);
  if (type == static_cast<int32_t>(kScrollVertical)) return true;
  if (type == static_cast<int32_t>(kScrollHorizontal)) return false;
  const SizeI size = Size();
  return size.height >= size.width;  // no type given: the longer side runs along
}

MWindowElement* ScrollBarPart::Destination() const {
  PropertyValue value;
  if (Properties().Get(kPropScrollDest, &value) != 0) return nullptr;
  if (value.type != kPropertyObject && value.type != kPropertyInterface) return nullptr;
  return static_cast<MWindowElement*>(value.object);
}

ScrollInfo ScrollBarPart::Info() {
  MWindowElement* dest = Destination();
  if (!dest) return own_;
  ScrollInfo info;
  const uintptr_t axis = Vertical() ? 0 : 1;
  if (dest->Query(kQueryScrollInfo, reinterpret_cast<uintptr_t>(&info), axis, 0)) return info;
  // A plain window scrolls its pan over its virtual size.
  SizeI size;
  SizeI extent;
  PointI pan;
  dest->GetValue(kValueSize, &size, sizeof size);
  dest->GetValue(kValueVirtualSize, &extent, sizeof extent);
  dest->GetValue(kValuePan, &pan, sizeof pan);
  info.total = Vertical() ? extent.height : extent.width;
  info.page = Vertical() ? size.height : size.width;
  info.position = Vertical() ? pan.y : pan.x;
  info.step = kPixelScrollStep;
  return info;
}

int32_t ScrollBarPart::ArrowLength() const {
  const SizeI size = Size();
  const int32_t cross = Vertical() ? size.width : size.height;
  const int32_t along = Vertical() ? size.height : size.width;
  return std::clamp(cross, 0, along / 2);
}

RectI ScrollBarPart::TrackRect() const {
  const SizeI size = Size();
  const int32_t arrow = arrowsMade_ ? ArrowLength() : 0;
  if (Vertical()) return RectI{0, arrow, size.width, size.height - arrow};
  return RectI{arrow, 0, size.width - arrow, size.height};
}

ScrollGeometry ScrollBarPart::Geometry(const ScrollInfo& info) const {
  const RectI track = TrackRect();
  ScrollGeometry g;
  g.trackStart = Vertical() ? track.top : track.left;
  g.trackLength = std::max(0, Vertical() ? track.Height() : track.Width());
  g.total = info.total;
  g.page = info.page;
  g.minThumb = std::max(1, IntProperty(Properties(), kPropMinBarSize, kDefaultMinThumb));
  return g;
}

RectI ScrollBarPart::ThumbRect() {
  const ScrollInfo info = Info();
  const ScrollGeometry g = Geometry(info);
  const int32_t start = g.ThumbStart(info.position);
  const int32_t length = g.ThumbLength();
  const SizeI size = Size();
  if (Vertical()) return RectI{0, start, size.width, start + length};
  return RectI{start, 0, start + length, size.height};
}

void ScrollBarPart::ScrollTo(int32_t position, bool byUser) {
  const ScrollInfo info = Info();
  position = std::clamp(position, 0, std::max(0, info.total - info.page));
  if (position == info.position) return;
  if (MWindowElement* dest = Destination()) {
    const uintptr_t axis = Vertical() ? 0 : 1;
    if (!dest->Query(kQueryScrollTo, static_cast<uintptr_t>(position), axis, 0)) {
      PointI pan;
      dest->GetValue(kValuePan, &pan, sizeof pan);
      (Vertical() ? pan.y : pan.x) = position;
      dest->SetValue(kValuePan, &pan, sizeof pan);
    }
  } else {
    own_.position = position;
  }
  moved_ = true;
  Repaint();
  if (byUser) {
    RefPtr<MWindowElement>(Outer())->Notify(kNotifyPosChange, static_cast<uintptr_t>(position));
  }
}

void ScrollBarPart::StepBy(int32_t direction) {
  const ScrollInfo info = Info();
  ScrollTo(info.position + direction * std::max(1, info.step), true);
}

void ScrollBarPart::EndGesture() {
  if (!moved_) return;
  moved_ = false;
  RefPtr<MWindowElement>(Outer())->Notify(kNotifyPosFinalized,
                                          static_cast<uintptr_t>(Info().position));
}

int32_t ScrollBarPart::SetRange(int32_t total, int32_t page) {
  if (total < 0 || page < 0) return kErrOutOfRange;
  own_.total = total;
  own_.page = page;
  own_.position = std::clamp(own_.position, 0, std::max(0, total - page));
  Repaint();
  return 0;
}

int32_t ScrollBarPart::SetScrollPos(int32_t position, int32_t notify, uint32_t) {
  ScrollTo(position, notify != 0);
  if (notify) EndGesture();
  moved_ = false;
  return 0;
}

int32_t ScrollBarPart::GetScrollPos() {
  return Info().position;
}

int32_t ScrollBarPart::TrackPaint(MCanvas* canvas, uint32_t, const RectI* rect, uint32_t,
                                  uint32_t) {
  if (!canvas || !rect) return kErrMissingArg;
  FillFlat(canvas, *rect, ColorProperty(Properties(), kPropScrollBg, kTrackColor));
  return 1;
}

int32_t ScrollBarPart::ThumbPaint(MCanvas* canvas, uint32_t, uint32_t, const RectI* rect,
                                  const double* weights) {
  if (!canvas || !rect) return kErrMissingArg;
  const bool pressed = weights && weights[2] > 0.5;
  FillFlat(canvas, *rect,
           pressed ? ColorProperty(Properties(), kPropScrollIn, kPressedColor)
                   : ColorProperty(Properties(), kPropScrollFg, kThumbColor));
  FrameFlat(canvas, *rect, ColorProperty(Properties(), kPropScrollHl, kLightColor),
            ColorProperty(Properties(), kPropScrollLl, kDarkColor));
  return 1;
}

MWindowElement* ScrollBarPart::ArrowButton(int32_t which) {
  (void)which;  // both arrows look alike in the flat look; the bar tells each its direction
  void* out = nullptr;
  if (ScrollArrowPart::Create(nullptr, kIID_MWindowElement, &out) != 0) return nullptr;
  return static_cast<MWindowElement*>(out);
}

int32_t ScrollBarPart::ApplyStyle(MUnknown*, MUnknown*) {
  return 0;
}

void ScrollBarPart::MakeArrows() {
  if (arrowsMade_) return;
  arrowsMade_ = true;
  RefPtr<MScrollBar> face = Face();
  for (int32_t which = 0; which < 2; ++which) {
    RefPtr<MWindowElement> arrow = RefPtr<MWindowElement>::Adopt(face->ArrowButton(which));
    if (!arrow) continue;
    PropertyValue direction;
    direction.type = kPropertyInteger;
    direction.integer = which == 0 ? -1 : 1;
    arrow->SetProperty(kPropScrollArrow, kPropertyInteger, &direction);
    if (AttachChild(arrow.Get(), kPlaceModeTop) == 0) arrows_[which] = arrow.Get();
  }
  PlaceArrows();
}

void ScrollBarPart::PlaceArrows() {
  const int32_t length = ArrowLength();
  const bool vertical = Vertical();
  for (int32_t which = 0; which < 2; ++which) {
    WindowPart* core = arrows_[which] ? WindowPart::FromElement(arrows_[which]) : nullptr;
    if (!core) continue;
    // Anchored at its end of the bar, `length` long: it follows every resize of the bar.
    const double align[4] = {vertical ? 0.0 : double(which), vertical ? double(which) : 0.0,
                             vertical ? 1.0 : double(which), vertical ? double(which) : 1.0};
    int32_t offset[4] = {0, 0, 0, 0};
    if (vertical) {
      offset[1] = which == 0 ? 0 : -length;
      offset[3] = which == 0 ? length : 0;
    } else {
      offset[0] = which == 0 ? 0 : -length;
      offset[2] = which == 0 ? length : 0;
    }
    core->SetAlignment(align);
    core->SetOffset(offset);
  }
}

bool ScrollBarPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  (void)record;
  RefPtr<MScrollBar> face = Face();
  const RectI track = TrackRect();
  face->TrackPaint(canvas, 0, &track, 0, 0);
  const RectI thumb = ThumbRect();
  double weights[4] = {1, 0, 0, 0};
  if (!IsEnabled()) {
    weights[0] = 0;
    weights[3] = 1;
  } else if (dragging_) {
    weights[0] = 0;
    weights[2] = 1;
  }
  face->ThumbPaint(canvas, 0, 0, &thumb, weights);
  return true;
}

void ScrollBarPart::OnNotify(uint32_t code, uintptr_t argument) {
  (void)argument;
  if (code == kNotifyCreated) MakeArrows();
  if (code == kNotifyScrollChanged) Repaint();
  if (code == kNotifySizeRequest || code == kNotifyAttached) PlaceArrows();
}

int32_t ScrollBarPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)c;
  const auto* point = reinterpret_cast<const PointI*>(a);
  switch (code) {
    case kQueryLeftDown: {
      if (!point) return 0;
      const ScrollInfo info = Info();
      const ScrollGeometry g = Geometry(info);
      switch (g.HitAt(Along(*point), info.position)) {
        case ScrollHit::kBefore:
          ScrollTo(info.position - std::max(1, info.page), true);
          EndGesture();
          break;
        case ScrollHit::kAfter:
          ScrollTo(info.position + std::max(1, info.page), true);
          EndGesture();
          break;
        case ScrollHit::kThumb:
          dragging_ = true;
          grab_ = Along(*point) - g.ThumbStart(info.position);
          Repaint();
          break;
        case ScrollHit::kNone:
          break;
      }
      return 1;
    }
    case kQueryPointerMove:
      if (!dragging_ || !point) return dragging_ ? 1 : 0;
      ScrollTo(Geometry(Info()).PositionForThumbAt(Along(*point) - grab_), true);
      return 1;
    case kQueryLeftUp:
    case kQueryCaptureLost:
      if (dragging_) {
        dragging_ = false;
        Repaint();
        EndGesture();
      }
      return 1;
    case kQueryWheel: {
      const auto steps = static_cast<int32_t>(static_cast<intptr_t>(b));
      const ScrollInfo info = Info();
      // Away from the user scrolls back towards the start.
      ScrollTo(info.position - steps * kWheelScrollSteps * std::max(1, info.step), true);
      EndGesture();
      return 1;
    }
    default:
      return 0;
  }
}

void TellScrollBars(WindowPart& target) {
  WindowPart* top = &target;
  while (top->Parent())
    top = top->Parent();
  MWindowElement* names[2] = {target.Self(), target.Outer()};
  ForEachPart(top, [&](WindowPart* part) {
    PropertyValue value;
    if (part->Properties().Get(kPropScrollDest, &value) != 0) return;
    if (value.object != names[0] && value.object != names[1]) return;
    RefPtr<MWindowElement>(part->Outer())->Notify(kNotifyScrollChanged, 0);
  });
  // The window holding the scrolled one may show or hide its bars by what now fits.
  if (WindowPart* parent = target.Parent()) {
    RefPtr<MWindowElement>(parent->Outer())->ChildNotify(kNotifyScrollChanged, target.Outer(), 0);
  }
}

// ---- Arrow buttons ----

int32_t ScrollArrowPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) ScrollArrowPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

ScrollBarPart* ScrollArrowPart::Bar() const {
  return dynamic_cast<ScrollBarPart*>(Parent());
}

int32_t ScrollArrowPart::Direction() const {
  return IntProperty(Properties(), kPropScrollArrow, 1) < 0 ? -1 : 1;
}

bool ScrollArrowPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  (void)record;
  const ScrollBarPart* bar = Bar();
  const PropertyTable* colors = bar ? &bar->Properties() : &Properties();
  const SizeI size = Size();
  const RectI all{0, 0, size.width, size.height};
  FillFlat(canvas, all,
           held_ ? ColorProperty(*colors, kPropScrollIn, kPressedColor)
                 : ColorProperty(*colors, kPropScrollFg, kThumbColor));
  FrameFlat(canvas, all, ColorProperty(*colors, kPropScrollHl, kLightColor),
            ColorProperty(*colors, kPropScrollLl, kDarkColor));
  return true;
}

void ScrollArrowPart::Repeat() {
  timer_ = StartTimer(kArrowRepeatMs, [this] {
    timer_ = 0;
    if (!held_) return;
    if (ScrollBarPart* bar = Bar()) bar->StepBy(Direction());
    Repeat();
  });
}

int32_t ScrollArrowPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)a;
  (void)b;
  (void)c;
  switch (code) {
    case kQueryLeftDown:
      held_ = true;
      Repaint();
      if (ScrollBarPart* bar = Bar()) bar->StepBy(Direction());
      timer_ = StartTimer(kArrowRepeatDelayMs, [this] {
        timer_ = 0;
        if (!held_) return;
        if (ScrollBarPart* bar = Bar()) bar->StepBy(Direction());
        Repeat();
      });
      return 1;
    case kQueryLeftUp:
    case kQueryCaptureLost:
      if (!held_) return 1;
      held_ = false;
      if (timer_) StopTimer(timer_);
      timer_ = 0;
      Repaint();
      if (ScrollBarPart* bar = Bar()) bar->EndGesture();
      return 1;
    default:
      return 0;
  }
}

}  // namespace vk2::gui
