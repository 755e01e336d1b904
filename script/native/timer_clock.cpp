#include "script/native/timer_clock.h"

#include <chrono>

namespace vk2 {
namespace {

class SteadyClock final : public TimerClock {
 public:
  uint32_t NowMs() override {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
  }
};

}  // namespace

std::shared_ptr<TimerClock> SteadyTimerClock() {
  return std::make_shared<SteadyClock>();
}

}  // namespace vk2
