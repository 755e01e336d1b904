#include "component/module/class_factory_object.h"

#include "foundation/util/result.h"

namespace vk2 {

int32_t ClassFactoryObject::CreateInstance(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  int32_t r = create_(iid, out, outer);
  if (r != 0 && *out) *out = nullptr;
  return r;
}

}  // namespace vk2
