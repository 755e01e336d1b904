// Time notifications a module keeps: (callback, seconds, key) entries. The same (callback, key)
// twice gives -6; removing an entry that is not there gives -5. Not locked: the owner locks.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_callbacks.h"

namespace vk2 {

struct TimeNotification {
  MAudioCallback* callback = nullptr;  // not counted while registered
  double seconds = 0;
  uint32_t key = 0;
};

class NotificationList {
 public:
  int32_t Add(MAudioCallback* callback, double seconds, uint32_t key);
  int32_t Remove(MAudioCallback* callback, double seconds, uint32_t key);
  bool IsEmpty() const { return entries_.empty(); }
  const std::vector<TimeNotification>& Entries() const { return entries_; }
  // Takes out every entry for which `due(entry)` holds, in order.
  template <class Pred>
  std::vector<TimeNotification> TakeIf(Pred due) {
    std::vector<TimeNotification> taken;
    std::vector<TimeNotification> kept;
    for (const TimeNotification& n : entries_)
      (due(n) ? taken : kept).push_back(n);
    entries_.swap(kept);
    return taken;
  }
  std::vector<TimeNotification> TakeAll() {
    std::vector<TimeNotification> all;
    all.swap(entries_);
    return all;
  }

 private:
  std::vector<TimeNotification> entries_;
};

}  // namespace vk2
