// Giving up the processor.
#pragma once

#include <cstdint>

namespace vk2 {

// Sleeps `ms` milliseconds of the current clock (under a FakeClock: until it is advanced that
// far). 0 only yields.
void SleepMs(uint32_t ms);
void YieldThread();

}  // namespace vk2
