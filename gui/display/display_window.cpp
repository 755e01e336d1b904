#include "gui/display/display_window.h"

#include "component/module/runtime_loader.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/guid_text.h"
#include "foundation/util/result.h"
#include "gui/display/display_state.h"
#include "gui/display/window_page.h"
#include "gui/window_base/style_element.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/console.h"
#include "interfaces/script/handler_call.h"

namespace vk2::gui {
namespace {

constexpr int32_t kScriptFlags = 0x10000;
constexpr int32_t kBadArguments = -3;
constexpr int32_t kConsoleLevel = 7;
constexpr int32_t kDefaultAnimationMs = 1000;
constexpr char16_t kAppStateProperty[] = u"_app_state_";
constexpr char16_t kAnimationProperty[] = u"AnimationDuration";

enum DisplayMethod : uintptr_t { kDisplayWindow = 0, kToggleWindow, kHistory };

// Identifier text without braces, as the console class is named to the display.
TString BareGuidText(const Guid& id) {
  const TString braced = FormatGuidText(id);
  return braced.Mid(1, static_cast<int32_t>(braced.Length()) - 2);
}

void Report(const TString& text) {
  if (RefPtr<MConsole> console = CreateRuntimeObject<MConsole>(kServiceClass, kIID_MConsole))
    console->Write(kConsoleLevel, text.c_str(), 0);
}

int32_t HandleMethod(HandlerCall& call) {
  auto* display = reinterpret_cast<DisplayWindow*>(call.handlerData);
  if (!display) return kBadArguments;
  DisplayPages& pages = display->Pages();
  switch (call.handlerTag) {
    case kDisplayWindow: {
      TString name;
      if (UnpackScriptArgs(call, u"W", &name) < 0) return kBadArguments;
      const bool shown = pages.ShowPage(name, kShowForward, TString(), true);
      if (ScriptDataEntity* data = AsDataEntity(call.result))
        data->SetValue(TString(shown ? u"1" : u"0"));
      return 0;
    }
    case kToggleWindow: {
      TString name;
      if (UnpackScriptArgs(call, u"W", &name) < 0) return kBadArguments;
      pages.TogglePage(name);
      return 0;
    }
    case kHistory: {
      int32_t step = 0;
      if (UnpackScriptArgs(call, u"I", &step) < 0) return kBadArguments;
      pages.StepHistory(step);
      return 0;
    }
    default:
      return kBadArguments;
  }
}

}  // namespace

DisplayWindow::DisplayWindow(MUnknown* base, std::function<TString()> initialPages)
    : ModuleWindow(base),
      initialPages_(std::move(initialPages)),
      pages_([this](const TString& name) { return MakePage(name); }, &Report,
             [this] { return AnimationDuration(); }) {}

DisplayWindow::~DisplayWindow() {
  // The pages are released, not closed: they go with the window tree.
  pages_.ReleaseAll();
}

void DisplayWindow::Setup() {
  pages_.SetDevTest(false, BareGuidText(kConsoleWindowClass));
  MScriptObject* script = Script();
  if (!script) return;
  script->SetClassName(TString(u"Brint Display"));
  script->SetVersion(kScriptFlags);
  auto* registry = static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry());
  if (!registry) return;
  const auto self = reinterpret_cast<uintptr_t>(this);
  registry->AddFunction(u"DisplayWindow", u"Choose which window to show in the display", false,
                        &HandleMethod, script, self, kDisplayWindow);
  registry->AddFunction(u"ToggleWindow", u"Toggle a window in the display", false, &HandleMethod,
                        script, self, kToggleWindow);
  registry->AddFunction(u"History",
                        u"Set display to relative index in history. Negative numbers go back.",
                        false, &HandleMethod, script, self, kHistory);
}

void DisplayWindow::LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface) {
  (void)markup;
  if (!iface) return;
  bool devTest = false;
  if (RefPtr<MXmlNode> app = FindStyleElement(iface, u"Velkora2")) {
    if (app->GetAttributeBool(u"devtestmode", &devTest) < 0) devTest = false;
  }
  pages_.SetDevTest(devTest, BareGuidText(kConsoleWindowClass));
  definition_ = RefPtr<MInterfaceDefinition>(iface);
  if (RefPtr<MXmlNode> area = FindStyleElement(iface, u"VK2_Mood_DisplayArea"))
    background_ = ReadImageAttribute(iface, area.Get(), u"img_background");
}

std::shared_ptr<DisplayPage> DisplayWindow::MakePage(const TString& name) {
  Guid classId;
  if (ParseGuidText(name.view(), &classId) && name.view().front() != u'{') {
    void* made = nullptr;
    if (RuntimeCreateInstance(classId, kIID_MWindowClassFactory, &made) != kOk || !made)
      return nullptr;
    auto page = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(made));
    return WindowPage::Of(page.Get(), this, definition_, false);
  }
  if (!definition_) return nullptr;
  MWindowElement* made = nullptr;
  if (definition_->CreateWindowByName(kBorderElementClass, name.c_str(), this, &made) < 0 || !made)
    return nullptr;
  auto element = RefPtr<MWindowElement>::Adopt(made);
  std::shared_ptr<WindowPage> page = WindowPage::Of(element.Get(), this, definition_, true);
  if (!page) element->DestroyWindow();
  return page;
}

int32_t DisplayWindow::AnimationDuration() {
  PropertyValue value;
  if (GetProperty(kAnimationProperty, &value) == kOk && value.type == kPropertyInteger)
    return value.integer;
  return kDefaultAnimationMs;
}

MAppStateStore* DisplayWindow::FindStateStore() {
  for (MWindowElement* window = this; window;) {
    PropertyValue value;
    if (window->GetProperty(kAppStateProperty, &value) == kOk && value.type == kPropertyInterface &&
        value.object) {
      // The store answers no interface: the property holds it as it is.
      return static_cast<MAppStateStore*>(static_cast<MUnknown*>(value.object));
    }
    MWindowElement* parent = nullptr;
    if (window->GetValue(kValueParent, &parent, sizeof parent) != kOk) break;
    window = parent;
  }
  return nullptr;
}

void DisplayWindow::ShowStartPages() {
  MAppStateStore* state = FindStateStore();
  MUnknown* held = nullptr;
  if (state && state->GetObject(kDisplayStateKey, &held) >= 0 && held) {
    // Only a display stores this object under the key.
    pages_.SetEntries(RefPtr<DisplayEntries>::Adopt(static_cast<DisplayEntries*>(held)));
    pages_.RestoreShown();
    return;
  }
  if (state) state->SetObject(kDisplayStateKey, pages_.Entries());
  pages_.ShowInitial(DisplayStateNames(initialPages_ ? initialPages_() : TString()));
}

int32_t DisplayWindow::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  const bool drew = DrawOverWindow(background_.Get(), canvas);
  return (ModuleWindowCore::OnPaint(canvas, record) != 0 || drew) ? 1 : 0;
}

int32_t DisplayWindow::OnNotify(uint32_t code, uintptr_t argument) {
  // The state record reaches the interface window only once the window stands, so the start
  // pages wait for the first init.
  if (code == kNotifyInit && !started_) {
    started_ = true;
    ShowStartPages();
    pages_.Created();
  } else if (code == kNotifyCreated && started_) {
    pages_.Created();
  } else if (code == kNotifyDestroyed) {
    // The pages go with the window tree; only the entries outlive the window.
    pages_.ReleaseAll();
  }
  return ModuleWindowCore::OnNotify(code, argument);
}

}  // namespace vk2::gui
