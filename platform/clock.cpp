#include "platform/clock.h"

#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>

#include "platform/wait.h"

namespace vk2 {
namespace {

uint64_t MonotonicNs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1'000'000'000u + static_cast<uint64_t>(ts.tv_nsec);
}

class MonotonicClock final : public Clock {
 public:
  uint64_t NowMs() override { return MonotonicNs() / 1'000'000u; }
  uint64_t Counter() override { return MonotonicNs(); }
  uint64_t CounterFrequency() override { return 1'000'000'000u; }

  bool WaitUntil(const std::shared_ptr<ClockSleeper>& sleeper, std::unique_lock<std::mutex>& lock,
                 uint64_t deadlineMs) override {
    if (deadlineMs == kNoDeadline) {
      sleeper->cv.wait(lock);
      return false;
    }
    const uint64_t now = NowMs();
    if (now >= deadlineMs) return true;
    // std::chrono::steady_clock is CLOCK_MONOTONIC, the same time line as NowMs.
    sleeper->cv.wait_for(lock, std::chrono::milliseconds(deadlineMs - now));
    return NowMs() >= deadlineMs;
  }
};

MonotonicClock gMonotonicClock;
std::atomic<Clock*> gCurrentClock{&gMonotonicClock};

}  // namespace

Clock& SystemClock() {
  return gMonotonicClock;
}

Clock& CurrentClock() {
  return *gCurrentClock.load(std::memory_order_acquire);
}

Clock* SetCurrentClock(Clock* clock) {
  return gCurrentClock.exchange(clock ? clock : &gMonotonicClock, std::memory_order_acq_rel);
}

uint32_t TickCount() {
  return static_cast<uint32_t>(CurrentClock().NowMs());
}
uint64_t TickCount64() {
  return CurrentClock().NowMs();
}
uint64_t HighResCounter() {
  return CurrentClock().Counter();
}
uint64_t HighResFrequency() {
  return CurrentClock().CounterFrequency();
}

uint64_t DeadlineAfter(Clock& clock, uint32_t timeoutMs) {
  if (timeoutMs == kInfinite) return kNoDeadline;
  return clock.NowMs() + timeoutMs;
}

uint32_t MsUntil(Clock& clock, uint64_t deadline) {
  if (deadline == kNoDeadline) return kInfinite;
  const uint64_t now = clock.NowMs();
  if (deadline <= now) return 0;
  return static_cast<uint32_t>(std::min<uint64_t>(deadline - now, kInfinite - 1));
}

}  // namespace vk2
