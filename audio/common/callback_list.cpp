#include "audio/common/callback_list.h"

#include <algorithm>

#include "foundation/util/result.h"

namespace vk2 {

int32_t CallbackList::Register(MAudioCallback* callback, uint32_t key) {
  if (!callback) return kErrMissingArg;
  ScopedLock lock(lock_);
  if (std::find(entries_.begin(), entries_.end(), Entry{callback, key}) != entries_.end()) {
    return kErrAlreadyPresent;
  }
  entries_.push_back(Entry{callback, key});
  return kOk;
}

int32_t CallbackList::Unregister(MAudioCallback* callback, uint32_t key) {
  ScopedLock lock(lock_);
  auto it = std::find(entries_.begin(), entries_.end(), Entry{callback, key});
  if (it == entries_.end()) return kErrNotFound;
  entries_.erase(it);
  return kOk;
}

void CallbackList::Fire(MUnknown* source, int32_t code, int32_t argument) {
  ScopedLock lock(lock_);
  const std::vector<Entry> entries = entries_;
  for (const Entry& e : entries) {
    // One unregistered by an earlier callback of this fire is left out.
    if (std::find(entries_.begin(), entries_.end(), e) == entries_.end()) continue;
    e.callback->OnEvent(source, code, e.key, argument);
  }
}

bool CallbackList::IsEmpty() const {
  ScopedLock lock(lock_);
  return entries_.empty();
}

size_t CallbackList::Count() const {
  ScopedLock lock(lock_);
  return entries_.size();
}

}  // namespace vk2
