#include "platform/audio/sink/scaled_clock.h"

namespace vk2 {

uint64_t CounterToMicros(uint64_t counter, uint64_t frequency) {
  if (frequency == 0) return 0;
  return counter / frequency * 1'000'000 + counter % frequency * 1'000'000 / frequency;
}

ScaledClock::ScaledClock(double speed)
    : speed_(speed > 0 ? speed : 1.0),
      originMs_(SystemClock().NowMs()),
      originCounter_(SystemClock().Counter()) {}

uint64_t ScaledClock::Counter() {
  Clock& real = SystemClock();
  const uint64_t micros = CounterToMicros(real.Counter() - originCounter_, real.CounterFrequency());
  return static_cast<uint64_t>(static_cast<double>(micros) * speed_);
}

bool ScaledClock::WaitUntil(const std::shared_ptr<ClockSleeper>& sleeper,
                            std::unique_lock<std::mutex>& lock, uint64_t deadlineMs) {
  if (deadlineMs == kNoDeadline) return SystemClock().WaitUntil(sleeper, lock, kNoDeadline);
  const auto realDeadline =
      originMs_ + static_cast<uint64_t>(static_cast<double>(deadlineMs) / speed_);
  SystemClock().WaitUntil(sleeper, lock, realDeadline);
  return NowMs() >= deadlineMs;
}

}  // namespace vk2
