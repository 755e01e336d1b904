#include "markup/controls/spin_button.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "markup/controls/control_properties.h"
#include "markup/controls/position_events.h"
#include "markup/window/window_properties.h"

namespace vk2::markup {
namespace {

constexpr PositionMethodHelp kHelp = {
    u"Get the spinner's relative position, 0.0 to 1.0", u"Get the spinner's integral position",
    u"Set the spinner's relative position, 0.0 to 1.0", u"Set the spinner's integral position",
    u"Get the spinner's minimal integral position",     nullptr,
    u"Get the spinner's maximal integral position",     nullptr,
};

constexpr int32_t kDefaultStopAngle = 360;
constexpr int32_t kDefaultMaximum = 65535;

// "0" and "false" are false, any other text true; an empty text gives the fallback.
bool TextFlag(const TString& text, bool fallback) {
  if (text.IsEmpty()) return fallback;
  return !(text.Equals(u"0") || text.Equals(u"false", false));
}

}  // namespace

double RadialKnobAngle(std::optional<int32_t> start, std::optional<int32_t> stop, double p) {
  const double from = start.value_or(0);
  const double to = stop.value_or(kDefaultStopAngle);
  return from + (to - from) * p;
}

SpinButton::SpinButton(MUnknown* controlling) : MarkupWindow(controlling), face_(this) {}

int32_t SpinButton::Face::KnobCentre(PointI* out) {
  return OwnerControl()->KnobCentre(out);
}
int32_t SpinButton::Face::ValuePaint(MCanvas* canvas, const KnobPaintRecord* record) {
  return OwnerControl()->ValuePaint(canvas, record);
}

MSpinButton* SpinButton::SpinPart() {
  if (!part_) {
    part_ = static_cast<MSpinButton*>(
        FindPartFace(kIID_MSpinButton, static_cast<MSpinButton*>(&face_)));
  }
  return part_;
}

MUnknown* SpinButton::QueryMore(const Guid& iid) {
  if (iid == kIID_MSpinButton) return static_cast<MSpinButton*>(&face_);
  return MarkupWindow::QueryMore(iid);
}

void SpinButton::SetUpControl() {
  MScriptObject* script = Script();
  if (!script) return;
  script->SetClassName(TString(u"MMLSpinButton"));
  RegisterPositionMethods(script, this, kHelp);
}

void SpinButton::LoadProperties(MInterfaceDefinition* iface) {
  LoadDefinition();
  const Element property = PropertyElementOf(GetDefinition());
  if (!property) return;
  const ControlProperties read(property, iface);
  MWindowElement* self = this;
  WriteIntegerProperty(self, kPropRadialKnob, read.Bool(u"radial", false) ? 1 : 0);
  const int32_t sensitivity = read.Integer(u"sensitivity", -1);
  if (sensitivity > 0) WriteIntegerProperty(self, kPropKnobSensitivity, sensitivity);
  WriteIntegerProperty(self, kPropRadialStart, read.Integer(u"radialstartangle", 0));
  WriteIntegerProperty(self, kPropRadialStop, read.Integer(u"radialstopangle", kDefaultStopAngle));
  WriteIntegerProperty(self, kPropPosMin, read.Integer(u"min_val", 0));
  WriteIntegerProperty(self, kPropPosMax, read.Integer(u"max_val", kDefaultMaximum));
  WriteIntegerProperty(self, kPropPosWrap, TextFlag(read.Text(u"wrap"), false) ? 1 : 0);
  Invalidate(nullptr);
}

int32_t SpinButton::Notify(uint32_t code, uintptr_t argument) {
  if (const auto answer = AnswerPositionNotification(*this, Script(), code, argument))
    return *answer;
  if (code == kNotifyCreated) {
    const Element property = PropertyElementOf(GetDefinition());
    const ControlProperties read(property, nullptr);
    MWindowElement* self = this;
    WriteIntegerProperty(self, kPropButtonHover, property && read.Bool(u"hover", false) ? 1 : 0);
    WriteIntegerProperty(self, kPropButtonToggle, property && read.Bool(u"toggle", false) ? 1 : 0);
  }
  return MarkupWindow::Notify(code, argument);
}

int32_t SpinButton::Paint(MCanvas* canvas, const PaintRecord* record) {
  // The part calls back ValuePaint, which draws the definition at the knob's angle.
  MWindowElement* part = Part();
  return part ? part->Paint(canvas, record) : 0;
}

int32_t SpinButton::KnobCentre(PointI* out) {
  if (!out) return kErrMissingArg;
  SizeI size;
  GetValue(kValueVirtualSize, &size, sizeof size);
  *out = PointI{size.width / 2, size.height / 2};
  return kOk;
}

VisualParameters SpinButton::KnobParameters(double p) {
  VisualParameters params = ReadVisualParameters(this);
  if (ReadIntegerProperty(this, kPropRadialKnob).value_or(0) != 0) {
    params.angle +=
        static_cast<float>(RadialKnobAngle(ReadIntegerProperty(this, kPropRadialStart),
                                           ReadIntegerProperty(this, kPropRadialStop), p));
  }
  params.position = static_cast<float>(p);
  return params;
}

int32_t SpinButton::ValuePaint(MCanvas* canvas, const KnobPaintRecord* record) {
  if (!canvas || !record) return 0;
  uint32_t state = 0;
  GetValue(kValueStateFlags, &state, sizeof state);
  const double opacity = (state & kStateDisabledLook) ? 0.5 : 1.0;
  const VisualParameters params = KnobParameters(record->position);
  bool drew = false;
  if (MWindowDefinition* definition = GetDefinition()) {
    SizeI size;
    GetValue(kValueVirtualSize, &size, sizeof size);
    drew = definition->Draw(RectI{0, 0, size.width, size.height}, canvas, nullptr, 0,
                            (state & kStateComposite) ? 1 : 0, opacity, params) != 0;
  }
  MSpinButton* part = SpinPart();
  if (part && part->ValuePaint(canvas, record) > 0) drew = true;
  return drew ? 1 : 0;
}

int32_t SpinButton::HasNoLook() {
  MWindowDefinition* definition = GetDefinition();
  return !definition || definition->IsEmpty(0) != 0 ? 1 : 0;
}

}  // namespace vk2::markup
