#include "script/object/builtins.h"

#include "script/object/handler_results.h"

#include <unordered_set>
#include <vector>

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/ref_ptr.h"
#include "script/object/script_data_object.h"

namespace vk2 {
namespace {

// The call's object, resolved (a data item holding a UID acts for that object); reports and
// gives null when the function was called without one.
RefPtr<MScriptObject> Target(HandlerCall& call) {
  if (!call.object) {
    ReportScriptError(call, u"This function needs to be used explicitly on an object.");
    return nullptr;
  }
  RefPtr<MScriptObject> target;
  call.object->Resolve(target.Put());
  return target;
}

void SetResult(HandlerCall& call, const TString& text) {
  if (ScriptDataEntity* result = AsDataEntity(call.result)) result->SetValue(text);
}

int32_t BroadcastScript(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  TString script;
  if (UnpackScriptArgs(call, u"W", &script) < 0) return kHandlerBadArguments;
  // Depth first, a node before its children, children from the last to the first; a visited
  // set keeps a cycle made through AddChild from looping.
  std::vector<RefPtr<MScriptObject>> order;
  std::unordered_set<MScriptObject*> visited;
  std::vector<RefPtr<MScriptObject>> pending{target};
  while (!pending.empty()) {
    RefPtr<MScriptObject> node = std::move(pending.back());
    pending.pop_back();
    if (!visited.insert(node.Get()).second) continue;
    order.push_back(node);
    ScriptObjectList children;
    node->EnumerateChildren(&children, kScriptKindObject, true);
    for (MScriptObject* child : children)
      pending.push_back(RefPtr<MScriptObject>::Adopt(child));
  }
  for (const RefPtr<MScriptObject>& node : order) {
    if (call.engine) call.engine->Run(script, nullptr, node.Get(), nullptr, nullptr);
  }
  return 0;
}

int32_t Enumerate(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  int32_t kind = static_cast<int32_t>(call.handlerTag);
  ScriptNameList names;
  target->EnumerateNames(&names, kind, kind == kScriptKindAll);
  for (const TString& name : names)
    AddArrayMember(call.result, name, TString());
  return 0;
}

int32_t HelpText(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  TString text;
  target->Help(&text);
  SetResult(call, text);
  return 0;
}

int32_t DoesChildExist(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  TString name;
  int32_t count = UnpackScriptArgs(call, u"w", &name);
  if (count < 0) return kHandlerBadArguments;
  if (count == 0) {
    ReportScriptError(call, u"Child name required.");
    return kHandlerFailed;
  }
  RefPtr<MScriptObject> child;
  SetResult(call, target->FindMember(name, child.Put(), false) ? u"1" : u"0");
  return 0;
}

int32_t ObjectName(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  TString text;
  target->GetName(&text);
  SetResult(call, text);
  return 0;
}

int32_t ObjectClassName(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  TString text;
  target->GetClassName(&text);
  SetResult(call, text);
  return 0;
}

int32_t ObjectVersion(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  SetResult(call, TString::Format(u"%x", target->GetVersion()));
  return 0;
}

int32_t IsScalar(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  ScriptDataEntity* data = AsDataEntity(target.Get());
  SetResult(call, data && data->IsScalar() ? u"true" : u"false");
  return 0;
}

int32_t IsArray(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  ScriptDataEntity* data = AsDataEntity(target.Get());
  SetResult(call, data && data->IsArray() ? u"true" : u"false");
  return 0;
}

int32_t ArraySize(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  ScriptDataEntity* data = AsDataEntity(target.Get());
  TString text;
  if (data && data->IsScalar()) data->GetValue(&text);
  // An empty value is an empty array, so it has size 0 (as foreach runs no pass over it).
  if (!data || (data->IsScalar() && !text.IsEmpty())) {
    ReportScriptError(call, u"This function can only operate on an array.");
    return kHandlerFailed;
  }
  SetResult(call, TString::Format(u"%u", data->ArraySize()));
  return 0;
}

int32_t IsValidIndex(HandlerCall& call) {
  RefPtr<MScriptObject> target = Target(call);
  if (!target) return kHandlerFailed;
  TString index;
  if (UnpackScriptArgs(call, u"W", &index) < 0) return kHandlerBadArguments;
  ScriptDataEntity* data = AsDataEntity(target.Get());
  SetResult(call, data && data->IsValidIndex(index) ? u"true" : u"false");
  return 0;
}

}  // namespace

void AddObjectBuiltins(MScriptMemberRegistry* base) {
  base->AddFunction(u"BroadcastScript", u"Broadcast a script to all child objects", false,
                    BroadcastScript, nullptr, 0, 0);
  base->AddFunction(u"Funcs", u"Enumerate functions", false, Enumerate, nullptr, 0,
                    kScriptKindFunction);
  base->AddFunction(u"Help", u"Query for help", false, HelpText, nullptr, 0, 0);
  base->AddFunction(u"Children", u"Enumerate children", false, Enumerate, nullptr, 0,
                    kScriptKindObject);
  base->AddFunction(u"Members", u"Enumerate members", false, Enumerate, nullptr, 0,
                    kScriptKindData);
  base->AddFunction(u"All", u"Enumerate everything", false, Enumerate, nullptr, 0, kScriptKindAll);
  base->AddFunction(u"DoesChildExist",
                    u"Does this object have a child?  Parameters:  The name of the child to query.",
                    false, DoesChildExist, nullptr, 0, 0);
  base->AddFunction(u"_Name", u"Get object's Script name", false, ObjectName, nullptr, 0, 0);
  base->AddFunction(u"_ObjectName", u"Get object's type name", false, ObjectClassName, nullptr, 0,
                    0);
  base->AddFunction(u"_Version", u"Get object's implementation version", false, ObjectVersion,
                    nullptr, 0, 0);
}

void AddDataBuiltins(MScriptMemberRegistry* base) {
  base->AddFunction(u"IsScalar", u"Is this data item a string?", false, IsScalar, nullptr, 0, 2);
  base->AddFunction(u"IsArray", u"Is this data item an array?", false, IsArray, nullptr, 0, 2);
  base->AddFunction(u"ArraySize", u"Get the length of an array.", false, ArraySize, nullptr, 0, 2);
  base->AddFunction(
      u"IsValidIndex",
      u"Query whether an item exists at the specified index.   Parameter: Index in question.",
      false, IsValidIndex, nullptr, 0, 2);
}

}  // namespace vk2
