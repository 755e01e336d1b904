#include "core/script/callback_functions.h"

#include "component/script/handler_call_args.h"
#include "core/script/script_args.h"
#include "core/script/script_errors.h"
#include "core/script/script_native_object.h"

namespace vk2 {
namespace {

constexpr uintptr_t kUnregister = 0;
constexpr uintptr_t kRegister = 1;

// The object a binding runs on when the call names none: the script's `this`, so that the
// binding belongs to the window (or other object) whose script made it and goes with it.
TString DefaultTarget(const HandlerCall& call) {
  auto* self = reinterpret_cast<MScriptObject*>(call.extra);
  MScriptObject* target = self ? self : call.object;
  TString uid;
  if (target) target->GetUid(&uid);
  return uid;
}

int32_t UpdateCallback(HandlerCall& call) {
  constexpr const char16_t* kFormat = u"WWw";
  if (!HasRequiredArgs(call, kFormat)) return kScriptBadArguments;
  TString event, script, target = DefaultTarget(call);
  if (UnpackScriptArgs(call, kFormat, &event, &script, &target) < 0) return kScriptBadArguments;
  auto* table = reinterpret_cast<ScriptBindingTable*>(call.handlerData);
  const bool add = call.handlerTag == kRegister;
  table->Update(event, target, script, add, call.engine);
  SetResultText(call, add ? TString(u"registered") : TString(u"unregistered"));
  return kScriptDone;
}

}  // namespace

void RegisterCallbackFunctions(MScriptObject* script, ScriptBindingTable* table,
                               const char16_t* registerHelp, const char16_t* unregisterHelp) {
  AddScriptFunction(script, u"RegisterCallback", registerHelp, &UpdateCallback, table, kRegister);
  AddScriptFunction(script, u"UnregisterCallback", unregisterHelp, &UpdateCallback, table,
                    kUnregister);
}

}  // namespace vk2
