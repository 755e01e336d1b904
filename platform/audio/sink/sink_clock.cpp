#include "platform/audio/sink/sink_clock.h"

#include <chrono>

namespace vk2 {

namespace {
uint64_t SteadyMicros() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}
}  // namespace

SteadySinkClock::SteadySinkClock(double speed)
    : speed_(speed > 0 ? speed : 1.0), originMicros_(SteadyMicros()) {}

uint64_t SteadySinkClock::NowMicros() {
  return static_cast<uint64_t>(static_cast<double>(SteadyMicros() - originMicros_) * speed_);
}

}  // namespace vk2
