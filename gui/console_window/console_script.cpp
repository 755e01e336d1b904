#include "gui/console_window/console_script.h"

#include "component/script/handler_call_args.h"
#include "gui/console_window/console_levels.h"
#include "interfaces/script/script_object.h"

namespace vk2::gui {
namespace {

constexpr int32_t kScriptOk = 0;
constexpr int32_t kScriptBadArguments = -3;

int32_t SetMinDisplayTypeHandler(HandlerCall& call) {
  TString name;
  int32_t level = 0;
  if (UnpackScriptArgs(call, u"W", &name) < 0 || !ParseConsoleLevelName(name, &level))
    return kScriptBadArguments;
  if (auto* target = reinterpret_cast<ConsoleLevelTarget*>(call.handlerData))
    target->SetMinLevel(level);
  return kScriptOk;
}

MScriptMemberRegistry* Registry(MScriptObject* script) {
  return script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
}

}  // namespace

bool AddConsoleLevelMethod(MScriptObject* script, ConsoleLevelTarget* target) {
  MScriptMemberRegistry* registry = Registry(script);
  return registry && registry->AddFunction(kSetMinDisplayTypeName, kSetMinDisplayTypeHelp, false,
                                           &SetMinDisplayTypeHandler, script,
                                           reinterpret_cast<uintptr_t>(target), 0);
}

void RemoveConsoleLevelMethod(MScriptObject* script) {
  if (MScriptMemberRegistry* registry = Registry(script))
    registry->RemoveChildByName(TString(kSetMinDisplayTypeName));
}

}  // namespace vk2::gui
