#include "markup/controls/fill_bar.h"

#include <algorithm>

#include "foundation/text/tstring.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/controls/control_properties.h"
#include "markup/controls/position_events.h"
#include "markup/window/script_events.h"
#include "markup/window/window_properties.h"

namespace vk2::markup {
namespace {

constexpr PositionMethodHelp kHelp = {
    u"Get the sliders's relative position, 0.0 to 1.0",
    u"Get the sliders's integral position",
    u"Set the sliders's relative position, 0.0 to 1.0",
    u"Set the sliders's integral position",
    u"Get the sliders's minimal integral position",
    u"Set the sliders's minimal integral position",
    u"Get the sliders's maximal integral position",
    u"Set the sliders's maximal integral position",
};

bool IsVerticalWord(const TString& text) {
  for (const char16_t* word : {u"vertical", u"top_to_bottom", u"bottom_to_top"}) {
    if (text.Equals(word, false)) return true;
  }
  return false;
}

void CopySides(const int32_t from[4], int32_t to[4]) {
  std::copy(from, from + 4, to);
}

void CopySides(const double from[4], double to[4]) {
  std::copy(from, from + 4, to);
}

bool Holds(const RectI& rect, const PointI& point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
         point.y < rect.bottom;
}

RefPtr<MImageStyleDrawing> FindStyle(MWindowDefinition* definition, const TString& name) {
  RefPtr<MImageStyleDrawing> style;
  if (!definition || definition->FindImageStyle(name.c_str(), style.Put()) != kOk) return nullptr;
  return style;
}

}  // namespace

FillBar::FillBar(MUnknown* controlling) : MarkupWindow(controlling), face_(this) {}

int32_t FillBar::Face::SetVertical(int32_t vertical) {
  MFillBar* part = OwnerControl()->FillPart();
  return part ? part->SetVertical(vertical) : kErrNotFound;
}
int32_t FillBar::Face::IntPosAtPoint(const PointI* point) {
  MFillBar* part = OwnerControl()->FillPart();
  return part ? part->IntPosAtPoint(point) : 0;
}
double FillBar::Face::RealPosAtPoint(const PointI* point) {
  MFillBar* part = OwnerControl()->FillPart();
  return part ? part->RealPosAtPoint(point) : 0.0;
}

int32_t FillBar::Face::ValuePaint(MCanvas* canvas, const PaintRecord* record) {
  return OwnerControl()->ValuePaint(canvas, record);
}
int32_t FillBar::Face::HandleCentre(PointI* out, uint32_t, double position, uint32_t, uint32_t,
                                    uint32_t) {
  return OwnerControl()->HandleCentre(out, position);
}
int32_t FillBar::Face::TrackRect(RectI* out) {
  return OwnerControl()->TrackRect(out);
}

MFillBar* FillBar::FillPart() {
  if (!part_)
    part_ = static_cast<MFillBar*>(FindPartFace(kIID_MFillBar, static_cast<MFillBar*>(&face_)));
  return part_;
}

MUnknown* FillBar::QueryMore(const Guid& iid) {
  if (iid == kIID_MFillBar) return static_cast<MFillBar*>(&face_);
  return MarkupWindow::QueryMore(iid);
}

void FillBar::SetUpControl() {
  Reset();
  MScriptObject* script = Script();
  if (!script) return;
  script->SetClassName(TString(u"MML_Fillbar"));
  RegisterHoverMethods(script, static_cast<MWindowElement*>(this));
  RegisterPositionMethods(script, this, kHelp);
}

void FillBar::Reset() {
  for (StyleTriple* triple : {&background_, &foreground_, &handle_}) {
    for (auto& style : *triple)
      style = nullptr;
  }
  geometry_ = FillBarGeometry{};
  drawFillRelative_ = false;
  pressed_ = false;
  look_ = kLookNormal;
}

SizeI FillBar::Size() {
  SizeI size;
  GetValue(kValueVirtualSize, &size, sizeof size);
  return size;
}

// ---- Markup --------------------------------------------------------------------------------

void FillBar::LoadProperties(MInterfaceDefinition* iface) {
  Reset();
  LoadDefinition();
  const Element property = PropertyElementOf(GetDefinition());
  if (property) {
    const ControlProperties read(property, iface);
    if (read.Has(u"orientation")) {
      const TString orientation = read.Text(u"orientation");
      WriteStringProperty(this, u"orientation", orientation);
      geometry_.vertical = IsVerticalWord(orientation);
    }
    WriteIntegerProperty(this, u"relative", read.Bool(u"relative", false) ? 1 : 0);
    if (!read.IntRect(u"bar_offset_rect", geometry_.barOffset)) {
      const double whole[4] = {0.0, 0.0, 1.0, 1.0};
      CopySides(whole, geometry_.barAlign);
    }
    read.Rect(u"bar_align_rect", geometry_.barAlign);
    read.IntRect(u"fill_offset_rect", geometry_.fillOffset);
    read.IntRect(u"empty_offset_rect", geometry_.emptyOffset);
    read.IntRect(u"outer_handle_offset_rect", geometry_.outerHandleOffset);
    read.Rect(u"outer_handle_align_rect", geometry_.outerHandleAlign);
    if (!read.IntRect(u"inner_handle_offset_rect", geometry_.innerHandleOffset))
      CopySides(geometry_.outerHandleOffset, geometry_.innerHandleOffset);
    if (!read.Rect(u"inner_handle_align_rect", geometry_.innerHandleAlign))
      CopySides(geometry_.outerHandleAlign, geometry_.innerHandleAlign);
    drawFillRelative_ = read.Bool(u"draw_fill_relative", false);
  } else {
    // Nothing places the bar: it spans the window.
    const double whole[4] = {0.0, 0.0, 1.0, 1.0};
    CopySides(whole, geometry_.barAlign);
  }
  LoadStyles();
  Invalidate(nullptr);
}

void FillBar::LoadStyles() {
  MWindowDefinition* definition = GetDefinition();
  struct Kind {
    StyleTriple* triple;
    const char16_t* all;
    const char16_t* numbered;
  };
  const Kind kinds[] = {{&background_, u"barempty", u"barbackground%d"},
                        {&foreground_, u"barfilled", u"barforeground%d"},
                        {&handle_, u"handle", u"barhandle%d"}};
  for (const Kind& kind : kinds) {
    if (RefPtr<MImageStyleDrawing> style = FindStyle(definition, TString(kind.all))) {
      kind.triple->fill(style);
    }
  }
  for (const Kind& kind : kinds) {
    for (int32_t i = 0; i < 3; ++i) {
      if (RefPtr<MImageStyleDrawing> style =
              FindStyle(definition, TString::Format(kind.numbered, i + 1))) {
        (*kind.triple)[i] = style;
      }
    }
  }
  geometry_.hasHandle = handle_[0] != nullptr;
}

// ---- Drawing -------------------------------------------------------------------------------

FillBarLayout FillBar::Layout(double position) {
  const SizeI size = Size();
  return LayOutFillBar(geometry_, size.width, size.height, position);
}

int32_t FillBar::Paint(MCanvas* canvas, const PaintRecord* record) {
  // The part calls back ValuePaint, which draws the definition as well.
  MWindowElement* part = Part();
  return part ? part->Paint(canvas, record) : 0;
}

MImageStyleDrawing* FillBar::StyleFor(const StyleTriple& triple) const {
  return triple[look_] ? triple[look_].Get() : triple[kLookNormal].Get();
}

void FillBar::ShowLook(Look look) {
  if (look == look_) return;
  look_ = look;
  Invalidate(nullptr);
}

void FillBar::TrackLook(uint32_t code, const PointI* point) {
  switch (code) {
    case kQueryLeftDown:
      pressed_ = true;
      ShowLook(kLookHit);
      return;
    case kQueryLeftUp:
    case kQueryCaptureLost:
      pressed_ = false;
      break;
    case kQueryPointerMove:
      if (pressed_) return;
      break;
    default:
      return;
  }
  if (!point) {
    ShowLook(kLookNormal);
    return;
  }
  const FillBarLayout layout = Layout(PositionReal());
  const RectI& over = geometry_.hasHandle ? layout.handle : layout.bar;
  ShowLook(Holds(over, *point) ? kLookHover : kLookNormal);
}

void FillBar::DrawClipped(MImageStyleDrawing* style, MCanvas* canvas, const RectI& clip,
                          const RectI& into, const VisualParameters& params, bool* drew) {
  if (!style) return;
  canvas->PushClipRect(clip, kClipIntersect, 1);
  *drew |= style->Draw(into, canvas, kStyleStateNormal, 1.0, params) != 0;
  canvas->PopClip(1);
}

int32_t FillBar::ValuePaint(MCanvas* canvas, const PaintRecord* record) {
  if (!canvas) return 0;
  uint32_t state = 0;
  GetValue(kValueStateFlags, &state, sizeof state);
  const double opacity = (state & kStateDisabledLook) ? 0.5 : 1.0;
  const VisualParameters params = ReadVisualParameters(this);
  const SizeI size = Size();
  bool drew = false;
  if (MWindowDefinition* definition = GetDefinition()) {
    drew = definition->Draw(RectI{0, 0, size.width, size.height}, canvas, nullptr, 0, 0, opacity,
                            params) != 0;
  }
  MFillBar* part = FillPart();
  if (part && part->ValuePaint(canvas, record) > 0) drew = true;
  const FillBarLayout layout = Layout(part ? part->GetRealPos() : 0.0);
  RectI first = layout.first;
  RectI second = layout.second;
  const TString orientation = ReadStringProperty(this, u"orientation");
  if (orientation.Equals(u"bottom_to_top") || orientation.Equals(u"left_to_right"))
    std::swap(first, second);
  DrawClipped(StyleFor(background_), canvas, first, drawFillRelative_ ? first : layout.bar, params,
              &drew);
  DrawClipped(StyleFor(foreground_), canvas, second, drawFillRelative_ ? second : layout.bar,
              params, &drew);
  MImageStyleDrawing* handle = StyleFor(handle_);
  if (handle && !layout.handle.Empty())
    drew |= handle->Draw(layout.handle, canvas, kStyleStateNormal, 1.0, params) != 0;
  return drew ? 1 : 0;
}

int32_t FillBar::HandleCentre(PointI* out, double position) {
  if (!out) return kErrMissingArg;
  const FillBarLayout layout = Layout(position);
  *out = PointI{static_cast<int32_t>(layout.centreX), static_cast<int32_t>(layout.centreY)};
  return 1;
}

int32_t FillBar::TrackRect(RectI* out) {
  if (!out) return kErrMissingArg;
  const SizeI size = Size();
  *out = FillBarTrack(geometry_, size.width, size.height);
  return kOk;
}

int32_t FillBar::HasNoLook() {
  MWindowDefinition* definition = GetDefinition();
  const bool empty = !definition || definition->IsEmpty(0) != 0;
  return empty && !background_[0] && !foreground_[0] && !handle_[0] ? 1 : 0;
}

// ---- Notifications -------------------------------------------------------------------------

int32_t FillBar::Notify(uint32_t code, uintptr_t argument) {
  if (const auto answer = AnswerPositionNotification(*this, Script(), code, argument))
    return *answer;
  if (code == kNotifyPointerTop && argument == 0 && !pressed_) ShowLook(kLookNormal);
  if (code == kNotifyCreated) {
    const Element property = PropertyElementOf(GetDefinition());
    const ControlProperties read(property, nullptr);
    WriteIntegerProperty(this, kPropButtonHover, property && read.Bool(u"hover", false) ? 1 : 0);
  }
  return MarkupWindow::Notify(code, argument);
}

int32_t FillBar::Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  if (code == kQueryCaptureLost)
    TrackLook(code, nullptr);
  else
    TrackLook(code, reinterpret_cast<const PointI*>(a));
  if (code == kQueryPositionAtPoint && a && Script()) {
    const auto* point = reinterpret_cast<const PointI*>(a);
    if (MFillBar* part = FillPart()) {
      RefPtr<MScriptObject> params =
          MakePositionParams(part->IntPosAtPoint(point), part->RealPosAtPoint(point));
      FireScriptEvent(Script(), u"OnHoverPosChange", params.Get());
    }
  }
  return MarkupWindow::Query(code, a, b, c);
}

}  // namespace vk2::markup
