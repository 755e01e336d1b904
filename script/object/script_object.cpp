#include "script/object/script_object.h"

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "script/module_globals.h"

namespace vk2 {

ScriptObject::ScriptObject(MUnknown* outer, MScriptObject* base) : ScriptNode(base) {
  outer_ = outer;
}

RefPtr<ScriptObject> ScriptObject::Make() {
  return RefPtr<ScriptObject>(new ScriptObject(nullptr, SharedObjectBase()));
}

MScriptObjectInner* ScriptObject::MakeAggregated(MUnknown* outer) {
  auto* object = new ScriptObject(outer, SharedObjectBase());
  object->InnerAddRef();
  return object;
}

int32_t ScriptObject::QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                                     uint32_t reserved) {
  if (outer_) return outer_->QueryInterface(iid, out, addRef, reserved);
  if (!out) return kErrOutOfMemory;
  *out = nullptr;
  if (iid == kIID_MScriptMemberRegistry) {
    *out = static_cast<MScriptMemberRegistry*>(this);
  } else if (iid == kIID_MScriptObject) {
    *out = static_cast<MScriptObject*>(this);
  } else {
    return kErrNoInterface;
  }
  if (addRef) AddRef();
  return kOk;
}

uint32_t ScriptObject::AddRef() {
  if (outer_) return outer_->AddRef();
  return InnerAddRef();
}

uint32_t ScriptObject::Release() {
  if (outer_) return outer_->Release();
  return InnerRelease();
}

uint32_t ScriptObject::InnerAddRef() {
  return refs_.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32_t ScriptObject::InnerRelease() {
  uint32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete this;
  return left;
}

void* ScriptObject::InternalQueryInterface(const Guid& iid) {
  if (iid == kIID_MScriptMemberRegistry) return static_cast<MScriptMemberRegistry*>(this);
  if (iid == kIID_MScriptObjectInner) return static_cast<MScriptObjectInner*>(this);
  return ScriptNode::InternalQueryInterface(iid);
}

void* ScriptObject::FindInterface(const Guid& iid) {
  if (iid == kIID_MScriptMemberRegistry) return static_cast<MScriptMemberRegistry*>(this);
  if (iid == kIID_MScriptObject) return static_cast<MScriptObject*>(this);
  return nullptr;
}

}  // namespace vk2
