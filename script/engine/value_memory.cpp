#include "script/engine/value_memory.h"

#include <atomic>

#include "script/engine/run_budget.h"
#include "script/engine/run_limits.h"

namespace vk2 {
namespace {

std::atomic<int64_t> gValueBytes{0};

// Trivial thread-locals, so that reaching them costs nothing; the owner below hands what is
// left to the shared total when the thread ends, and changes after that go there directly.
thread_local int64_t tPending = 0;
enum class OwnerState : uint8_t { kNone, kLive, kGone };
thread_local OwnerState tOwnerState = OwnerState::kNone;

void Flush() {
  int64_t total = gValueBytes.fetch_add(tPending, std::memory_order_relaxed) + tPending;
  bool grew = tPending > 0;
  tPending = 0;
  uint64_t bound = MaxValueBytes();
  if (grew && bound != 0 && total > 0 && static_cast<uint64_t>(total) > bound) CheckRunSoon();
}

struct PendingOwner {
  ~PendingOwner() {
    Flush();
    tOwnerState = OwnerState::kGone;
  }
};
thread_local PendingOwner tOwner;

}  // namespace

void ChargeValueMemory(int64_t bytes) {
  if (tOwnerState != OwnerState::kLive) {
    if (tOwnerState == OwnerState::kGone) {
      gValueBytes.fetch_add(bytes, std::memory_order_relaxed);
      return;
    }
    (void)&tOwner;  // makes the owner exist on this thread
    tOwnerState = OwnerState::kLive;
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
