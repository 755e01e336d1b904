#include "component/script/script_report.h"

#include "interfaces/ids.h"

namespace vk2 {

void ReportScriptError(MScriptEngine* engine, const TString& name, const TString& message) {
  if (!engine) return;
  engine->WriteConsole(0, TString::Format(u"%s: %s\n", name, message));
}

void ReportScriptError(HandlerCall& call, const TString& message) {
  ReportScriptError(call.engine, call.name, message);
}

ScriptDataEntity* AsDataEntity(MScriptObject* object) {
  if (!object) return nullptr;
  return static_cast<ScriptDataEntity*>(object->InternalQueryInterface(kIID_ScriptDataEntity));
}

bool AddArrayMember(MScriptObject* item, const TString& value, const TString& name) {
  ScriptDataEntity* data = AsDataEntity(item);
  if (!data) return false;
  MScriptObject* member = data->AppendNew();
  if (!member) return false;
  if (!name.IsEmpty()) member->SetName(name);
  if (ScriptDataEntity* memberData = AsDataEntity(member)) memberData->SetValue(value);
  return true;
}

void SetCallResult(HandlerCall& call, MScriptObject* item) {
  if (item) item->AddRef();
  if (call.result) call.result->Release();
  call.result = item;
}

}  // namespace vk2
