// The record a native script function's handler receives.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/script/script_object.h"

namespace vk2 {

class MScriptEngine;

struct HandlerCall {
  TString name;           // the function's script name
  MScriptObject* object;  // the attached object, or the caller when there is none
  MScriptObject* caller;  // as passed to Call
  uintptr_t handlerTag;   // given at registration
  uintptr_t handlerData;  // given at registration, as a rule the native object
  MScriptObject* result;  // a fresh empty data item, one reference held by the call;
                          // a handler may put another item here (see SetCallResult)
  MScriptObject* params;  // the argument array (a data item), or null
  MScriptObject* scope;   // the params holder passed to Call
  MScriptEngine* engine;  // receives error reports; runs scripts for the handler
  uintptr_t extra;        // passed through from Call: the calling script's this object
  TString errorText;      // set by a handler: reported under the function's name
};

// The handler-setup side of a native function (what its GetMemberRegistry answers).
class MNativeFunctionSetup : public MUnknown {
 public:
  virtual bool SetHandler(ScriptHandler handler, uintptr_t handlerTag, uintptr_t handlerData) = 0;

 protected:
  ~MNativeFunctionSetup() = default;
};

}  // namespace vk2
