// Registering a control's own script methods, and what their handlers share: the control from
// the call, the text result, the rejection with a message.
#pragma once

#include <cstdint>
#include <span>

#include "foundation/text/tstring.h"
#include "interfaces/script/handler_call.h"
#include "interfaces/script/script_object.h"
#include "markup/window/window_methods.h"

namespace vk2::markup {

struct ControlMethod {
  const char16_t* name;
  ScriptHandler handler;
  const char16_t* help;
  uintptr_t tag = 0;  // the call's handlerTag: one handler may serve several methods
};

// Registers `methods` on `script` with `control` as their user data.
void RegisterControlMethods(MScriptObject* script, void* control,
                            std::span<const ControlMethod> methods);

// The control a method was registered for.
template <class T>
T* ControlOfCall(const HandlerCall& call) {
  return reinterpret_cast<T*>(call.handlerData);
}

void SetMethodResult(HandlerCall& call, const TString& text);
bool CalledWithoutArguments(const HandlerCall& call);
// Reports `message` through the call and answers kMethodRejected.
int32_t RejectMethod(HandlerCall& call, const TString& message);

}  // namespace vk2::markup
