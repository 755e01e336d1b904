#include "script/engine/value_memory.h"

#include <atomic>

#include "script/engine/run_limits.h"
#include "script/lang/script_error.h"

namespace vk2 {
namespace {

std::atomic<int64_t> gValueBytes{0};

// Trivial thread-locals, so that reaching them costs nothing; the owner below hands what is
// left to the shared total when the thread ends.
thread_local int64_t tPending = 0;
thread_local bool tOwnerMade = false;

void Flush() {
  gValueBytes.fetch_add(tPending, std::memory_order_relaxed);
  tPending = 0;
}

struct PendingOwner {
  ~PendingOwner() { Flush(); }
};
thread_local PendingOwner tOwner;

}  // namespace

void ChargeValueMemory(int64_t bytes) {
  if (!tOwnerMade) {
    (void)&tOwner;  // makes the owner exist on this thread
    tOwnerMade = true;
  }
  tPending += bytes;
  if (tPending >= kValueMemorySlack || tPending <= -kValueMemorySlack) Flush();
}

int64_t ValueMemoryInUse() {
  return gValueBytes.load(std::memory_order_relaxed) + tPending;
}

void CheckValueMemory() {
  uint64_t bound = MaxValueBytes();
  if (bound == 0) return;
  int64_t used = ValueMemoryInUse();
  if (used > 0 && static_cast<uint64_t>(used) > bound) {
    RaiseScriptError(u"Script values took too much memory");
  }
}

}  // namespace vk2
