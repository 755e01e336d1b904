#include "component/object/part_list.h"

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "component/object/query_answer.h"
#include "foundation/util/result.h"

namespace vk2 {

std::vector<RefPtr<MUnknown>> PartList::Snapshot() {
  std::lock_guard lock(mutex_);
  return parts_;
}

int32_t PartList::Attach(const Guid& classId, const Guid& iid, MUnknown* outer) {
  void* made = nullptr;
  const int32_t r = RuntimeCreateInstance(classId, iid, &made, outer);
  if (Failed(r) || !made) return Failed(r) ? r : kErrFailed;
  // The creator's reference passes to the list.
  auto part = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(made));
  std::lock_guard lock(mutex_);
  parts_.push_back(std::move(part));
  return kOk;
}

int32_t PartList::Add(MUnknown* part) {
  if (!part) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  parts_.push_back(RefPtr<MUnknown>(part));
  return kOk;
}

// Parts are asked without a reference: the list's own keeps each answer alive.
MUnknown* PartList::Find(const Guid& iid) {
  const std::vector<RefPtr<MUnknown>> parts = Snapshot();
  for (auto it = parts.rbegin(); it != parts.rend(); ++it) {
    if (MUnknown* p = QueryBorrowed<MUnknown>(*it, iid)) return p;
  }
  return nullptr;
}

int32_t PartList::FindAfter(const Guid& iid, void** out, uint32_t addRef, const void* after) {
  if (!out) return kErrNullResult;
  *out = nullptr;
  const std::vector<RefPtr<MUnknown>> parts = Snapshot();
  auto it = parts.rbegin();
  if (after) {
    while (it != parts.rend() && QueryBorrowed<MUnknown>(*it, iid) != after)
      ++it;
    if (it == parts.rend()) return kErrUnknownInterface;
    ++it;
  }
  for (; it != parts.rend(); ++it) {
    if (MUnknown* p = QueryBorrowed<MUnknown>(*it, iid)) return AnswerQuery(p, out, addRef);
  }
  return kErrUnknownInterface;
}

void PartList::Clear() {
  std::vector<RefPtr<MUnknown>> parts;
  {
    std::lock_guard lock(mutex_);
    parts.swap(parts_);
  }
  while (!parts.empty())
    parts.pop_back();
}

}  // namespace vk2
