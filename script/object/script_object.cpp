#include "script/object/script_object.h"

#include "interfaces/ids.h"
#include "script/module_globals.h"

namespace vk2 {

ScriptObject::ScriptObject(MUnknown* outer, MScriptObject* base) : ScriptNodeWith(base) {
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

MUnknown* ScriptObject::ServedInterface(const Guid& iid) {
  return FindFace<Face<MScriptMemberRegistry, kIID_MScriptMemberRegistry>,
                  Face<MScriptObject, kIID_MScriptObject>>(this, iid);
}

void* ScriptObject::InternalQueryInterface(const Guid& iid) {
  if (iid == kIID_MScriptMemberRegistry) return static_cast<MScriptMemberRegistry*>(this);
  if (iid == kIID_MScriptObjectInner) return &inner_;
  return ScriptNode::InternalQueryInterface(iid);
}

int32_t ScriptObject::InnerSide::QueryInterface(const Guid& iid, void** out, uint32_t addRef,
                                                uint32_t /*reserved*/) {
  // The inner side counts the part; what else it hands out counts the controlling object.
  MUnknown* found = nullptr;
  if (out) {
    found = iid == kIID_MScriptObjectInner ? static_cast<MScriptObjectInner*>(this)
                                           : owner_->ServedInterface(iid);
  }
  return AnswerQuery(found, out, addRef);
}

void* ScriptObject::InnerSide::FindInterface(const Guid& iid) {
  return owner_->ServedInterface(iid);
}

}  // namespace vk2
