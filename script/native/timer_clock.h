// The millisecond clock the timer object schedules by. Tests put a fake one in its place.
#pragma once

#include <cstdint>
#include <memory>

namespace vk2 {

class TimerClock {
 public:
  virtual ~TimerClock() = default;
  // Monotonic milliseconds, wrapping at 32 bits; only differences are used.
  virtual uint32_t NowMs() = 0;
};

std::shared_ptr<TimerClock> SteadyTimerClock();

}  // namespace vk2
