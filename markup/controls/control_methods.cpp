#include "markup/controls/control_methods.h"

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"

namespace vk2::markup {

void RegisterControlMethods(MScriptObject* script, void* control,
                            std::span<const ControlMethod> methods) {
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  if (!registry) return;
  for (const ControlMethod& method : methods)
    registry->AddFunction(TString(method.name), TString(method.help), false, method.handler, script,
                          reinterpret_cast<uintptr_t>(control), method.tag);
}

void SetMethodResult(HandlerCall& call, const TString& text) {
  if (ScriptDataEntity* data = AsDataEntity(call.result)) data->SetValue(text);
}

bool CalledWithoutArguments(const HandlerCall& call) {
  return HandlerCallArgs(call).Count() == 0;
}

int32_t RejectMethod(HandlerCall& call, const TString& message) {
  ReportScriptError(call, message);
  return kMethodRejected;
}

}  // namespace vk2::markup
