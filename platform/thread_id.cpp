#include "platform/thread_id.h"

#include <pthread.h>
#include <unistd.h>

namespace vk2 {
namespace {

// gettid is a system call and a thread's id never changes, so each thread asks once. A forked
// child's only thread is a new thread with the forking thread's memory: it must ask again.
thread_local ThreadId tId = 0;

void ForgetIdInChild() {
  tId = 0;
}

const int gAtForkRegistered = pthread_atfork(nullptr, nullptr, ForgetIdInChild);

}  // namespace

ThreadId CurrentThreadId() {
  if (tId == 0) tId = static_cast<ThreadId>(gettid());
  return tId;
}

}  // namespace vk2
