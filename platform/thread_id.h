// Identity of the calling thread.
#pragma once

#include <cstdint>

namespace vk2 {

// The kernel's id of a thread: unique among live threads of the system, never 0.
using ThreadId = uint32_t;

ThreadId CurrentThreadId();

}  // namespace vk2
