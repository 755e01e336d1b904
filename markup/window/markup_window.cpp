#include "markup/window/markup_window.h"

#include <algorithm>
#include <atomic>
#include <new>

#include "component/object/query.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/gui/window_observer.h"
#include "markup/definition/window_definition.h"
#include "markup/services/markup_services.h"
#include "markup/window/loop_thread.h"
#include "markup/window/script_events.h"
#include "markup/window/window_methods.h"
#include "markup/window/window_properties.h"
#include "script/runtime/tessel_factory.h"

namespace vk2::markup {
namespace {

constexpr uint32_t kScriptObjectFlags = 0x10000;

// Declared on every window, so scripts find them even without a handler in the markup.
constexpr const char16_t* kDeclaredEvents[] = {
    u"OnInit",      u"OnDestroy",     u"OnMouseTopOver", u"OnMouseTopExit",
    u"OnMouseOver", u"OnMouseExit",   u"OnIntro",        u"OnExtro",
    u"OnEnable",    u"OnDisable",     u"OnHide",         u"OnShow",
    u"OnDockSlave", u"OnUndockSlave", u"OnDockMaster",   u"OnUndockMaster"};

constexpr const char16_t* kDockEvents[] = {u"OnDockSlave", u"OnUndockSlave", u"OnDockMaster",
                                           u"OnUndockMaster"};

struct ButtonEvent {
  uint32_t query;
  const char16_t* name;
};
constexpr ButtonEvent kButtonEvents[] = {
    {kQueryLeftDown, u"OnLeftButtonDown"},     {kQueryLeftUp, u"OnLeftButtonUp"},
    {kQueryMiddleDown, u"OnMiddleButtonDown"}, {kQueryMiddleUp, u"OnMiddleButtonUp"},
    {kQueryRightUp, u"OnRightButtonUp"},       {kQueryRightDown, u"OnRightButtonDown"}};

const char16_t* SimpleEvent(uint32_t code, uintptr_t argument) {
  switch (code) {
    case kNotifyClick:
      return u"OnClick";
    case kNotifyPointerTop:
      return argument ? u"OnMouseTopOver" : u"OnMouseTopExit";
    case kNotifyPointer:
      return argument ? u"OnMouseOver" : u"OnMouseExit";
    case kNotifyDoubleClick:
      return u"OnDoubleClick";
    case kNotifyLocationChanged:
      return u"OnLocationChange";
    case kNotifyShown:
      return u"OnShow";
    case kNotifyHidden:
      return u"OnHide";
    case kNotifyEnabled:
      return u"OnEnable";
    case kNotifyDisabled:
      return u"OnDisable";
    case kNotifyInit:
      return u"OnInit";
    default:
      return nullptr;
  }
}

MScriptMemberRegistry* RegistryOf(MScriptObject* script) {
  return script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
}

std::atomic<int32_t> gLiveWindows{0};

}  // namespace

MarkupWindow::MarkupWindow(MUnknown* base) : Aggregatable(base) {
  gLiveWindows.fetch_add(1, std::memory_order_relaxed);
}

MarkupWindow::~MarkupWindow() {
  gLiveWindows.fetch_sub(1, std::memory_order_relaxed);
}

int32_t MarkupWindow::LiveCount() {
  return gLiveWindows.load(std::memory_order_relaxed);
}

MarkupWindow* MarkupWindow::Make(MUnknown* controlling) {
  return new (std::nothrow) MarkupWindow(controlling);
}

RefPtr<MarkupWindow> MarkupWindow::Create() {
  return CreateWith(kIID_MWindowElement, &Make);
}

int32_t MarkupWindow::CreateAggregated(MUnknown* outer, MUnknown** inner, MarkupWindow** made) {
  return CreateAggregatedWith(outer, inner, made, &Make);
}

RefPtr<MarkupWindow> MarkupWindow::CreateWith(const Guid& partIid, Maker make) {
  RefPtr<MBaseObject> base = CreateObject<MBaseObject>(kRuntimeRootClass, kIID_MBaseObject);
  if (!base) return nullptr;
  MUnknown* controlling = static_cast<MUnknown*>(base.Get());
  {
    void* partInner = nullptr;
    if (CreateInstance(kBrintClass, partIid, &partInner, controlling) != kOk || !partInner)
      return nullptr;
    auto part = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(partInner));
    if (base->AddPart(part.Get()) != kOk) return nullptr;
  }
  MarkupWindow* window = make(controlling);
  if (!window) return nullptr;
  window->standAlone_ = true;
  // The base object's part list holds the wrapper from here on.
  if (base->AddPart(window->Inner()) != kOk) {
    window->Inner()->AddRef();
    window->Inner()->Release();
    return nullptr;
  }
  if (window->WantsScriptObject() && !window->SetUpScriptObject(base.Get())) return nullptr;
  window->SetUpControl();
  return RefPtr<MarkupWindow>(window);
}

