#include "audio/effects/control_object_core.h"

#include <algorithm>

#include "audio/common/audio_runtime.h"
#include "component/module/module_glue.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_factory.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2 {
namespace {

// The version word the script objects of control objects carry.
constexpr uint32_t kControlScriptVersion = 0x10000;
constexpr char16_t kRegisterFailed[] = u"Error registering equalizer callback.";

}  // namespace

ControlObjectCore::~ControlObjectCore() {
  parts_.Clear();
}

bool ControlObjectCore::AttachScript(MBaseObject* outer, const TString& name,
                                     const TString& className) {
  void* made = nullptr;
  if (CreateScriptInstance(kIID_MScriptObjectInner, outer, &made) < 0 || !made) return false;
  // The creator's reference to the part's inner side passes to the part list.
  auto part = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(made));
  if (parts_.Add(part.Get()) < 0) return false;
  auto* script = static_cast<MScriptObject*>(parts_.Find(kIID_MScriptObject));
  if (!script) return false;
  script_ = script;
  script_->SetName(name);
  script_->SetClassName(className);
  script_->SetVersion(kControlScriptVersion);
  return true;
}

void ControlObjectCore::AddFunction(const char16_t* name, const char16_t* help,
                                    ScriptHandler handler, uintptr_t data, uintptr_t tag) {
  if (!script_) return;
  auto* registry = static_cast<MScriptMemberRegistry*>(script_->GetMemberRegistry());
  if (registry) registry->AddFunction(name, help, false, handler, script_, data, tag);
}

void ControlObjectCore::AddChangeCallbackFunctions(const char16_t* registerHelp,
                                                   const char16_t* unregisterHelp) {
  const auto self = reinterpret_cast<uintptr_t>(this);
  AddFunction(u"RegisterChangeCallback", registerHelp, &RegisterChangeCallbackHandler, self);
  AddFunction(u"UnregisterChangeCallback", unregisterHelp, &UnregisterChangeCallbackHandler, self);
}

RefPtr<MPreferenceStore> ControlObjectCore::OpenSubsection(MPreferenceStore* section,
                                                           const char16_t* name) {
  if (!section) return nullptr;
  auto store = AudioCreate<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (!store || store->SetBase(section) < 0 || store->OpenSection(name, 1) < 0) return nullptr;
  return store;
}

int32_t ControlObjectCore::AttachTo(uintptr_t parent) {
  auto* parentObject = reinterpret_cast<MScriptObject*>(parent);
  if (!parentObject || !script_) return kErrFailed;
  auto* registry = static_cast<MScriptMemberRegistry*>(parentObject->GetMemberRegistry());
  if (!registry || !registry->AddChild(script_)) return kErrFailed;
  script_->RegisterWithEngine(nullptr);
  return kOk;
}

void ControlObjectCore::UnregisterFromEngine() {
  if (script_) script_->UnregisterFromEngine(nullptr);
}

int32_t ControlObjectCore::UpdateCallback(MEffectChangeCallback* callback, bool add) {
  if (!callback) return kErrMissingArg;
  std::lock_guard lock(callbacksMutex_);
  auto it = std::find(callbacks_.begin(), callbacks_.end(), callback);
  if (add) {
    if (it != callbacks_.end()) return kErrAlreadyPresent;
    callbacks_.push_back(callback);
    return kOk;
  }
  if (it == callbacks_.end()) return kErrNotFound;
  callbacks_.erase(it);
  return kOk;
}

void ControlObjectCore::Notify(MScriptObject* argument) {
  std::vector<MEffectChangeCallback*> callbacks;
  {
    std::lock_guard lock(callbacksMutex_);
    callbacks = callbacks_;
  }
  for (MEffectChangeCallback* callback : callbacks)
    callback->OnEffectChanged();
  bindings_.Fire(TString(), argument);
}

TString ControlObjectCore::ErrorText(int32_t code) {
  RefPtr<MErrorRegistry> registry(ModuleErrorRegistry());
  if (!registry) registry = AudioCreate<MErrorRegistry>(kRuntimeRootClass, kIID_MErrorRegistry);
  const ErrorRecord* record = registry ? registry->GetRecord(code, 0) : nullptr;
  if (!record || !record->message) return TString(u"unknown error");
  TString text;
  AssignNarrow(text, record->message);
  return text;
}

int32_t ControlObjectCore::RegisterChangeCallbackHandler(HandlerCall& call) {
  auto* self = reinterpret_cast<ControlObjectCore*>(call.handlerData);
  TString script;
  TString target;
  if (UnpackScriptArgs(call, u"Ww", &script, &target) < 0) return kScriptBadArguments;
  if (target.IsEmpty() && call.extra) {
    // No object named: the change runs on the object whose script registered it.
    reinterpret_cast<MScriptObject*>(call.extra)->GetUid(&target);
  }
  if (script.IsEmpty() || target.IsEmpty() ||
      !self->bindings_.Update(TString(), target, script, true, call.engine)) {
    ReportScriptError(call, kRegisterFailed);
    return kScriptReportedFailure;
  }
  SetTextResult(call, u"registered");
  return kOk;
}

int32_t ControlObjectCore::UnregisterChangeCallbackHandler(HandlerCall& call) {
  auto* self = reinterpret_cast<ControlObjectCore*>(call.handlerData);
  TString script;
  TString target;
  if (UnpackScriptArgs(call, u"Ww", &script, &target) < 0) return kScriptBadArguments;
  if (target.IsEmpty() && call.extra) {
    reinterpret_cast<MScriptObject*>(call.extra)->GetUid(&target);
  }
  // Every binding of the target goes, whatever its script.
  if (!self->bindings_.Update(TString(), target, script, false, nullptr)) {
    ReportScriptError(call, kRegisterFailed);
    return kScriptReportedFailure;
  }
  SetTextResult(call, u"unregistered");
  return kOk;
}

void SetTextResult(HandlerCall& call, const TString& text) {
  if (ScriptDataEntity* result = AsDataEntity(call.result)) result->SetValue(text);
}

bool HasArguments(const HandlerCall& call) {
  return HandlerCallArgs(call).Count() > 0;
}

TString ValueText(double value) {
  return TString::Format(u"%g", value);
}

}  // namespace vk2
