#include "script/runtime/tessel_factory.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "script/object/native_function.h"
#include "script/object/script_data_object.h"
#include "script/object/script_object.h"
#include "script/runtime/script_module.h"

namespace vk2 {

int32_t CreateModuleInstance(const Guid& iid, MUnknown* outer, void** out) {
  if (!out) return kErrOutOfMemory;
  *out = nullptr;
  if (iid == kIID_MInterfaceLoader) {
    // The loader needs the engine first; the loader itself comes with the markup engine.
    ScriptModule::Engine();
    return kErrNoInterface;
  }
  if (iid == kIID_MScriptEngine) {
    ScriptEngine* engine = ScriptModule::Engine();
    if (!engine) return kErrOutOfMemory;
    engine->AddRef();
    *out = static_cast<MScriptEngine*>(engine);
    return kOk;
  }
  if (iid == kIID_ScriptDataEntity) {
    ScriptModule::Engine();  // the shared bases must exist before the item
    // Handed out as its MScriptObject side, as every script class of this factory is.
    *out = static_cast<MScriptObject*>(ScriptDataObject::Make().Detach());
    return kOk;
  }
  if (iid == kIID_MScriptMemberRegistry) {
    ScriptModule::Engine();
    *out = static_cast<MScriptObject*>(ScriptObject::Make().Detach());
    return kOk;
  }
  if (iid == kIID_MScriptObjectInner) {
    if (!outer) return kErrOutOfMemory;
    ScriptModule::Engine();
    *out = ScriptObject::MakeAggregated(outer);
    return kOk;
  }
  if (iid == kIID_NativeFunction) {
    ScriptModule::Engine();
    *out = static_cast<MScriptObject*>(NativeFunction::Make().Detach());
    return kOk;
  }
  // MMarkupUtility, MFontObject, the scroll bars and their style belong to the markup engine,
  // and so does everything else.
  return kErrNoInterface;
}

}  // namespace vk2
