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
  object->inner_.InnerAddRef();
  return &object->inner_;
}

int32_t ScriptObject::QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                                     uint32_t reserved) {
  if (outer_) return outer_->QueryInterface(iid, out, addRef, reserved);
  if (!out) return kErrOutOfMemory;
  *out = inner_.FindInterface(iid);
  if (!*out) return kErrNoInterface;
  if (addRef) AddRef();
  return kOk;
}

uint32_t ScriptObject::AddRef() {
  if (outer_) return outer_->AddRef();
  return inner_.InnerAddRef();
}

uint32_t ScriptObject::Release() {
  if (outer_) return outer_->Release();
  return inner_.InnerRelease();
}

void* ScriptObject::InternalQueryInterface(const Guid& iid) {
  if (iid == kIID_MScriptMemberRegistry) return static_cast<MScriptMemberRegistry*>(this);
  if (iid == kIID_MScriptObjectInner) return &inner_;
  return ScriptNode::InternalQueryInterface(iid);
}

int32_t ScriptObject::InnerSide::QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                                                uint32_t /*reserved*/) {
  if (!out) return kErrOutOfMemory;
  *out =
      iid == kIID_MScriptObjectInner ? static_cast<MScriptObjectInner*>(this) : FindInterface(iid);
  if (!*out) return kErrNoInterface;
  // What the part hands out belongs to the whole object: its count is the controlling one.
  if (addRef) {
    if (*out == static_cast<MScriptObjectInner*>(this)) {
      InnerAddRef();
    } else {
      owner_->AddRef();
    }
  }
  return kOk;
}

void* ScriptObject::InnerSide::FindInterface(const Guid& iid) {
  if (iid == kIID_MScriptMemberRegistry) return static_cast<MScriptMemberRegistry*>(owner_);
  if (iid == kIID_MScriptObject) return static_cast<MScriptObject*>(owner_);
  return nullptr;
}

uint32_t ScriptObject::InnerSide::InnerAddRef() {
  return owner_->refs_.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32_t ScriptObject::InnerSide::InnerRelease() {
  uint32_t left = owner_->refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
  if (left == 0) delete owner_;
  return left;
}

}  // namespace vk2
