// The system clock running faster (or slower) by a constant factor, for captures that should
// take less than real time.
#pragma once

#include "platform/clock.h"

namespace vk2 {

class ScaledClock final : public Clock {
 public:
  explicit ScaledClock(double speed);

  uint64_t NowMs() override { return Counter() / 1000; }
  // Microseconds of scaled time since the clock was made.
  uint64_t Counter() override;
  uint64_t CounterFrequency() override { return 1'000'000; }
  bool WaitUntil(const std::shared_ptr<ClockSleeper>& sleeper, std::unique_lock<std::mutex>& lock,
                 uint64_t deadlineMs) override;

 private:
  double speed_;
  uint64_t originMs_;
  uint64_t originCounter_;
};

// Microseconds in `counter` ticks of `frequency`, without overflowing for long uptimes.
uint64_t CounterToMicros(uint64_t counter, uint64_t frequency);

}  // namespace vk2
