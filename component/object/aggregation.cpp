#include "component/object/aggregation.h"

namespace vk2 {

int32_t AggregatableObject::InnerUnknown::QueryInterface(const Guid& iid, void** out,
                                                         uint32_t addRef, uint32_t) {
  // The interface's AddRef counts the controlling object, as every later use will.
  return AnswerQuery(out ? owner_->QueryOwnInterface(iid) : nullptr, out, addRef);
}

int32_t AggregatableObject::HandOut(const Guid& iid, void** out) {
  *out = nullptr;
  if (outer_) {
    if (!QueryOwnInterface(iid)) {
      delete this;
      return kErrUnknownInterface;
    }
    inner_.AddRef();
    *out = static_cast<MUnknown*>(&inner_);
    return 0;
  }
  // Counted once through the inner unknown, so the object goes when the last reference does.
  inner_.AddRef();
  int32_t r = inner_.QueryInterface(iid, out, 1, 0);
  inner_.Release();
  return r;
}

}  // namespace vk2
