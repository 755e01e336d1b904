#include "markup/controls/button_control.h"

#include <utility>
#include <vector>

#include "component/script/handler_call_args.h"
#include "foundation/util/result.h"
#include "interfaces/graphics/canvas.h"
#include "interfaces/graphics/font.h"
#include "interfaces/ids.h"
#include "markup/controls/control_methods.h"
#include "markup/controls/switch_methods.h"
#include "markup/window/window_properties.h"

namespace vk2::markup {
namespace {

constexpr uint64_t kCaptionBlend = 0x1000001000Full | kBlendOpacity;
constexpr int32_t kDefaultRepeatDelay = 150;
constexpr int32_t kLogicStates = 4;

ButtonControl* ButtonOf(const HandlerCall& call) {
  return ControlOfCall<ButtonControl>(call);
}

int32_t SetText(HandlerCall& call) {
  TString text;
  if (CalledWithoutArguments(call) || UnpackScriptArgs(call, u"W", &text) < 0)
    return kMethodBadArguments;
  ButtonOf(call)->SetCaption(text);
  return kMethodDone;
}

int32_t SetButtonState(HandlerCall& call) {
  uint32_t state = 0;
  bool notify = true;
  if (CalledWithoutArguments(call) || UnpackScriptArgs(call, u"Ub", &state, &notify) < 0)
    return kMethodBadArguments;
  if (state >= kLogicStates)
    return RejectMethod(call, TString(u"Not a valid logic state: \"0\" - \"3\"."));
  ButtonControl* button = ButtonOf(call);
  MButton* part = button->ButtonPart();
  if (!part) return kMethodNoWindow;
  // A toggle's state is its checked flag: 1 checks it, 0 clears it.
  if (button->IsToggle() && state <= 1) part->SetChecked(static_cast<int32_t>(state));
  part->SetLogicState(button->IsToggle() ? 0 : state, notify ? 1 : 0);
  button->Invalidate(nullptr);
  return kMethodDone;
}

int32_t GetButtonState(HandlerCall& call) {
  ButtonControl* button = ButtonOf(call);
  MButton* part = button->ButtonPart();
  const int32_t state = !part ? 0 : button->IsToggle() ? part->GetChecked() : part->GetLogicState();
  SetMethodResult(call, TString::Format(u"%d", state));
  return kMethodDone;
}

constexpr ControlMethod kSetText[] = {{u"SetText", &SetText, u"Set the display text"}};

constexpr ControlMethod kMethods[] = {
    {u"SetButtonState", &SetButtonState, u"Set the button's logic state"},
    {u"GetButtonState", &GetButtonState, u"Get the button's logic state"},
};

}  // namespace

void ButtonControl::SetUpControl() {
  MScriptObject* script = Script();
  if (!script) return;
  // Aggregated, the outer object's own caption rules: no SetText.
  if (StandsAlone()) RegisterControlMethods(script, this, kSetText);
  script->SetClassName(TString(ScriptClassName()));
  RegisterControlMethods(script, this, kMethods);
  auto* window = static_cast<MWindowElement*>(this);
  RegisterToggleMethods(script, window);
  RegisterHoverMethods(script, window);
}

MUnknown* ButtonControl::QueryMore(const Guid& iid) {
  if (iid == kIID_MButton) return static_cast<MButton*>(&face_);
  return nullptr;
}

void ButtonControl::SetCaption(const TString& text) {
  {
    std::lock_guard lock(captionLock_);
    caption_ = text;
  }
  PostCommand(kCmdRepaint, 0, 0, 0, nullptr, 0, 0);
}

TString ButtonControl::Caption() {
  std::lock_guard lock(captionLock_);
  return caption_;
}

void ButtonControl::LoadProperties(MInterfaceDefinition* iface) {
  MWindowDefinition* definition = GetDefinition();
  if (!definition) return;
  const Defaults defaults = ButtonDefaults();
  LookUpTextFont(iface, TString(), &font_);
  const Element element = PropertyElementOf(definition);
  const ControlProperties properties(element, iface);
  const int32_t delay = properties.Integer(u"default_delay", kDefaultRepeatDelay);
  const int32_t fadeMs = properties.Integer(u"fade_duration", 0);
  const bool hover = properties.Bool(u"hover", defaults.hover);
  const bool toggle = properties.Bool(u"toggle", defaults.toggle);
  if (properties.Has(u"text")) SetCaption(properties.Text(u"text"));
  justification_ = properties.Alignment(u"font_justification", defaults.justification);
  textColor_ = properties.Color(u"font_color", textColor_);
  const TString fontName = properties.Text(u"font_style");
  if (!fontName.IsEmpty()) LookUpTextFont(iface, fontName, &font_);
  properties.IntRect(u"text_offset_rect", textOffset_);
  LoadOwnProperties(properties, iface);

  if (MButton* part = ButtonPart()) {
    part->SetStateCount(definition->CountImageStyles(u"state*"));
    part->SetRepeatDelay(delay);
  }
  auto* self = static_cast<MWindowElement*>(this);
  WriteIntegerProperty(self, kPropButtonHover, hover ? 1 : 0);
  WriteIntegerProperty(self, kPropButtonToggle, toggle ? 1 : 0);
  WriteIntegerProperty(self, kPropFadeDuration, fadeMs);
  LoadDefinition();
}

bool ButtonControl::IsToggle() {
  const auto toggle = ReadIntegerProperty(static_cast<MWindowElement*>(this), kPropButtonToggle);
  return toggle && *toggle != 0;
}

RectI ButtonControl::Bounds() {
  SizeI extent;
  GetValue(kValueVirtualSize, &extent, sizeof extent);
  return RectI{0, 0, extent.width, extent.height};
}

double ButtonControl::Opacity() {
  uint32_t state = 0;
  GetValue(kValueStateFlags, &state, sizeof state);
  return (state & kStateDisabledLook) ? 0.5 : 1.0;
}

bool ButtonControl::DrawStates(MCanvas* canvas, const RectI& rect, double opacity) {
  MWindowDefinition* definition = GetDefinition();
  if (!definition || !canvas) return false;
  uint32_t flags = 0;
  GetValue(kValueStateFlags, &flags, sizeof flags);
  const VisualParameters params = ReadVisualParameters(this);
  const int32_t composite = (flags & kStateComposite) ? 1 : 0;
  const int32_t count = definition->CountImageStyles(u"state*");
  if (!ButtonPart() || count <= 0)
    return definition->Draw(rect, canvas, nullptr, 0, composite, opacity, params) != 0;

  // The part gives the weights (normal, hit, hover per look), cross-fading between looks; a
  // style without a hit or hover image shows its normal image for that weight.
  std::vector<double> weights(static_cast<size_t>(count) * 3, 0.0);
  MWindowElement* element = Part();
  if (!element || element->Query(kQueryStateWeights, reinterpret_cast<uintptr_t>(weights.data()),
                                 static_cast<uintptr_t>(count), 0) <= 0)
    weights[0] = 1.0;
  for (int32_t look = 0; look < count; ++look) {
    double* triple = weights.data() + static_cast<size_t>(look) * 3;
    if (triple[1] == 0.0 && triple[2] == 0.0) continue;
    RefPtr<MImageStyleDrawing> style;
    const TString name = TString::Format(u"state%d", look);
    const bool found = definition->FindImageStyle(name.c_str(), style.Put()) == kOk && style;
    for (const auto& [index, mask] : {std::pair{1, kStyleStateHit}, {2, kStyleStateHover}}) {
      if (triple[index] == 0.0 || (found && style->CountStyles(mask) > 0)) continue;
      triple[0] += triple[index];
      triple[index] = 0.0;
    }
  }
  return definition->Draw(rect, canvas, weights.data(), static_cast<int32_t>(weights.size()),
                          composite, opacity, params) != 0;
}

bool ButtonControl::DrawCaption(MCanvas* canvas, const RectI& rect, double opacity) {
  if (!canvas) return false;
  std::lock_guard lock(captionLock_);
  if (caption_.IsEmpty()) return false;
  RefPtr<MFont> font = GetTextFont(font_);
  if (!font) return false;
  canvas->PushClipRect(rect, kClipIntersect, 1);
  font->DrawText(canvas, caption_.c_str(), static_cast<int32_t>(caption_.Length()), rect,
                 justification_, kCaptionBlend, textColor_, static_cast<int32_t>(opacity * 256.0));
  canvas->PopClip(1);
  return true;
}

int32_t ButtonControl::Paint(MCanvas* canvas, const PaintRecord* record) {
  const RectI bounds = Bounds();
  const double opacity = Opacity();
  bool drew = DrawStates(canvas, bounds, opacity);
  MWindowElement* part = Part();
  drew |= part && part->Paint(canvas, record) > 0;
  const RectI captionRect{bounds.left + textOffset_[0], bounds.top + textOffset_[1],
                          bounds.right + textOffset_[2], bounds.bottom + textOffset_[3]};
  DrawCaption(canvas, captionRect, opacity);
  return drew ? 1 : 0;
}

int32_t ButtonControl::HasNoLook() {
  MWindowDefinition* definition = GetDefinition();
  return definition ? definition->IsEmpty(1) : 0;
}

}  // namespace vk2::markup
