#include "script/object/native_function.h"

#include <dlfcn.h>

#include "component/script/script_report.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "script/engine/interpreter_lock.h"
#include "script/module_globals.h"
#include "script/object/handler_results.h"
#include "script/object/script_data_object.h"
#include "script/object/tstring_hasher.h"

namespace vk2 {
namespace {

// True when `handler` lives in another shared object than this code.
bool IsForeignCode(ScriptHandler handler) {
  Dl_info self{}, other{};
  if (!dladdr(reinterpret_cast<void*>(&IsForeignCode), &self)) return false;
  if (!dladdr(reinterpret_cast<void*>(handler), &other)) return false;
  return self.dli_fbase != other.dli_fbase;
}

}  // namespace

RefPtr<NativeFunction> NativeFunction::Make() {
  return RefPtr<NativeFunction>(new NativeFunction());
}

MScriptObject* NativeFunction::SharedBase() {
  return SharedObjectBase();
}

MUnknown* NativeFunction::ServedInterface(const Guid& iid) {
  return FindFace<Face<MNativeFunctionSetup, kIID_NativeFunction>,
                  Face<MScriptObject, kIID_MScriptObject>>(this, iid);
}

void* NativeFunction::InternalQueryInterface(const Guid& iid) {
  if (iid == kIID_NativeFunction) return static_cast<MNativeFunctionSetup*>(this);
  return ScriptNode::InternalQueryInterface(iid);
}

bool NativeFunction::SetHandler(ScriptHandler handler, uintptr_t handlerTag,
                                uintptr_t handlerData) {
  handler_ = handler;
  handlerTag_ = handlerTag;
  handlerData_ = handlerData;
  releasesInterpreter_ = handler && IsForeignCode(handler);
  return true;
}

bool NativeFunction::Assign(MScriptObject* /*source*/, bool /*byReference*/) {
  ReportScriptError(ModuleEngine(), Name(),
                    u"Unable to assign a value to an internally implemented function!");
  return false;
}

bool NativeFunction::Call(MScriptObject** result, MScriptEngine* engine, uintptr_t extra,
                          MScriptObject* caller, MScriptObject* params) {
  MScriptEngine* sink = engine ? engine : ModuleEngine();
  RefPtr<MScriptObject> attached;
  GetParent(attached.Put());
  if (!attached && (attachedObjectGiven_ || !caller)) {
    ReportScriptError(ModuleEngine(), Name(), u"Attatched object no longer exists.");
    return false;
  }
  RefPtr<MScriptObject> arguments;
  if (params) params->FindMember(ParamsName(), arguments.Put(), true);

  HandlerCall call{};
  call.name = Name();
  call.object = attached ? attached.Get() : caller;
  call.caller = caller;
  call.handlerTag = handlerTag_;
  call.handlerData = handlerData_;
  call.result = ScriptDataObject::Make().Detach();
  call.params = arguments.Get();
  call.scope = params;
  call.engine = sink;
  call.extra = extra;

  int32_t status = kErrFailed;  // no handler
  if (handler_) {
    try {
      if (releasesInterpreter_) {
        InterpreterUnlockScope unlocked;
        status = handler_(call);
      } else {
        status = handler_(call);
      }
    } catch (...) {
      // A handler must not throw across the module boundary; treat it as a reported failure.
      ReportScriptError(sink, call.name, u"Internal error in function.");
      status = kHandlerFailed;
    }
  }
  if (status == kHandlerBadArguments)
    ReportScriptError(sink, call.name, u"Invalid Parameters. See Help()");
  if (!call.errorText.IsEmpty()) ReportScriptError(sink, call.name, call.errorText);
  if (result) {
    if (*result) (*result)->Release();
    *result = call.result;
  } else if (call.result) {
    call.result->Release();
  }
  return status == 0;
}

}  // namespace vk2
