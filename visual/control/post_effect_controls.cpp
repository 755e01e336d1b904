#include "visual/control/post_effect_controls.h"

#include <cstdlib>
#include <new>

#include "audio/common/audio_runtime.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

constexpr char16_t kNotFound[] = u"The specified setting was not found.";

// A hexadecimal integer after "0x", else the leading part a decimal real-number parse accepts.
bool ReadNumber(const NarrowString& text, double* value) {
  const char* start = text.c_str();
  char* end = nullptr;
  if (start[0] == '0' && (start[1] == 'x' || start[1] == 'X')) {
    *value = static_cast<double>(std::strtoll(start + 2, &end, 16));
    return end != start + 2;
  }
  *value = std::strtod(start, &end);
  return end != start;
}

bool ReadInteger(const NarrowString& text, int32_t* value) {
  const char* start = text.c_str();
  char* end = nullptr;
  const bool hex = start[0] == '0' && (start[1] == 'x' || start[1] == 'X');
  if (hex) start += 2;
  *value = static_cast<int32_t>(std::strtol(start, &end, hex ? 16 : 10));
  return end != start;
}

}  // namespace

// ---- Post-effect control ----------------------------------------------------------------------

RefPtr<PostEffectControl> PostEffectControl::Make(MVisualPostEffect* effect, const Guid& classId,
                                                  const TString& moduleName,
                                                  MVisualControl* owner) {
  RefPtr<PostEffectControl> object(new (std::nothrow) PostEffectControl);
  if (!object || !effect) return nullptr;
  object->effect_ = RefPtr<MVisualPostEffect>(effect);
  object->classId_ = classId;
  object->moduleName_ = moduleName;
  object->owner_ = owner;
  ControlObjectCore& core = object->core_;
  if (!core.AttachScript(static_cast<MBaseObject*>(object.Get()), moduleName,
                         TString::Format(u"%s control interface", moduleName.c_str()))) {
    return nullptr;
  }
  const auto data = reinterpret_cast<uintptr_t>(object.Get());
  core.AddFunction(u"Get",
                   u"Gets a setting parameter for this post effect and the specified group. The "
                   u"first argument is the name of the group to get the setting for and the "
                   u"second is the name of the setting.",
                   &GetHandler, data);
  core.AddFunction(u"Set",
                   u"Sets a setting parameter for this post effect and the specified group. The "
                   u"first argument is the name of the group to get the setting for, the second "
                   u"is the name of the setting and the third is the value to set it to.",
                   &SetHandler, data);
  core.AddFunction(u"SendFilterMessage",
                   u"Sends a filter message to the post effects enabled in a visual group. "
                   u"Allows you to notify the post effects to reload their settings etc.",
                   &SendFilterMessageHandler, data);
  return object;
}

RefPtr<MPreferenceStore> PostEffectControl::OpenGroup(const TString& group) {
  auto store = AudioCreate<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (!store) return nullptr;
  const TString path = TString::Format(u"visuals/groups/%s/%s", group.c_str(), moduleName_.c_str());
  if (store->OpenSection(path.c_str(), 1) < 0) return nullptr;
  return store;
}

RefPtr<MVisualPostEffect> PostEffectControl::LoadFor(MPreferenceStore* store) {
  auto effect = AudioCreate<MVisualPostEffect>(classId_, kIID_MVisualPostEffect);
  if (!effect) effect = effect_;
  if (store) effect->LoadSettings(store);
  return effect;
}

int32_t PostEffectControl::Get(const TString& group, const TString& setting, TString* value) {
  RefPtr<MPreferenceStore> store = OpenGroup(group);
  std::lock_guard lock(lock_);
  RefPtr<MVisualPostEffect> effect = LoadFor(store.Get());
  if (effect->GetString(setting.c_str(), value) >= 0) return kOk;
  double number = 0.0;
  if (effect->GetNumber(setting.c_str(), &number) >= 0) {
    *value = TString::Format(u"%lf", number);
    return kOk;
  }
  int32_t integer = 0;
  if (effect->GetInteger(setting.c_str(), &integer) >= 0) {
    *value = TString::Format(u"%d", integer);
    return kOk;
  }
  return kErrNotFound;
}

int32_t PostEffectControl::Set(const TString& group, const TString& setting, const TString& value) {
  RefPtr<MPreferenceStore> store = OpenGroup(group);
  std::lock_guard lock(lock_);
  RefPtr<MVisualPostEffect> effect = LoadFor(store.Get());
  const NarrowString text = NarrowFromWide(value.c_str());
  double number = 0.0;
  int32_t integer = 0;
  const bool set =
      effect->SetString(setting.c_str(), value.c_str()) >= 0 ||
      (ReadNumber(text, &number) &&
       (effect->SetNumber(setting.c_str(), number) >= 0 ||
        (ReadInteger(text, &integer) && effect->SetInteger(setting.c_str(), integer) >= 0)));
  if (!set) return kErrNotFound;
  if (store) effect->SaveSettings(store.Get());
  return kOk;
}

