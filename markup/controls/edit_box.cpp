#include "markup/controls/edit_box.h"

#include <string>

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/graphics/font.h"
#include "interfaces/ids.h"
#include "markup/controls/control_font.h"
#include "markup/controls/control_properties.h"
#include "markup/controls/edit_layout.h"
#include "markup/definition/interface_definition.h"
#include "markup/definition/style_readers.h"
#include "markup/tween/tween.h"
#include "markup/window/script_events.h"
#include "markup/window/window_font.h"
#include "markup/window/window_methods.h"
#include "markup/window/window_properties.h"

namespace vk2::markup {
namespace {

// Source over (PS_NORMAL): the colour's own alpha blends it. Interpolating every channel
// instead would carry a translucent selection's alpha into the window, which would then show
// the desktop through the selection.
constexpr uint64_t kFillCode = 0x1000001000Full;
// The same with the opacity bit: the text fades when the window is disabled.
constexpr uint64_t kTextCode = 0x1000001000Full | kBlendOpacity;
constexpr char16_t kMask = u'*';
constexpr int32_t kCaretWidth = 1;

EditBox* EditOf(const HandlerCall& call) {
  return reinterpret_cast<EditBox*>(call.handlerData);
}

int32_t GetTextMethod(HandlerCall& call) {
  if (HandlerCallArgs(call).Count() != 0) return kMethodBadArguments;
  MEditBox* part = EditOf(call)->EditPart();
  TString text;
  if (part) part->GetText(&text);
  if (ScriptDataEntity* data = AsDataEntity(call.result)) data->SetValue(text);
  return kMethodDone;
}

int32_t SetTextMethod(HandlerCall& call) {
  TString text;
  if (HandlerCallArgs(call).Count() == 0 || UnpackScriptArgs(call, u"W", &text) < 0)
    return kMethodBadArguments;
  if (MEditBox* part = EditOf(call)->EditPart()) part->SetText(text.c_str());
  return kMethodDone;
}

// An image style of the interface by name (the interface-level definitions only).
RefPtr<MImageStyleDrawing> InterfaceStyle(MInterfaceDefinition* iface, const TString& name) {
  MMarkupDefinition* record = nullptr;
  if (!iface || name.IsEmpty() || iface->GetImageStyle(name.c_str(), &record) != kOk || !record)
    return nullptr;
  auto held = RefPtr<MMarkupDefinition>::Adopt(record);
  MXmlNode* node = nullptr;
  if (held->GetElement(&node) != kOk || !node) return nullptr;
  return ReadImageStyleDrawing(Element(RefPtr<MXmlNode>::Adopt(node)),
                               static_cast<InterfaceDefinition*>(iface));
}

}  // namespace

EditBox::EditBox(MUnknown* controlling) : MarkupWindow(controlling), face_(this) {}

EditBox::Face::Face(EditBox* owner) : ElementFace(owner), edit_(owner) {}

#define VK2_TO_PART(call, fallback)   \
  MEditBox* part = edit_->EditPart(); \
  return part ? part->call : fallback

int32_t EditBox::Face::SetText(const char16_t* text) {
  VK2_TO_PART(SetText(text), kErrNotFound);
}
int32_t EditBox::Face::GetText(TString* text) {
  VK2_TO_PART(GetText(text), kErrNotFound);
}
int32_t EditBox::Face::SetSecret(int32_t secret) {
  edit_->secret_ = secret != 0;
  VK2_TO_PART(SetSecret(secret), kErrNotFound);
}
int32_t EditBox::Face::SetMaxLength(int32_t length) {
  VK2_TO_PART(SetMaxLength(length), kErrNotFound);
}
int32_t EditBox::Face::GetCaret() {
  VK2_TO_PART(GetCaret(), 0);
}
int32_t EditBox::Face::SetSelection(int32_t start, int32_t end) {
  VK2_TO_PART(SetSelection(start, end), kErrNotFound);
}
int32_t EditBox::Face::GetSelection(int32_t* start, int32_t* end) {
  VK2_TO_PART(GetSelection(start, end), kErrNotFound);
}
int32_t EditBox::Face::CaretVisible() {
  VK2_TO_PART(CaretVisible(), 0);
}

#undef VK2_TO_PART

int32_t EditBox::Face::CaretIndexAt(const PointI* point) {
  return edit_->CaretIndexAt(point);
}

MEditBox* EditBox::EditPart() {
  if (!part_)
    part_ = static_cast<MEditBox*>(FindPartFace(kIID_MEditBox, static_cast<MEditBox*>(&face_)));
  return part_;
}

MUnknown* EditBox::QueryMore(const Guid& iid) {
  if (iid == kIID_MEditBox) return static_cast<MEditBox*>(&face_);
  return MarkupWindow::QueryMore(iid);
}

void EditBox::SetUpControl() {
  MScriptObject* script = Script();
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  if (!registry) return;
  script->SetClassName(TString(u"MML_Edit"));
  registry->AddFunction(TString(u"GetText"), TString(u"Get the text contents of the edit control"),
                        false, &GetTextMethod, script, reinterpret_cast<uintptr_t>(this), 0);
  registry->AddFunction(TString(u"SetText"), TString(u"Set the text contents of the edit control"),
                        false, &SetTextMethod, script, reinterpret_cast<uintptr_t>(this), 0);
}

void EditBox::LoadProperties(MInterfaceDefinition* iface) {
  LoadDefinition();
  MWindowDefinition* definition = GetDefinition();
  const Element property = PropertyElementOf(definition);
  caretOn_ = kDefaultCaretOn;
  caretOff_ = kDefaultCaretOff;
  selection_ = kDefaultSelection;
  const ControlProperties read(property, iface);
  RefPtr<MFont> font = property ? FontOfStyle(iface, read.Text(u"font_style").c_str()) : nullptr;
  if (!font) font = FontOfStyle(iface, nullptr);
  SetWindowFont(this, font.Get());
  if (!property) return;
  // The window's own image styles first, then the interface's.
  for (auto [name, style] :
       {std::pair{u"background_inactive", &inactive_}, std::pair{u"background_active", &active_}}) {
    const TString styleName = read.Text(name);
    *style = nullptr;
    if (styleName.IsEmpty()) continue;
    if (definition) definition->FindImageStyle(styleName.c_str(), style->Put());
    if (!*style) *style = InterfaceStyle(iface, styleName);
  }
  fontColor_ = read.Color(u"font_color", kDefaultFontColor);
  caretOn_ = read.Color(u"cursor_on_color", kDefaultCaretOn);
  caretOff_ = read.Color(u"cursor_off_color", kDefaultCaretOff);
  selection_ = read.Color(u"selection_color", kDefaultSelection);
  read.IntRect(u"text_offset_rect", offsets_);
  MEditBox* part = EditPart();
  if (part && read.Has(u"text")) part->SetText(read.Text(u"text").c_str());
  if (read.Bool(u"secret", false)) {
    secret_ = true;
    if (part) part->SetSecret(1);
  }
  Invalidate(nullptr);
}

// ---- Input ---------------------------------------------------------------------------------

int32_t EditBox::HitCode(const PointI* point) {
  if (!GetDefinition()) return kHitNone;
  return MarkupWindow::HitCode(point) | kHitInputFocus;
}

int32_t EditBox::Notify(uint32_t code, uintptr_t argument) {
  RefPtr<MWindowElement> keep(static_cast<MWindowElement*>(this));
  if (code == kNotifyFocus) {
    focused_ = argument != 0;
    Invalidate(nullptr);
  } else if (code == kNotifyEditEnter && Script()) {
    FireScriptEvent(Script(), u"OnEditSend");
  }
  return MarkupWindow::Notify(code, argument);
}

int32_t EditBox::CaretIndexAt(const PointI* point) {
  MFont* font = WindowFont(this);
  if (!point || !font) return -1;
  const TString shown = ShownText();
  const RectI text = TextRect();
  return NearestCaretIndex([&](int32_t n) { return font->TextWidth(shown.c_str(), n); },
                           static_cast<int32_t>(shown.Length()), point->x - text.left + scroll_);
}

// ---- Drawing -------------------------------------------------------------------------------

RectI EditBox::TextRect() {
  SizeI size;
  GetValue(kValueVirtualSize, &size, sizeof size);
  return RectI{offsets_[0], offsets_[1], size.width - offsets_[2], size.height - offsets_[3]};
}

TString EditBox::ShownText() {
  TString text;
  if (MEditBox* part = EditPart()) part->GetText(&text);
  return TString(markup::ShownText(std::u16string(text.view()), secret_, kMask));
}

bool EditBox::DrawBackground(MCanvas* canvas, bool active, const SizeI& size) {
  MImageStyleDrawing* style = active ? active_.Get() : inactive_.Get();
  const RectI rect{0, 0, size.width, size.height};
  bool drew = false;
  if (MWindowDefinition* definition = GetDefinition()) {
    drew = definition->Draw(rect, canvas, nullptr, 0, 0, 1.0, ReadVisualParameters(this)) != 0;
  }
  if (style) drew |= style->Draw(rect, canvas, kStyleStateNormal, 1.0, VisualParameters{}) != 0;
  return drew;
}

void EditBox::DrawCaret(MCanvas* canvas, const RectI& rect, double blink) {
  const uint32_t color = tween::LerpArgb(blink, caretOn_, caretOff_);
  canvas->FillRect(
      RectF{double(rect.left), double(rect.top), double(rect.right), double(rect.bottom)}, color,
      kFillCode, 256, false);
}

void EditBox::DrawSelection(MCanvas* canvas, const RectI& rect) {
  canvas->FillRect(
      RectF{double(rect.left), double(rect.top), double(rect.right), double(rect.bottom)},
      selection_, kFillCode, 0, false);
}

int32_t EditBox::Paint(MCanvas* canvas, const PaintRecord* record) {
  (void)record;
  if (!canvas) return 0;
  SizeI size;
  GetValue(kValueVirtualSize, &size, sizeof size);
  bool drew = DrawBackground(canvas, focused_, size);
  MFont* font = WindowFont(this);
  MEditBox* part = EditPart();
  if (!font || !part) return drew ? 1 : 0;

  const TString shown = ShownText();
  const auto length = static_cast<int32_t>(shown.Length());
  auto width = [&](int32_t n) { return n <= 0 ? 0 : font->TextWidth(shown.c_str(), n); };
  const RectI text = TextRect();
  int32_t start = 0, end = 0;
  part->GetSelection(&start, &end);
  const int32_t caret = part->GetCaret();
  const int32_t textWidth = width(length);
  scroll_ = ScrollToShowCaret(scroll_, width(caret), textWidth, text.Width());
  const int32_t x0 = text.left - scroll_;

  FontMetrics metrics;
  font->GetMetrics(&metrics);
  const int32_t lineTop = text.top + (text.Height() - metrics.lineHeight) / 2;
  const RectI line{text.left, lineTop, text.right, lineTop + metrics.lineHeight};

  canvas->PushClipRect(text, kClipIntersect, 1);
  if (start != end)
    DrawSelection(canvas, RectI{x0 + width(start), line.top, x0 + width(end), line.bottom});
  uint32_t state = 0;
  GetValue(kValueStateFlags, &state, sizeof state);
  if (length > 0) {
    font->DrawText(canvas, shown.c_str(), length,
                   RectI{x0, text.top, x0 + textWidth + 1, text.bottom},
                   kTextVCenter | kTextSingleLine, kTextCode, fontColor_,
                   (state & kStateDisabledLook) ? 128 : 256);
    drew = true;
  }
  if (focused_) {
    const int32_t x = x0 + width(caret);
    DrawCaret(canvas, RectI{x, line.top, x + kCaretWidth, line.bottom},
              part->CaretVisible() ? 1.0 : 0.0);
    drew = true;
  }
  canvas->PopClip(1);
  return drew ? 1 : 0;
}

}  // namespace vk2::markup
