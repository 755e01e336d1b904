#include "script/engine/value_memory.h"

#include <atomic>

#include "script/engine/run_budget.h"
#include "script/engine/run_limits.h"

namespace vk2 {
namespace {

std::atomic<int64_t> gValueBytes{0};

// Trivial thread-locals, so that reaching them costs nothing; the owner below hands what is
// left to the shared total when the thread ends.
thread_local int64_t tPending = 0;
thread_local bool tOwnerMade = false;

void Flush() {
  int64_t total = gValueBytes.fetch_add(tPending, std::memory_order_relaxed) + tPending;
  bool grew = tPending > 0;
  tPending = 0;
  uint64_t bound = MaxValueBytes();
  if (grew && bound != 0 && total > 0 && static_cast<uint64_t>(total) > bound) CheckRunSoon();
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

bool ValueMemoryOverBound() {
  uint64_t bound = MaxValueBytes();
  int64_t used = ValueMemoryInUse();
  return bound != 0 && used > 0 && static_cast<uint64_t>(used) > bound;
}

}  // namespace vk2
