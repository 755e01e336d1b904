#include "platform/thread_id.h"

#include <unistd.h>

namespace vk2 {

ThreadId CurrentThreadId() {
  // gettid is a system call; a thread's id never changes, so ask once.
  thread_local const ThreadId id = static_cast<ThreadId>(gettid());
  return id;
}

}  // namespace vk2
