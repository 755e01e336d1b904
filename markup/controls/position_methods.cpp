#include "markup/controls/position_methods.h"

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "component/script/script_text.h"
#include "interfaces/gui/controls.h"
#include "markup/window/window_methods.h"
#include "markup/window/window_properties.h"

namespace vk2::markup {
namespace {

PositionOwner* OwnerOf(const HandlerCall& call) {
  return reinterpret_cast<PositionOwner*>(call.handlerData);
}

bool HasArguments(const HandlerCall& call) {
  return HandlerCallArgs(call).Count() != 0;
}

int32_t Answer(HandlerCall& call, const TString& text) {
  if (ScriptDataEntity* data = AsDataEntity(call.result)) data->SetValue(text);
  return kMethodDone;
}

int32_t GetRealPos(HandlerCall& call) {
  if (HasArguments(call)) return kMethodBadArguments;
  return Answer(call, DoubleToString(OwnerOf(call)->PositionReal()));
}

int32_t GetIntPos(HandlerCall& call) {
  if (HasArguments(call)) return kMethodBadArguments;
  return Answer(call, IntToString(OwnerOf(call)->PositionInt()));
}

int32_t SetRealPos(HandlerCall& call) {
  double position = 0;
  if (UnpackScriptArgs(call, u"D", &position) < 0 || !HasArguments(call)) {
    return kMethodBadArguments;
  }
  if (!(position >= 0.0 && position <= 1.0)) return kMethodBadArguments;
  OwnerOf(call)->SetPositionReal(position);
  return kMethodDone;
}

int32_t SetIntPos(HandlerCall& call) {
  int32_t position = 0;
  if (UnpackScriptArgs(call, u"I", &position) < 0 || !HasArguments(call)) {
    return kMethodBadArguments;
  }
  OwnerOf(call)->SetPositionInt(position);
  return kMethodDone;
}

// handlerTag: the property's name.
int32_t GetRange(HandlerCall& call) {
  if (HasArguments(call)) return kMethodBadArguments;
  const auto* name = reinterpret_cast<const char16_t*>(call.handlerTag);
  return Answer(
      call, IntToString(ReadIntegerProperty(OwnerOf(call)->PositionWindow(), name).value_or(0)));
}

int32_t SetRange(HandlerCall& call) {
  int32_t value = 0;
  if (UnpackScriptArgs(call, u"I", &value) < 0 || !HasArguments(call)) return kMethodBadArguments;
  MWindowElement* window = OwnerOf(call)->PositionWindow();
  if (!window) return kMethodNoWindow;
  PropertyValue property;
  property.type = kPropertyInteger;
  property.integer = value;
  window->SetProperty(reinterpret_cast<const char16_t*>(call.handlerTag), kPropertyInteger,
                      &property);
  window->Invalidate(nullptr);
  return kMethodDone;
}

void Add(MScriptMemberRegistry* registry, MScriptObject* script, PositionOwner* owner,
         const char16_t* name, const char16_t* help, ScriptHandler handler,
         const char16_t* property = nullptr) {
  registry->AddFunction(TString(name), TString(help), false, handler, script,
                        reinterpret_cast<uintptr_t>(owner), reinterpret_cast<uintptr_t>(property));
}

}  // namespace

void RegisterPositionMethods(MScriptObject* script, PositionOwner* owner,
                             const PositionMethodHelp& help) {
  auto* registry =
      script ? static_cast<MScriptMemberRegistry*>(script->GetMemberRegistry()) : nullptr;
  if (!registry || !owner) return;
  Add(registry, script, owner, u"GetRealPos", help.getReal, &GetRealPos);
  Add(registry, script, owner, u"GetIntPos", help.getInt, &GetIntPos);
  Add(registry, script, owner, u"SetRealPos", help.setReal, &SetRealPos);
  Add(registry, script, owner, u"SetIntPos", help.setInt, &SetIntPos);
  Add(registry, script, owner, u"GetMin", help.getMin, &GetRange, kPropPosMin);
  if (help.setMin) Add(registry, script, owner, u"SetMin", help.setMin, &SetRange, kPropPosMin);
  Add(registry, script, owner, u"GetMax", help.getMax, &GetRange, kPropPosMax);
  if (help.setMax) Add(registry, script, owner, u"SetMax", help.setMax, &SetRange, kPropPosMax);
}

}  // namespace vk2::markup