int32_t MarkupWindow::CreateAggregatedWith(MUnknown* outer, MUnknown** inner, MarkupWindow** made,
                                           Maker make) {
  if (!outer || !inner) return kErrMissingArg;
  *inner = nullptr;
  auto* base = QueryBorrowed<MBaseObject>(outer, kIID_MBaseObject);
  if (!base) return kErrNoInterface;
  MarkupWindow* window = make(outer);
  if (!window) return kErrOutOfMemory;
  window->Inner()->AddRef();  // the caller's reference
  if (base->AddPart(window->Inner()) != kOk ||
      (window->WantsScriptObject() && !window->SetUpScriptObject(base))) {
    window->Inner()->Release();
    return kErrFailed;
  }
  window->SetUpControl();
  *inner = window->Inner();
  if (made) *made = window;
  return kOk;
}

MarkupWindow* MarkupWindow::From(MUnknown* object) {
  auto* control = object ? QueryBorrowed<MControl>(object, kIID_MControl) : nullptr;
  return control ? dynamic_cast<MarkupWindow*>(control) : nullptr;
}

void* MarkupWindow::FindPartFace(const Guid& iid, const void* face) {
  auto* base = QueryBorrowed<MBaseObject>(Controlling(), kIID_MBaseObject);
  void* found = nullptr;
  if (!base || base->QueryInterfaceAfter(iid, &found, 0, face) != kOk) return nullptr;
  return found;
}

bool MarkupWindow::SetUpScriptObject(MBaseObject* base) {
  script_ = QueryBorrowed<MScriptObject>(Controlling(), kIID_MScriptObject);
  if (!script_) {
    void* scriptInner = nullptr;
    if (CreateModuleInstance(kIID_MScriptObjectInner, Controlling(), &scriptInner) != kOk ||
        !scriptInner)
      return false;
    auto part = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(scriptInner));
    if (base->AddPart(part.Get()) != kOk) return false;
    script_ = QueryBorrowed<MScriptObject>(Controlling(), kIID_MScriptObject);
    if (!script_) return false;
  }
  script_->SetClassName(TString(u"MML_Window"));
  script_->SetVersion(kScriptObjectFlags);
  RegisterWindowMethods(script_, this);
  return true;
}

MWindowElement* MarkupWindow::Part() {
  if (!part_)
    part_ = static_cast<MWindowElement*>(
        FindPartFace(kIID_MWindowElement, static_cast<MWindowElement*>(this)));
  return part_;
}

void MarkupWindow::LoadDefinition() {
  auto* definition = static_cast<WindowDefinition*>(definition_.Get());
  if (!definition || !script_) return;
  for (const char16_t* name : kDeclaredEvents) {
    RefPtr<MScriptObject> member;
    script_->FindMember(TString(name), member.Put(), true);
  }
  // From the last to the first, so the earliest script of a name is the one left installed.
  MScriptEngine* engine = MarkupScriptEngine();
  const auto& scripts = definition->Scripts();
  for (auto it = scripts.rbegin(); it != scripts.rend(); ++it) {
    if (it->name.IsEmpty() || it->text.IsEmpty()) continue;
    if (engine && !engine->IsValidName(it->name)) continue;
    RefPtr<MScriptObject> member;
    if (!script_->FindMember(it->name, member.Put(), true) || !member) continue;
    if (ScriptDataEntity* data = AsDataEntity(member.Get())) data->SetValue(it->text);
  }
  MWindowElement* part = Part();
  if (!part) return;
  for (bool master : {true, false}) {
    const auto& points = definition->DockPoints(master);
    for (auto it = points.rbegin(); it != points.rend(); ++it) {
      RefPtr<MDockPoint> point = CreateObject<MDockPoint>(kBrintClass, kIID_MDockPoint);
      if (!point) continue;
      DockPointRecord record;
      record.name = it->name.c_str();
      record.offsetX = static_cast<int32_t>(it->anchor.offset.x);
      record.offsetY = static_cast<int32_t>(it->anchor.offset.y);
      record.alignX = it->anchor.fraction.x;
      record.alignY = it->anchor.fraction.y;
      record.master = master ? 1 : 0;
      if (point->Setup(&record) == kOk) part->AddDockPoint(point.Get(), master ? 1 : 0);
    }
  }
}

// ---- Forwarded operations ----------------------------------------------------------------

// ---- Own operations ------------------------------------------------------------------------

