#include "script/native/console_object.h"

#include "script/object/handler_results.h"

#include <cmath>

#include "component/script/handler_call_args.h"
#include "component/script/script_report.h"
#include "component/script/script_text.h"

namespace vk2 {
namespace {

void SetResult(HandlerCall& call, const TString& text) {
  if (ScriptDataEntity* result = AsDataEntity(call.result)) result->SetValue(text);
}

}  // namespace

RefPtr<ConsoleObject> ConsoleObject::Make(std::shared_ptr<ScriptConsole> console) {
  RefPtr<ConsoleObject> object(new ConsoleObject(std::move(console)));
  if (!object->AttachScriptObject(u"console", u"Console", 0x10000)) return nullptr;
  MScriptMemberRegistry* registry = object->Registry();
  auto data = reinterpret_cast<uintptr_t>(object.Get());
  registry->AddFunction(u"write", u"Print a string to the console", false, Write, object->Script(),
                        data, 0);
  registry->AddFunction(u"enabledisklogging",
                        u"Turns console disk logging on or off. This causes the console to be "
                        u"logged to a file when it's on.",
                        false, EnableDiskLogging, object->Script(), data, 0);
  return object;
}

int32_t ConsoleObject::Write(HandlerCall& call) {
  auto* self = reinterpret_cast<ConsoleObject*>(call.handlerData);
  TString text;
  if (UnpackScriptArgs(call, u"W", &text) < 0) return kHandlerBadArguments;
  if (self->console_) self->console_->Write(3, text);
  return 0;
}

int32_t ConsoleObject::EnableDiskLogging(HandlerCall& call) {
  auto* self = reinterpret_cast<ConsoleObject*>(call.handlerData);
  bool enabled = false;  // no argument turns logging off
  if (UnpackScriptArgs(call, u"B", &enabled) < 0) return kHandlerBadArguments;
  if (self->console_) self->console_->SetDiskLogging(enabled);
  SetResult(call, enabled ? u"enabled" : u"disabled");
  return 0;
}

RefPtr<MathObject> MathObject::Make() {
  RefPtr<MathObject> object(new MathObject());
  if (!object->AttachScriptObject(u"math", u"Script Math Object", 0x10000)) return nullptr;
  MScriptMemberRegistry* registry = object->Registry();
  auto data = reinterpret_cast<uintptr_t>(object.Get());
  registry->AddFunction(u"Truncate",
                        u"Truncates a floating point value to an integer value, or if an optional "
                        u"parameter is given, this many decimal places.",
                        false, Truncate, object->Script(), data, 0);
  registry->AddFunction(u"Power", u"Returns the first argument to the power of the second argument",
                        false, Power, object->Script(), data, 0);
  registry->AddFunction(u"Log",
                        u"Returns the logarithm of the second argument using the base of the first",
                        false, Log, object->Script(), data, 0);
  object->Script()->SetReadOnly(true);
  return object;
}

int32_t MathObject::Truncate(HandlerCall& call) {
  double value = 0;
  uint32_t places = 0;
  int32_t count = UnpackScriptArgs(call, u"Du", &value, &places);
  if (count < 0) return kHandlerBadArguments;
  if (count < 2) {
    // Toward zero in double: no conversion of an out-of-range value to a 32-bit integer.
    SetResult(call, NumberToText(std::trunc(value)));
    return 0;
  }
  if (places > 15) {
    SetResult(call, NumberToText(value));
    return 0;
  }
  double scale = std::pow(10.0, static_cast<double>(places));
  SetResult(call, NumberToText(std::trunc(value * scale) / scale));
  return 0;
}

int32_t MathObject::Power(HandlerCall& call) {
  double a = 0, b = 0;
  if (UnpackScriptArgs(call, u"DD", &a, &b) < 0) return kHandlerBadArguments;
  SetResult(call, NumberToText(std::pow(a, b)));
  return 0;
}

int32_t MathObject::Log(HandlerCall& call) {
  double base = 0, x = 0;
  if (UnpackScriptArgs(call, u"DD", &base, &x) < 0) return kHandlerBadArguments;
  SetResult(call, NumberToText(std::log(x) / std::log(base)));
  return 0;
}

}  // namespace vk2
