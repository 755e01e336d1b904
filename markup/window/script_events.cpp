#include "markup/window/script_events.h"

#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "script/runtime/script_module.h"
#include "script/runtime/tessel_factory.h"

namespace vk2::markup {
namespace {

RefPtr<MScriptObject> Make(const Guid& iid) {
  void* p = nullptr;
  if (CreateModuleInstance(iid, nullptr, &p) != kOk || !p) return nullptr;
  return RefPtr<MScriptObject>::Adopt(static_cast<MScriptObject*>(p));
}

// A fresh scope holding `item` under its name.
RefPtr<MScriptObject> Scope(MScriptObject* item) {
  RefPtr<MScriptObject> scope = Make(kIID_MScriptMemberRegistry);
  if (!scope || !item) return nullptr;
  auto* registry = static_cast<MScriptMemberRegistry*>(scope->GetMemberRegistry());
  if (!registry || !registry->AddChild(item)) return nullptr;
  return scope;
}

}  // namespace

MScriptEngine* MarkupScriptEngine() {
  return ScriptModule::Engine();
}

RefPtr<MScriptObject> NewScriptItem() {
  return Make(kIID_ScriptDataEntity);
}

RefPtr<MScriptObject> MakeEventParams(std::initializer_list<TString> values) {
  RefPtr<MScriptObject> params = NewScriptItem();
  if (!params) return nullptr;
  params->SetName(TString(u"params"));
  for (const TString& value : values)
    AddArrayMember(params.Get(), value, TString());
  return Scope(params.Get());
}

RefPtr<MScriptObject> MakeRecordParams(std::initializer_list<EventMember> members) {
  RefPtr<MScriptObject> params = NewScriptItem();
  ScriptDataEntity* data = params ? AsDataEntity(params.Get()) : nullptr;
  if (!data) return nullptr;
  params->SetName(TString(u"params"));
  MScriptObject* record = data->AppendNew();
  if (!record) return nullptr;
  for (const EventMember& member : members)
    AddArrayMember(record, member.value, TString(member.name));
  return Scope(params.Get());
}

RefPtr<MScriptObject> MakePointParams(int32_t x, int32_t y) {
  return MakeRecordParams({{u"x", TString::Format(u"%d", x)}, {u"y", TString::Format(u"%d", y)}});
}

bool FireScriptEvent(MScriptObject* script, const char16_t* name, MScriptObject* params) {
  if (!script) return false;
  RefPtr<MScriptObject> member;
  if (!script->FindMember(TString(name), member.Put(), false) || !member) return false;
  RefPtr<MScriptObject> result;
  return member->Call(result.Put(), MarkupScriptEngine(), 0, script, params);
}

}  // namespace vk2::markup
