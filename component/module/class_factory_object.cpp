#include "component/module/class_factory_object.h"

#include "foundation/util/result.h"

namespace vk2 {

int32_t ClassFactoryObject::QueryInterface(const Guid&, void** out, uint32_t, uint32_t) {
  if (out) *out = nullptr;
  return kErrNoInterface;
}

uint32_t ClassFactoryObject::AddRef() {
  return count_.fetch_add(1) + 1;
}

uint32_t ClassFactoryObject::Release() {
  uint32_t left = count_.fetch_sub(1) - 1;
  if (left == 0) delete this;
  return left;
}

int32_t ClassFactoryObject::CreateInstance(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  int32_t r = create_(iid, out, outer);
  if (r != 0 && *out) *out = nullptr;
  return r;
}

}  // namespace vk2