int32_t MarkupWindow::Paint(MCanvas* canvas, const PaintRecord* record) {
  bool drew = false;
  if (definition_ && canvas) {
    uint32_t state = 0;
    GetValue(kValueStateFlags, &state, sizeof state);
    SizeI extent;
    GetValue(kValueVirtualSize, &extent, sizeof extent);
    const double opacity = (state & kStateDisabledLook) ? 0.5 : 1.0;
    const VisualParameters params = ReadVisualParameters(this);
    drew = definition_->Draw(RectI{0, 0, extent.width, extent.height}, canvas, nullptr, 0,
                             (state & kStateComposite) ? 1 : 0, opacity, params) != 0;
  }
  MWindowElement* part = Part();
  const bool partDrew = part && part->Paint(canvas, record) > 0;
  return drew || partDrew ? 1 : 0;
}

int32_t MarkupWindow::HitCode(const PointI* point) {
  if (!definition_ || !point) return kHitNone;
  SizeI extent;
  GetValue(kValueVirtualSize, &extent, sizeof extent);
  return static_cast<int32_t>(
      definition_->HitCode(RectI{0, 0, extent.width, extent.height}, *point));
}

int32_t MarkupWindow::Region(MMaskImage* target, int32_t width, int32_t height) {
  if (definition_ && definition_->ShapeOperation(RectI{0, 0, width, height}, target)) return 1;
  if (target) target->CombineRect(RectI{0, 0, width, height}, kClipUnion);
  return 1;
}

namespace {

// Notifications whose argument is a plain value, so that they can be handed to the loop.
bool ValueNotification(uint32_t code) {
  switch (code) {
    case kNotifyClick:
    case kNotifyPointerTop:
    case kNotifyPointer:
    case kNotifyDoubleClick:
    case kNotifyLocationChanged:
    case kNotifyShown:
    case kNotifyHidden:
    case kNotifyEnabled:
    case kNotifyDisabled:
    case kNotifyFocus:
    case kNotifyInit:
    case kNotifyIntro:
    case kNotifyExtro:
      return true;
    default:
      return false;
  }
}

bool ButtonQuery(uint32_t code) {
  return code >= kQueryLeftDown && code <= kQueryRightDown;
}

}  // namespace

int32_t MarkupWindow::Notify(uint32_t code, uintptr_t argument) {
  // Event scripts run on the loop that owns the window. A notification carrying a record cannot
  // outlive its caller, so only value notifications are handed over.
  if (OffWindowLoop(this)) {
    if (!ValueNotification(code)) return kErrWrongState;
    return PostToWindowLoop(this, [this, code, argument] { Notify(code, argument); }) ? kOk
                                                                                      : kErrFailed;
  }
  // The events may run scripts that drop the last outside reference to this window.
  RefPtr<MWindowElement> keep(static_cast<MWindowElement*>(this));
  FireNotifyEvents(code, argument);
  HandleNotify(code, argument);
  MWindowElement* part = Part();
  return part ? part->Notify(code, argument) : 0;
}

int32_t MarkupWindow::ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) {
  if (OffWindowLoop(this)) return kErrWrongState;
  if (code == kNotifyDestroyed && child && script_) {
    auto* childScript = QueryBorrowed<MScriptObject>(child, kIID_MScriptObject);
    RefPtr<MScriptObject> parent;
    // DestroyWindow has already taken it out when it was asked for by a script.
    if (childScript && childScript->GetParent(parent.Put()) && parent.Get() == script_) {
      if (auto* registry = RegistryOf(script_)) registry->RemoveChild(childScript);
    }
  }
  MWindowElement* part = Part();
  return part ? part->ChildNotify(code, child, argument) : 0;
}

int32_t MarkupWindow::Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  if (OffWindowLoop(this)) {
    // A button's point is copied and its event runs on the loop; nothing is answered.
    if (!ButtonQuery(code) || !a) return kErrWrongState;
    const PointI point = *reinterpret_cast<const PointI*>(a);
    return PostToWindowLoop(this, [this, code, point, b,
                                   c] { Query(code, reinterpret_cast<uintptr_t>(&point), b, c); })
               ? kOk
               : kErrFailed;
  }
  const bool fired = FireButtonEvent(code, a);
  MWindowElement* part = Part();
  const int32_t answer = part ? part->Query(code, a, b, c) : 0;
  return fired ? 1 : answer;
}

int32_t MarkupWindow::SetDefinition(MWindowDefinition* definition) {
  definition_ = RefPtr<MWindowDefinition>(definition);
  return kOk;
}

int32_t MarkupWindow::HasNoLook() {
  if (HasOwnContent()) return 0;
  return definition_ ? definition_->IsEmpty(0) : 1;
}

