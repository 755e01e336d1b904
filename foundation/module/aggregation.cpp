#include "foundation/module/aggregation.h"

namespace vk2 {

int32_t AggregatableObject::InnerUnknown::QueryInterface(const Guid& iid, void** out,
                                                         uint32_t addRef, uint32_t) {
  if (!out) return kErrMissingArg;
  *out = owner_->QueryOwnInterface(iid);
  if (!*out) return kErrNoInterface;
  // The interface's AddRef counts the controlling object, as every later use will.
  if (addRef) static_cast<MUnknown*>(*out)->AddRef();
  return 0;
}

uint32_t AggregatableObject::InnerUnknown::Release() {
  uint32_t left = count_.fetch_sub(1) - 1;
  if (left == 0) delete owner_;
  return left;
}

int32_t AggregatableObject::HandOut(const Guid& iid, void** out) {
  *out = nullptr;
  if (outer_) {
    if (!QueryOwnInterface(iid)) {
      delete this;
      return kErrNoInterface;
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
