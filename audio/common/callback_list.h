// The (callback, key) registrations of a module. Registration adds no reference: a receiver
// unregisters before it goes. Fire calls the callbacks while holding the list's lock, so an
// Unregister waits for a fire under way and a callback is never called after it returned;
// callbacks therefore only queue (a callback may still register or unregister on the same list
// from inside: the lock is recursive).
#pragma once

#include <cstdint>
#include <vector>

#include "interfaces/audio/audio_callbacks.h"
#include "platform/critical_section.h"

namespace vk2 {

class CallbackList {
 public:
  // -6 when the pair is present, -9 for a null callback.
  int32_t Register(MAudioCallback* callback, uint32_t key);
  // -5 when the pair is absent.
  int32_t Unregister(MAudioCallback* callback, uint32_t key);
  // OnEvent(source, code, registration key, argument) to every callback in registration order.
  void Fire(MUnknown* source, int32_t code, int32_t argument);
  bool IsEmpty() const;
  size_t Count() const;

 private:
  struct Entry {
    MAudioCallback* callback;
    uint32_t key;
    bool operator==(const Entry& o) const { return callback == o.callback && key == o.key; }
  };
  mutable CriticalSection lock_;
  std::vector<Entry> entries_;
};

}  // namespace vk2
