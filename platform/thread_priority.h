// Thread priorities, best effort: a refusal by the system is reported once on stderr and the
// thread runs on at the priority it had.
#pragma once

#include <cstdint>

#include "platform/thread_id.h"

namespace vk2 {

// The levels callers ask for, with the numbers they use for them.
enum class ThreadPriority : int32_t {
  kIdle = -15,
  kLowest = -2,
  kBelowNormal = -1,
  kNormal = 0,
  kAboveNormal = 1,
  kHighest = 2,
  kTimeCritical = 15,
};

// How a level is carried out: time critical asks for SCHED_FIFO (falling back to the highest
// nice value when that is refused); the others are nice values under SCHED_OTHER.
struct PriorityMapping {
  bool realtime;
  int fifoPriority;  // when realtime
  int nice;          // otherwise, and the fallback for realtime
};
// Numbers between the named levels go to the nearest level towards normal.
PriorityMapping MapThreadPriority(ThreadPriority priority);

// Applies `priority` to the thread `id` (0: the calling thread). Returns whether the system
// accepted the mapping or its fallback.
bool SetThreadPriority(ThreadId id, ThreadPriority priority);
inline bool SetCurrentThreadPriority(ThreadPriority priority) {
  return SetThreadPriority(0, priority);
}

}  // namespace vk2
