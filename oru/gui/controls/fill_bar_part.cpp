#include "oru/gui/controls/fill_bar_part.h"
#include "component/object/query.h"
#include "oru/gui/controls/position_changes.h"

#include <algorithm>
#include <new>

#include "foundation/text/tstring.h"
#include "foundation/util/result.h"

namespace vk2::gui {

namespace {

constexpr int32_t kDefaultMaximum = 100;

bool IsVerticalName(const char16_t* text) {
  for (const char16_t* name : {u"vertical", u"top_to_bottom", u"bottom_to_top"}) {
    if (WideCompare(text, name, false) == 0) return true;
  }
  return false;
}

}  // namespace

int32_t FillBarPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) FillBarPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

void FillBarPart::ReadProperties() {
  PropertyValue low;
  PropertyValue high;
  const bool hasLow = Properties().Get(kPropPosMin, &low) == 0 && low.type == kPropertyInteger;
  const bool hasHigh = Properties().Get(kPropPosMax, &high) == 0 && high.type == kPropertyInteger;
  model_.SetRange(hasLow ? low.integer : 0, hasHigh ? high.integer : kDefaultMaximum);
  PropertyValue orientation;
  if (!verticalSet_ && Properties().Get(kPropOrientation, &orientation) == 0 &&
      orientation.type == kPropertyString && orientation.text) {
    vertical_ = IsVerticalName(orientation.text);
  }
}

RefPtr<MFillBar> FillBarPart::Face() {
  if (RefPtr<MFillBar> face = vk2::Query<MFillBar>(Outer(), kIID_MFillBar)) return face;
  return RefPtr<MFillBar>(this);
}

int32_t FillBarPart::GetIntPos() {
  ReadProperties();
  return model_.IntPos();
}

double FillBarPart::GetRealPos() {
  ReadProperties();
  return model_.RealPos();
}

int32_t FillBarPart::SetIntPos(int32_t position) {
  ReadProperties();
  if (model_.SetIntPos(position)) Repaint();
  return 0;
}

int32_t FillBarPart::SetRealPos(double position) {
  if (!(position >= 0.0 && position <= 1.0)) return kErrOutOfRange;
  ReadProperties();
  if (model_.SetRealPos(position)) Repaint();
  return 0;
}

int32_t FillBarPart::ValuePaint(MCanvas* canvas, const PaintRecord* record) {
  (void)canvas;
  (void)record;
  return 0;
}

int32_t FillBarPart::TrackRect(RectI* out) {
  if (!out) return kErrMissingArg;
  const SizeI size = VirtualSize();
  *out = RectI{0, 0, size.width, size.height};
  return 0;
}

int32_t FillBarPart::HandleCentre(PointI* out, uint32_t, double position, uint32_t, uint32_t,
                                  uint32_t) {
  if (!out) return kErrMissingArg;
  RectI track;
  Face()->TrackRect(&track);
  position = std::clamp(position, 0.0, 1.0);
  if (vertical_) {
    *out = PointI{(track.left + track.right) / 2,
                  track.top + static_cast<int32_t>(track.Height() * position)};
  } else {
    *out = PointI{track.left + static_cast<int32_t>(track.Width() * position),
                  (track.top + track.bottom) / 2};
  }
  return 0;
}

int32_t FillBarPart::SetVertical(int32_t vertical) {
  vertical_ = vertical != 0;
  verticalSet_ = true;
  Repaint();
  return 0;
}

double FillBarPart::RealPosAtPoint(const PointI* point) {
  if (!point) return 0.0;
  ReadProperties();
  RectI track;
  Face()->TrackRect(&track);
  if (vertical_) {
    if (track.Height() <= 0) return 0.0;
    return std::clamp((point->y - track.top) / double(track.Height()), 0.0, 1.0);
  }
  if (track.Width() <= 0) return 0.0;
  return std::clamp((point->x - track.left) / double(track.Width()), 0.0, 1.0);
}

int32_t FillBarPart::IntPosAtPoint(const PointI* point) {
  return model_.IntFromReal(RealPosAtPoint(point));
}

bool FillBarPart::MoveByUser(int32_t position) {
  ReadProperties();
  return OfferPositionChange(*this, model_, position);
}

void FillBarPart::Finalize() {
  TellPositionFinal(*this, model_);
}

bool FillBarPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  // The value's look is the wrapper's.
  return Face()->ValuePaint(canvas, &record) != 0;
}

int32_t FillBarPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)c;
  const auto* point = reinterpret_cast<const PointI*>(a);
  switch (code) {
    case kQueryLeftDown:
      dragging_ = true;
      if (point) MoveByUser(IntPosAtPoint(point));
      return 1;
    case kQueryPointerMove:
      if (dragging_ && point) MoveByUser(IntPosAtPoint(point));
      return dragging_ ? 1 : 0;
    case kQueryLeftUp:
    case kQueryCaptureLost:
      if (dragging_) Finalize();
      dragging_ = false;
      return 1;
    case kQueryPositionAtPoint:
      if (!point || !b) return 0;
      *reinterpret_cast<int32_t*>(b) = IntPosAtPoint(point);
      return 1;
    case kQueryWheel: {
      ReadProperties();
      const int32_t steps = static_cast<int32_t>(static_cast<intptr_t>(b));
      if (MoveByUser(model_.Stepped(steps))) Finalize();
      return 1;
    }
    case kQueryKeyDown: {
      const auto* key = reinterpret_cast<const KeyEvent*>(a);
      if (!key) return 0;
      ReadProperties();
      int32_t target = 0;
      if (!PositionForKey(model_, key->key, &target)) return 0;
      if (MoveByUser(target)) Finalize();
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace vk2::gui
