#include "platform/sleep.h"

#include <sched.h>

#include <memory>

#include "platform/clock.h"

namespace vk2 {

void SleepMs(uint32_t ms) {
  if (ms == 0) {
    YieldThread();
    return;
  }
  Clock& clock = CurrentClock();
  const uint64_t deadline = DeadlineAfter(clock, ms);
  auto sleeper = std::make_shared<ClockSleeper>();
  std::unique_lock<std::mutex> lock(sleeper->mutex);
  while (!clock.WaitUntil(sleeper, lock, deadline)) {
  }
}

void YieldThread() {
  sched_yield();
}

}  // namespace vk2
