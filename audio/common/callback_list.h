// The (callback, key) registrations of a module. Registration adds no reference: a receiver
// unregisters before it goes. Unregister waits for a fire under way on another thread, so a
// callback is never called after it returned; callbacks run outside the list's lock and may
// register or unregister on the same list from inside.
#pragma once

#include <cstdint>

#include "component/object/registration_list.h"
#include "interfaces/audio/audio_callbacks.h"

namespace vk2 {

class CallbackList {
 public:
  // -6 when the pair is present, -9 for a null callback.
  int32_t Register(MAudioCallback* callback, uint32_t key);
  // -5 when the pair is absent.
  int32_t Unregister(MAudioCallback* callback, uint32_t key);
  // OnEvent(source, code, registration key, argument) to every callback in registration order.
  void Fire(MUnknown* source, int32_t code, int32_t argument);
  bool IsEmpty() const { return entries_.IsEmpty(); }
  size_t Count() const { return entries_.Count(); }

 private:
  struct Entry {
    MAudioCallback* callback;
    uint32_t key;
    bool operator==(const Entry& o) const { return callback == o.callback && key == o.key; }
  };
  RegistrationList<Entry> entries_;
};

}  // namespace vk2