void MarkupWindow::FireNotifyEvents(uint32_t code, uintptr_t argument) {
  if (!script_) return;
  switch (code) {
    case kNotifyCreated: {
      script_->RegisterWithEngine(nullptr);
      const char16_t* name = nullptr;
      if (GetValue(kValueName, &name, sizeof name) == kOk && name) script_->SetName(TString(name));
      MWindowElement* parent = nullptr;
      GetValue(kValueParent, &parent, sizeof parent);
      auto* parentScript =
          parent ? QueryBorrowed<MScriptObject>(parent, kIID_MScriptObject) : nullptr;
      if (auto* registry = RegistryOf(parentScript)) registry->AddChild(script_);
      return;
    }
    case kNotifyDestroyed:
      FireScriptEvent(script_, u"OnDestroy");
      script_->UnregisterFromEngine(nullptr);
      return;
    case kNotifyPointerTop:
      if (argument) ShowHoverHint();
      break;
    case kNotifyDock: {
      const auto* record = reinterpret_cast<const DockChangeRecord*>(argument);
      if (!record || record->kind < 0 || record->kind > 3) return;
      RefPtr<MScriptObject> params = MakeEventParams({TString(record->name ? record->name : u"")});
      FireScriptEvent(script_, kDockEvents[record->kind], params.Get());
      return;
    }
    case kNotifyIntro:
    case kNotifyExtro: {
      const auto duration = static_cast<uint32_t>(argument);
      RefPtr<MScriptObject> params =
          MakeEventParams({TString::Format(u"%d", static_cast<int32_t>(duration)),
                           TString::Format(u"%u", duration)});
      FireScriptEvent(script_, code == kNotifyIntro ? u"OnIntro" : u"OnExtro", params.Get());
      return;
    }
    default:
      break;
  }
  if (const char16_t* name = SimpleEvent(code, argument)) FireScriptEvent(script_, name);
}

void MarkupWindow::ReleaseHostLater() {
  if (!ownHost_) return;
  // The host is usually what is destroying this window: it goes once its caller is done.
  auto* held = new (std::nothrow) RefPtr<MHostWindow>(std::move(ownHost_));
  MWindowElement* part = Part();
  if (!held) return;
  if (!part ||
      part->PostTask([](void* p) { delete static_cast<RefPtr<MHostWindow>*>(p); }, held) != kOk) {
    ownHost_ = std::move(*held);
    delete held;
  }
}

void MarkupWindow::HandleNotify(uint32_t code, uintptr_t argument) {
  if (code == kNotifyDestroyed) {
    // Whoever keeps a list of open windows hears of it through a part of the base object.
    RefPtr<MWindowObserver> observer;
    if (Controlling()->QueryInterface(kIID_MWindowObserver,
                                      reinterpret_cast<void**>(observer.Put()), 1, 0) == kOk &&
        observer) {
      observer->WindowDestroyed(static_cast<MWindowElement*>(this));
    }
    ReleaseHostLater();
  }
  if (!definition_) return;
  if (code == kNotifyAttached) {
    TString hint;
    definition_->GetHint(&hint);
    if (!hint.IsEmpty()) {
      PropertyValue value;
      value.type = kPropertyString;
      value.text = hint.c_str();
      SetProperty(u"hoverhint", kPropertyString, &value);
    }
  } else if (code == kNotifySizeRequest && argument) {
    auto* size = reinterpret_cast<SizeI*>(argument);
    SizeI limit;
    if (definition_->GetSizeLimit(&limit, kSizeMinimum)) {
      size->width = std::max(size->width, limit.width);
      size->height = std::max(size->height, limit.height);
    }
    if (definition_->GetSizeLimit(&limit, kSizeMaximum)) {
      size->width = std::min(size->width, limit.width);
      size->height = std::min(size->height, limit.height);
    }
  } else if (code == kNotifyEnabled || code == kNotifyDisabled) {
    PostCommand(kCmdRepaint, 0, 0, 0, nullptr, 0, 0);
  }
}

bool MarkupWindow::FireButtonEvent(uint32_t code, uintptr_t point) {
  if (!script_ || !point) return false;
  for (const ButtonEvent& event : kButtonEvents) {
    if (event.query != code) continue;
    const auto* at = reinterpret_cast<const PointI*>(point);
    RefPtr<MScriptObject> params = MakePointParams(at->x, at->y);
    return FireScriptEvent(script_, event.name, params.Get());
  }
  return false;
}

void MarkupWindow::ShowHoverHint() {
  TString hint = ReadStringProperty(this, u"hoverhint");
  if (hint.IsEmpty()) return;
  ShowHintOnTopWindow(this, hint);
}

}  // namespace vk2::markup
