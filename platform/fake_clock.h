// A clock that moves only when told: tests install it (ScopedClock) and step time with
// Advance, which wakes every wait whose deadline it passes. Thread-safe.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/clock.h"

namespace vk2 {

class FakeClock final : public Clock {
 public:
  // The counter runs in microseconds.
  static constexpr uint64_t kFrequency = 1'000'000;

  explicit FakeClock(uint64_t startMs = 0) : nowUs_(startMs * 1000) {}

  void Advance(uint64_t ms) { AdvanceUs(ms * 1000); }
  void AdvanceUs(uint64_t us);

  uint64_t NowMs() override;
  uint64_t Counter() override;
  uint64_t CounterFrequency() override { return kFrequency; }
  bool WaitUntil(const std::shared_ptr<ClockSleeper>& sleeper, std::unique_lock<std::mutex>& lock,
                 uint64_t deadlineMs) override;

  // How many waits are blocked on this clock with a deadline it has not reached yet.
  size_t SleeperCount();
  // Blocks until at least `count` waits are blocked with a deadline, so that a test advances
  // time only once the threads it drives are asleep. `realTimeoutMs` (real time) is the way out
  // when they never get there; returns false then.
  bool WaitForSleepers(size_t count, uint32_t realTimeoutMs = 10'000);

 private:
  struct Entry {
    std::shared_ptr<ClockSleeper> sleeper;
    uint64_t deadlineMs;
  };

  std::mutex mutex_;
  std::condition_variable sleepersChanged_;
  uint64_t nowUs_;  // guarded by mutex_
  std::vector<Entry> sleepers_;
};

}  // namespace vk2
