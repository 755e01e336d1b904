// A script function whose call runs a handler written in code.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "interfaces/script/handler_call.h"
#include "script/object/script_node.h"

namespace vk2 {

class NativeFunction final : public ScriptNodeWith<MNativeFunctionSetup> {
 public:
  static RefPtr<NativeFunction> Make();

  int32_t GetKind() override { return kScriptKindFunction; }
  bool Call(MScriptObject** result, MScriptEngine* engine, uintptr_t extra, MScriptObject* caller,
            MScriptObject* params) override;
  bool Assign(MScriptObject* source, bool byReference) override;
  MUnknown* GetMemberRegistry() override { return static_cast<MNativeFunctionSetup*>(this); }
  void* InternalQueryInterface(const Guid& iid) override;

  bool SetHandler(ScriptHandler handler, uintptr_t handlerTag, uintptr_t handlerData) override;
  // Whether AddFunction was given an object; such a function refuses to run once that object
  // is gone instead of running its handler on a stale pointer.
  void SetAttachedObjectGiven(bool given) { attachedObjectGiven_ = given; }

 private:
  NativeFunction() : ScriptNodeWith(SharedBase()) {}
  MUnknown* ServedInterface(const Guid& iid) override;
  ~NativeFunction() override = default;
  static MScriptObject* SharedBase();

  ScriptHandler handler_ = nullptr;
  uintptr_t handlerTag_ = 0;
  uintptr_t handlerData_ = 0;
  bool attachedObjectGiven_ = false;
  // Handlers of other modules may block (waiting for a player thread, say); they run with the
  // interpreter lock released so that thread can run its own scripts meanwhile.
  bool releasesInterpreter_ = false;
};

}  // namespace vk2
