#include "oru/core/base_object.h"

#include <new>

#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "oru/core/runtime.h"

namespace vk2::oru {
namespace {

// The part's answer for `iid`, without a reference.
void* Answer(MUnknown* part, const Guid& iid) {
  void* p = nullptr;
  if (part->QueryInterface(iid, &p, 0, 0) < 0) return nullptr;
  return p;
}

}  // namespace

int32_t BaseObject::Create(MUnknown* outer, void** out) {
  auto* object = new (std::nothrow) BaseObject(outer);
  if (!object) return kErrOutOfMemory;
  return object->HandOut(kIID_MBaseObject, out);
}

std::vector<RefPtr<MUnknown>> BaseObject::Parts() {
  std::lock_guard lock(mutex_);
  return parts_;
}

MUnknown* BaseObject::QueryMore(const Guid& iid) {
  std::vector<RefPtr<MUnknown>> parts = Parts();
  for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
    if (void* p = Answer(it->Get(), iid)) return static_cast<MUnknown*>(p);
  }
  return nullptr;
}

int32_t BaseObject::AttachPart(const Guid& classId, const Guid& iid) {
  void* inner = nullptr;
  int32_t r = Runtime::Get().CreateObject(classId, iid, &inner, Controlling());
  if (r != 0 || !inner) return r != 0 ? r : kErrFailed;
  std::lock_guard lock(mutex_);
  parts_.push_back(RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(inner)));
  return 0;
}

int32_t BaseObject::AddPart(MUnknown* part) {
  if (!part) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  parts_.push_back(RefPtr<MUnknown>(part));
  return 0;
}

int32_t BaseObject::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                        const void* after) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  std::vector<RefPtr<MUnknown>> parts = Parts();
  auto it = parts.rbegin();
  if (after) {
    while (it != parts.rend() && Answer(it->Get(), iid) != after)
      ++it;
    if (it == parts.rend()) return kErrNoInterface;
    ++it;
  }
  for (; it != parts.rend(); ++it) {
    if (void* p = Answer(it->Get(), iid)) {
      if (addRef) static_cast<MUnknown*>(p)->AddRef();
      *out = p;
      return 0;
    }
  }
  return kErrNoInterface;
}

}  // namespace vk2::oru
