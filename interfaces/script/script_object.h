// The node of the script-visible object tree, its member registry and its aggregation side.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "interfaces/script/script_lists.h"
#include "interfaces/unknown.h"

namespace vk2 {

class MScriptEngine;
struct HandlerCall;

// What GetKind answers; kScriptKindAll selects every kind where a kind is asked for.
inline constexpr int32_t kScriptKindObject = 0;
inline constexpr int32_t kScriptKindData = 1;
inline constexpr int32_t kScriptKindFunction = 2;
inline constexpr int32_t kScriptKindAll = 3;

// A native handler: 0 success, -3 invalid parameters (the function reports it), -4 a failure
// the handler already reported, anything else a silent failure.
using ScriptHandler = int32_t (*)(HandlerCall& call);

class MScriptObject : public MUnknown {
 public:
  virtual int32_t GetKind() = 0;
  // "#" and eight upper-case hexadecimal digits, or "#NULL" before registration.
  virtual void GetUid(TString* out) = 0;
  // `result` receives the call's value with a reference (a previous value there is released).
  virtual bool Call(MScriptObject** result, MScriptEngine* engine, uintptr_t extra,
                    MScriptObject* caller, MScriptObject* params) = 0;
  virtual bool Assign(MScriptObject* source, bool byReference) = 0;
  // Own children, then the base object's answer. `out` gets a reference.
  virtual bool FindChild(const TString& name, MScriptObject** out) = 0;
  // As FindChild; with `create`, a missing name becomes a new empty data item child.
  virtual bool FindMember(const TString& name, MScriptObject** out, bool create) = 0;
  virtual bool GetParent(MScriptObject** out) = 0;
  virtual bool SetParent(MScriptObject* parent) = 0;
  virtual bool UpdateChildName(MScriptObject* child, bool add) = 0;
  virtual void GetName(TString* out) = 0;
  virtual void GetClassName(TString* out) = 0;
  virtual uint32_t GetVersion() = 0;
  virtual void EnumerateChildren(ScriptObjectList* list, int32_t kind, bool includeBase) = 0;
  virtual void EnumerateNames(ScriptNameList* list, int32_t kind, bool includeBase) = 0;
  virtual void SetHelp(const TString& text, bool notAvailable) = 0;
  virtual void Help(TString* out) = 0;
  virtual void SetName(const TString& name) = 0;
  virtual void SetVersion(uint32_t version) = 0;
  // Appends "->name" to a class name already set, so it records the chain of classes.
  virtual void SetClassName(const TString& name) = 0;
  virtual void SetReadOnly(bool readOnly) = 0;
  virtual bool IsReadOnly() = 0;
  // The object's own first interface, no reference added: the MScriptMemberRegistry of a script
  // object, the ScriptDataEntity of a data item, the MNativeFunctionSetup of a native function.
  virtual MUnknown* GetMemberRegistry() = 0;
  virtual void Describe(TString* out, bool plain, uint32_t depth) = 0;
  virtual uintptr_t GetOwnerValue() = 0;
  virtual bool SetOwnerValue(uintptr_t value) = 0;
  // Null engine: the module's own engine.
  virtual bool RegisterWithEngine(MScriptEngine* engine) = 0;
  virtual bool UnregisterFromEngine(MScriptEngine* engine) = 0;
  // The object a data item's UID text stands for, else the object itself; with a reference.
  virtual void Resolve(MScriptObject** out) = 0;
  virtual bool SetBase(MScriptObject* base) = 0;
  // The interface pointer without a reference, or null.
  virtual void* InternalQueryInterface(const Guid& iid) = 0;

 protected:
  ~MScriptObject() = default;
};

class MScriptMemberRegistry : public MUnknown {
 public:
  virtual bool AddChild(MScriptObject* child) = 0;
  virtual bool RemoveChild(MScriptObject* child) = 0;
  virtual bool RemoveChildByName(const TString& name) = 0;
  virtual bool RemoveAllChildren() = 0;
  // `object` null: the function runs on whatever object calls it.
  virtual bool AddFunction(const TString& name, const TString& help, bool helpNotAvailable,
                           ScriptHandler handler, MScriptObject* object, uintptr_t handlerData,
                           uintptr_t handlerTag) = 0;

 protected:
  ~MScriptMemberRegistry() = default;
};

// The inner (non-delegating) side of a script object made as a part of an outer object: what
// the outer object holds. Its QueryInterface, AddRef and Release act on the part itself, as the
// runtime's aggregation expects of every part; the three operations after them do the same
// under their own names. The part's other interfaces delegate to the outer object.
class MScriptObjectInner : public MUnknown {
 public:
  // The MScriptMemberRegistry or MScriptObject pointer, without a reference, or null.
  virtual void* FindInterface(const Guid& iid) = 0;
  virtual uint32_t InnerAddRef() = 0;
  virtual uint32_t InnerRelease() = 0;

 protected:
  ~MScriptObjectInner() = default;
};

}  // namespace vk2
