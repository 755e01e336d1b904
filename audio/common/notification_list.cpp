#include "audio/common/notification_list.h"

#include <algorithm>

#include "foundation/util/result.h"

namespace vk2 {

int32_t NotificationList::Add(MAudioCallback* callback, double seconds, uint32_t key) {
  if (!callback) return kErrMissingArg;
  for (const TimeNotification& n : entries_) {
    if (n.callback == callback && n.key == key) return kErrAlreadyPresent;
  }
  entries_.push_back(TimeNotification{callback, seconds, key});
  return kOk;
}

int32_t NotificationList::Remove(MAudioCallback* callback, double seconds, uint32_t key) {
  auto it = std::find_if(entries_.begin(), entries_.end(), [&](const TimeNotification& n) {
    return n.callback == callback && n.key == key && n.seconds == seconds;
  });
  if (it == entries_.end()) return kErrNotFound;
  entries_.erase(it);
  return kOk;
}

}  // namespace vk2
