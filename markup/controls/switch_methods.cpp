#include "markup/controls/switch_methods.h"

#include "component/script/handler_call_args.h"
#include "interfaces/gui/controls.h"
#include "markup/controls/control_methods.h"
#include "markup/controls/control_properties.h"
#include "markup/window/window_properties.h"

namespace vk2::markup {
namespace {

constexpr uintptr_t kTagHover = 0;
constexpr uintptr_t kTagToggle = 1;

// The property of the switch in the handler's tag.
const char16_t* SwitchOf(const HandlerCall& call) {
  return call.handlerTag == kTagToggle ? kPropButtonToggle : kPropButtonHover;
}

int32_t GetSwitch(HandlerCall& call) {
  const auto value = ReadIntegerProperty(ControlOfCall<MWindowElement>(call), SwitchOf(call));
  SetMethodResult(call, TString(value && *value != 0 ? u"1" : u"0"));
  return kMethodDone;
}

int32_t SetSwitch(HandlerCall& call) {
  bool on = false;
  if (CalledWithoutArguments(call) || UnpackScriptArgs(call, u"B", &on) < 0)
    return kMethodBadArguments;
  WriteIntegerProperty(ControlOfCall<MWindowElement>(call), SwitchOf(call), on ? 1 : 0);
  return kMethodDone;
}

constexpr ControlMethod kToggleMethods[] = {
    {u"GetToggle", &GetSwitch, u"Get the button's toggle state", kTagToggle},
    {u"SetToggle", &SetSwitch, u"Set the button's toggle state", kTagToggle},
};

constexpr ControlMethod kHoverMethods[] = {
    {u"GetHover", &GetSwitch, u"Get the button's Hover state", kTagHover},
    {u"SetHover", &SetSwitch, u"Set the button's logic state", kTagHover},
};

}  // namespace

void RegisterToggleMethods(MScriptObject* script, MWindowElement* window) {
  if (window) RegisterControlMethods(script, window, kToggleMethods);
}

void RegisterHoverMethods(MScriptObject* script, MWindowElement* window) {
  if (window) RegisterControlMethods(script, window, kHoverMethods);
}

}  // namespace vk2::markup
