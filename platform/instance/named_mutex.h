// The single-instance mutex: an exclusive flock on <run>/<name>.lock, tried without waiting and
// kept for the run. A holder that dies frees it with its descriptors, so a crashed instance
// never blocks the next start.
#pragma once

#include <string_view>

#include "platform/file_lock.h"

namespace vk2::instance {

class NamedMutex {
 public:
  // Tries once; Held() tells whether this process got it.
  explicit NamedMutex(std::string_view name);
  bool Held() const { return lock_.IsHeld(); }
  void Release() { lock_.Release(); }

 private:
  FileLock lock_;
};

}  // namespace vk2::instance
