#include "oru/core/base_object.h"

#include <new>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/core/runtime.h"

namespace vk2::oru {

int32_t BaseObject::Create(MUnknown* outer, void** out) {
  auto* object = new (std::nothrow) BaseObject(outer);
  if (!object) return kErrOutOfMemory;
  return object->HandOut(kIID_MBaseObject, out);
}

int32_t BaseObject::AttachPart(const Guid& classId, const Guid& iid) {
  void* inner = nullptr;
  int32_t r = Runtime::Get().CreateObject(classId, iid, &inner, Controlling());
  if (r != 0 || !inner) return r != 0 ? r : kErrFailed;
  // The creator's reference passes to the part list.
  auto part = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(inner));
  return parts_.Add(part.Get());
}

int32_t BaseObject::AddPart(MUnknown* part) {
  return parts_.Add(part);
}

int32_t BaseObject::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                        const void* after) {
  if (!out) return kErrMissingArg;
  return parts_.FindAfter(iid, out, addRef, after);
}

}  // namespace vk2::oru
