#include "markup/controls/hover_methods.h"

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "interfaces/gui/controls.h"
#include "markup/window/window_methods.h"
#include "markup/window/window_properties.h"

namespace vk2::markup {
namespace {

MWindowElement* WindowOf(const HandlerCall& call) {
  return reinterpret_cast<MWindowElement*>(call.handlerData);
}

int32_t GetHover(HandlerCall& call) {
  if (HandlerCallArgs(call).Count() != 0) return kMethodBadArguments;
  const bool on = ReadIntegerProperty(WindowOf(call), kPropButtonHover).value_or(0) != 0;
  if (ScriptDataEntity* data = AsDataEntity(call.result)) data->SetValue(TString(on ? u"1" : u"0"));
  return kMethodDone;
}

int32_t SetHover(HandlerCall& call) {
  bool on = false;
  if (UnpackScriptArgs(call, u"B", &on) < 0 || HandlerCallArgs(call).Count() == 0)
    return kMethodBadArguments;
  PropertyValue value;
  value.type = kPropertyInteger;
  value.integer = on ? 1 : 0;
  WindowOf(call)->SetProperty(kPropButtonHover, kPropertyInteger, &value);
  return kMethodDone;
}

}  // namespace

void RegisterHoverMethods(MScriptObject* script, MWindowElement* window) {
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  if (!registry || !window) return;
  registry->AddFunction(TString(u"GetHover"), TString(u"Get the button's Hover state"), false,
                        &GetHover, script, reinterpret_cast<uintptr_t>(window), 0);
  registry->AddFunction(TString(u"SetHover"), TString(u"Set the button's logic state"), false,
                        &SetHover, script, reinterpret_cast<uintptr_t>(window), 0);
}

}  // namespace vk2::markup
