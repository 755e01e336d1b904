#include "gui/visual_window/visual_window_script.h"

#include "audio/effects/control_object_core.h"
#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "foundation/util/result.h"

namespace vk2::gui {
namespace {

VisualWindowScriptTarget* Target(const HandlerCall& call) {
  return reinterpret_cast<VisualWindowScriptTarget*>(call.handlerData);
}

int32_t GetVisualHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  SetTextResult(call, TString::Format(u"%u", Target(call)->display->GetVisualId()));
  return kOk;
}

int32_t SetVisualHandler(HandlerCall& call) {
  // The unpacker takes an empty argument list as all defaults; this one needs its id.
  uint32_t id = 0;
  if (!HasArguments(call) || UnpackScriptArgs(call, u"U", &id) < 0) return kScriptBadArguments;
  Target(call)->display->ChooseVisual(id);
  return kOk;
}

int32_t StepHandler(HandlerCall& call) {
  if (HasArguments(call)) return kScriptBadArguments;
  VisualDisplay* display = Target(call)->display;
  call.handlerTag != 0 ? display->NextVisual() : display->PreviousVisual();
  return kOk;
}

int32_t SetGroupHandler(HandlerCall& call) {
  TString group;
  if (!HasArguments(call) || UnpackScriptArgs(call, u"W", &group) < 0) {
    return kScriptBadArguments;
  }
  Target(call)->display->SetVisualGroup(group);
  return kOk;
}

int32_t GetGroupHandler(HandlerCall& call) {
  SetTextResult(call, Target(call)->display->Group());
  return kOk;
}

// SetAssociatedPlayer answers the name as GetAssociatedPlayer does: the player is the markup's.
int32_t GetPlayerHandler(HandlerCall& call) {
  SetTextResult(call, Target(call)->display->PlayerName());
  return kOk;
}

int32_t EnablePostEffectHandler(HandlerCall& call) {
  Guid classId{};
  bool enable = false;
  if (!HasArguments(call) || UnpackScriptArgs(call, u"MB", &classId, &enable) < 0) {
    return kScriptBadArguments;
  }
  VisualWindowScriptTarget* target = Target(call);
  const int32_t result = target->display->SwitchPostEffect(classId, enable);
  if (result >= 0) return kOk;
  TString message = target->errorMessage ? target->errorMessage(result) : TString();
  if (message.IsEmpty()) message = u"unknown error";
  ReportScriptError(call,
                    TString::Format(u"Unable to enable/disable post-effect - %s", message.c_str()));
  return kScriptReportedFailure;
}

struct Method {
  const char16_t* name;
  const char16_t* help;
  ScriptHandler handler;
  uintptr_t tag;
};

const Method kMethods[] = {
    {u"EnablePostEffect",
     u"Turns on or off a particular post filter for this visual window. The first argument is the "
     u"FactoryID of the filter, the second is whether to enable or disable it.",
     &EnablePostEffectHandler, 0},
    {u"GetVisual", u"Gets this visual display window's current visual by ID", &GetVisualHandler, 0},
    {u"SetVisual", u"Sets this visual display window to display the specified visual by ID",
     &SetVisualHandler, 0},
    {u"PreviousVisual",
     u"Changes this visual display window to display the previous visual in the list of loaded "
     u"visuals",
     &StepHandler, 0},
    {u"NextVisual",
     u"Changes this visual display window to display the next visual in the list of loaded "
     u"visuals",
     &StepHandler, 1},
    {u"SetVisualGroup", u"Set the name of the visual group of which this visual window is a member",
     &SetGroupHandler, 0},
    {u"GetVisualGroup", u"Get the name of the visual group of which this visual window is a member",
     &GetGroupHandler, 0},
    {u"SetAssociatedPlayer",
     u"Set the name of the player from which this visual window is getting its data",
     &GetPlayerHandler, 0},
    {u"GetAssociatedPlayer",
     u"Get the name of the player from which this visual window is getting its data",
     &GetPlayerHandler, 0},
};

}  // namespace

bool RegisterVisualWindowMethods(MScriptObject* script, VisualWindowScriptTarget* target) {
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  if (!registry || !target || !target->display) return false;
  const auto data = reinterpret_cast<uintptr_t>(target);
  for (const Method& m : kMethods) {
    if (!registry->AddFunction(m.name, m.help, false, m.handler, script, data, m.tag)) {
      return false;
    }
  }
  return true;
}

}  // namespace vk2::gui