int32_t PostEffectControl::AttachPart(const Guid& classId, const Guid& iid) {
  return core_.Parts().Attach(classId, iid, static_cast<MBaseObject*>(this));
}

int32_t PostEffectControl::AddPart(MUnknown* part) {
  return core_.Parts().Add(part);
}

int32_t PostEffectControl::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                               const void* after) {
  return core_.Parts().FindAfter(iid, out, addRef, after);
}

int32_t PostEffectControl::GetHandler(HandlerCall& call) {
  if (!HasArguments(call)) return kScriptBadArguments;
  TString group;
  TString setting;
  if (UnpackScriptArgs(call, u"WW", &group, &setting) < 0) return kScriptBadArguments;
  TString value;
  if (reinterpret_cast<PostEffectControl*>(call.handlerData)->Get(group, setting, &value) < 0) {
    ReportScriptError(call, kNotFound);
    return kScriptReportedFailure;
  }
  SetTextResult(call, value);
  return kOk;
}

int32_t PostEffectControl::SetHandler(HandlerCall& call) {
  if (!HasArguments(call)) return kScriptBadArguments;
  TString group;
  TString setting;
  TString value;
  if (UnpackScriptArgs(call, u"WWW", &group, &setting, &value) < 0) return kScriptBadArguments;
  if (reinterpret_cast<PostEffectControl*>(call.handlerData)->Set(group, setting, value) < 0) {
    ReportScriptError(call, kNotFound);
    return kScriptReportedFailure;
  }
  SetTextResult(call, u"set");
  return kOk;
}

int32_t PostEffectControl::SendFilterMessageHandler(HandlerCall& call) {
  if (!HasArguments(call)) return kScriptBadArguments;
  TString group;
  TString message;
  if (UnpackScriptArgs(call, u"WW", &group, &message) < 0) return kScriptBadArguments;
  auto* self = reinterpret_cast<PostEffectControl*>(call.handlerData);
  // An unknown group is no failure: there is simply nobody to tell.
  if (self->owner_->SendFilterMessage(group.c_str(), message.c_str(), 0) < 0) return kOk;
  SetTextResult(call, u"sent");
  return kOk;
}

// ---- Container ----------------------------------------------------------------------------

RefPtr<PostEffectContainer> PostEffectContainer::Make(MVisualHost* host, MVisualControl* owner) {
  RefPtr<PostEffectContainer> object(new (std::nothrow) PostEffectContainer);
  if (!object || !host) return nullptr;
  object->host_ = RefPtr<MVisualHost>(host);
  object->owner_ = owner;
  if (!object->core_.AttachScript(static_cast<MBaseObject*>(object.Get()), TString(u"posteffects"),
                                  TString(u"PostEffect Settings"))) {
    return nullptr;
  }
  object->Refresh();
  object->listening_ = host->AddRemoveListener(object.Get(), 1) >= 0;
  return object;
}

void PostEffectContainer::Shutdown() {
  if (listening_) host_->AddRemoveListener(this, 0);
  listening_ = false;
  std::lock_guard lock(lock_);
  // The engine's references would keep these objects until the engine itself ends, after the
  // module whose code they run may have gone.
  for (auto& [name, child] : children_) {
    if (MScriptObject* script = child->Script()) script->UnregisterFromEngine(nullptr);
  }
  children_.clear();
  core_.UnregisterFromEngine();
}

void PostEffectContainer::Refresh() {
  struct Offered {
    RefPtr<MVisualPostEffect> effect;
    Guid classId;
  };
  std::map<std::u16string, Offered> offered;
  MVisualPostEffect* effect = nullptr;
  Guid id{};
  while (host_->NextPostEffect(&effect, &id) >= 0 && effect) {
    TString name;
    if (effect->GetString(u"modulename", &name) < 0) continue;
    effect->AddRef();
    offered[name.c_str()] = Offered{RefPtr<MVisualPostEffect>::Adopt(effect), id};
  }
  if (effect) effect->Release();

  std::lock_guard lock(lock_);
  MScriptObject* script = core_.Script();
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  for (auto it = children_.begin(); it != children_.end();) {
    if (offered.count(it->first)) {
      ++it;
      continue;
    }
    if (registry) registry->RemoveChild(it->second->Script());
    it = children_.erase(it);
  }
  for (auto& [name, item] : offered) {
    if (children_.count(name)) continue;
    RefPtr<PostEffectControl> control =
        PostEffectControl::Make(item.effect.Get(), item.classId, TString(name.c_str()), owner_);
    if (!control || control->AttachTo(reinterpret_cast<uintptr_t>(script)) < 0) continue;
    children_[name] = control;
  }
}

int32_t PostEffectContainer::AttachPart(const Guid& classId, const Guid& iid) {
  return core_.Parts().Attach(classId, iid, static_cast<MBaseObject*>(this));
}

int32_t PostEffectContainer::AddPart(MUnknown* part) {
  return core_.Parts().Add(part);
}

int32_t PostEffectContainer::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                                 const void* after) {
  return core_.Parts().FindAfter(iid, out, addRef, after);
}

}  // namespace vk2
