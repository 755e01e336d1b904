// Time limits and results shared by every wait in the platform layer.
#pragma once

#include <cstdint>

namespace vk2 {

// A time limit of this many milliseconds never runs out.
inline constexpr uint32_t kInfinite = 0xFFFFFFFFu;

// Results of WaitAny besides the index of the event that woke the waiter.
inline constexpr int32_t kWaitTimeout = -1;
inline constexpr int32_t kWaitFailed = -2;  // nothing to wait for, or a null event

}  // namespace vk2
