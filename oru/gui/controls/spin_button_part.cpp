#include "oru/gui/controls/spin_button_part.h"

#include <algorithm>
#include <new>

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "oru/gui/controls/position_changes.h"
#include "oru/gui/loop/input_settings_object.h"

namespace vk2::gui {

namespace {

constexpr int32_t kDefaultMaximum = 100;

bool IntProperty(const PropertyTable& table, const char16_t* name, int32_t* out) {
  PropertyValue value;
  if (table.Get(name, &value) != 0 || value.type != kPropertyInteger) return false;
  *out = value.integer;
  return true;
}

}  // namespace

int32_t SpinButtonPart::Create(MUnknown* outer, const Guid& iid, void** out) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  auto* part = new (std::nothrow) SpinButtonPart(outer);
  if (!part) return kErrOutOfMemory;
  return part->HandOut(iid, out);
}

void SpinButtonPart::ReadProperties() {
  const PropertyTable& table = Properties();
  int32_t low = 0;
  int32_t high = kDefaultMaximum;
  IntProperty(table, kPropPosMin, &low);
  IntProperty(table, kPropPosMax, &high);
  model_.SetRange(low, high);
  int32_t flag = 0;
  model_.SetWrap(IntProperty(table, kPropPosWrap, &flag) && flag != 0);

  int32_t radial = 0;
  IntProperty(table, kPropRadialKnob, &radial);
  InputSettingsObject& settings = InputSettingsObject::Instance();
  int32_t type = 0;
  angleControl_ = radial != 0 && settings.ReadInt(kSettingRadialKnobControl, &type) != 0;
  int32_t degrees = 0;
  angles_ = KnobAngles{};
  if (IntProperty(table, kPropRadialStart, &degrees)) angles_.startDegrees = degrees;
  if (IntProperty(table, kPropRadialStop, &degrees)) angles_.endDegrees = degrees;
  // The window's own sensitivity, else the user's, else ours.
  int32_t sensitivity = 0;
  if (!IntProperty(table, kPropKnobSensitivity, &sensitivity) || sensitivity <= 0) {
    sensitivity = settings.ReadInt(kSettingKnobSensitivity, &type);
  }
  sensitivity_ = sensitivity > 0 ? sensitivity : kDefaultKnobSensitivity;
}

RefPtr<MSpinButton> SpinButtonPart::Face() {
  if (RefPtr<MSpinButton> face = vk2::Query<MSpinButton>(Outer(), kIID_MSpinButton)) return face;
  return RefPtr<MSpinButton>(this);
}

int32_t SpinButtonPart::KnobCentre(PointI* out) {
  if (!out) return kErrMissingArg;
  const SizeI size = VirtualSize();
  *out = PointI{size.width / 2, size.height / 2};
  return 0;
}

int32_t SpinButtonPart::GetIntPos() {
  ReadProperties();
  return model_.IntPos();
}

double SpinButtonPart::GetRealPos() {
  ReadProperties();
  return model_.RealPos();
}

int32_t SpinButtonPart::SetIntPos(int32_t position) {
  ReadProperties();
  if (model_.SetIntPos(position)) Repaint();
  return 0;
}

int32_t SpinButtonPart::SetRealPos(double position) {
  if (!(position >= 0.0 && position <= 1.0)) return kErrOutOfRange;
  ReadProperties();
  if (model_.SetRealPos(position)) Repaint();
  return 0;
}

int32_t SpinButtonPart::ValuePaint(MCanvas* canvas, const KnobPaintRecord* record) {
  (void)canvas;
  (void)record;
  return 0;
}

bool SpinButtonPart::OnPaint(MCanvas* canvas, const PaintRecord& record) {
  ReadProperties();
  KnobPaintRecord knob;
  knob.paint = record;
  knob.position = model_.RealPos();
  return Face()->ValuePaint(canvas, &knob) != 0;
}

int32_t SpinButtonPart::PositionForDrag(PointI point) {
  if (angleControl_) {
    PointI centre;
    Face()->KnobCentre(&centre);
    return model_.IntFromReal(KnobFractionAt(point.x - centre.x, point.y - centre.y, angles_));
  }
  return model_.SteppedFrom(pressPosition_, LinearKnobSteps(point.y - pressPoint_.y, sensitivity_));
}

bool SpinButtonPart::Key(const KeyEvent& key) {
  int32_t target = 0;
  if (!PositionForKey(model_, key.key, &target)) return false;
  if (OfferPositionChange(*this, model_, target)) TellPositionFinal(*this, model_);
  return true;
}

int32_t SpinButtonPart::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  (void)c;
  const auto* point = reinterpret_cast<const PointI*>(a);
  switch (code) {
    case kQueryLeftDown:
      if (!point) return 0;
      ReadProperties();
      dragging_ = true;
      pressPoint_ = *point;
      pressPosition_ = model_.IntPos();
      // A knob under angle control jumps to the pointer; a spinner waits for movement.
      if (angleControl_) OfferPositionChange(*this, model_, PositionForDrag(*point));
      return 1;
    case kQueryPointerMove:
      if (!dragging_) return 0;
      if (point) OfferPositionChange(*this, model_, PositionForDrag(*point));
      return 1;
    case kQueryLeftUp:
    case kQueryCaptureLost:
      if (dragging_) TellPositionFinal(*this, model_);
      dragging_ = false;
      return 1;
    case kQueryPositionAtPoint: {
      if (!point || !b) return 0;
      ReadProperties();
      PointI centre;
      Face()->KnobCentre(&centre);
      *reinterpret_cast<int32_t*>(b) =
          model_.IntFromReal(KnobFractionAt(point->x - centre.x, point->y - centre.y, angles_));
      return 1;
    }
    case kQueryWheel: {
      ReadProperties();
      const int32_t steps = static_cast<int32_t>(static_cast<intptr_t>(b));
      if (OfferPositionChange(*this, model_, model_.Stepped(steps))) {
        TellPositionFinal(*this, model_);
      }
      return 1;
    }
    case kQueryKeyDown: {
      const auto* key = reinterpret_cast<const KeyEvent*>(a);
      if (!key) return 0;
      ReadProperties();
      return Key(*key) ? 1 : 0;
    }
    default:
      return 0;
  }
}

}  // namespace vk2::gui
