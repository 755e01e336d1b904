#include "audio/common/callback_list.h"

#include "foundation/util/result.h"

namespace vk2 {

int32_t CallbackList::Register(MAudioCallback* callback, uint32_t key) {
  if (!callback) return kErrMissingArg;
  return entries_.Add(Entry{callback, key});
}

int32_t CallbackList::Unregister(MAudioCallback* callback, uint32_t key) {
  return entries_.RemoveAndWait(Entry{callback, key});
}

void CallbackList::Fire(MUnknown* source, int32_t code, int32_t argument) {
  entries_.Fire([&](const Entry& e) { e.callback->OnEvent(source, code, e.key, argument); });
}

}  // namespace vk2
