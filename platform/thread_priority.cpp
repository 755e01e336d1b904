#include "platform/thread_priority.h"

#include <sched.h>
#include <sys/resource.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vk2 {
namespace {

// Low enough to stay under the usual RLIMIT_RTPRIO of audio users and below the sound server.
constexpr int kFifoPriority = 10;

std::atomic<bool> gRefusalReported{false};

void ReportRefusal(ThreadPriority priority, int err) {
  if (gRefusalReported.exchange(true)) return;
  std::fprintf(stderr,
               "velkora2: the system refused thread priority %d (%s); threads keep the priority "
               "they have\n",
               static_cast<int>(priority), std::strerror(err));
}

// Linux keeps policy and nice value per thread, addressed by the kernel thread id.
bool ApplyNice(pid_t tid, int nice) {
  sched_param param{};
  if (sched_setscheduler(tid, SCHED_OTHER, &param) != 0) return false;
  return setpriority(PRIO_PROCESS, static_cast<id_t>(tid), nice) == 0;
}

bool ApplyFifo(pid_t tid, int priority) {
  sched_param param{};
  param.sched_priority = priority;
  return sched_setscheduler(tid, SCHED_FIFO, &param) == 0;
}

}  // namespace

PriorityMapping MapThreadPriority(ThreadPriority priority) {
  const int level = static_cast<int>(priority);
  if (level >= 15) return {true, kFifoPriority, -15};
  if (level >= 2) return {false, 0, -10};
  if (level == 1) return {false, 0, -5};
  if (level == 0) return {false, 0, 0};
  if (level == -1) return {false, 0, 5};
  if (level > -15) return {false, 0, 10};
  return {false, 0, 19};
}

bool SetThreadPriority(ThreadId id, ThreadPriority priority) {
  const pid_t tid = static_cast<pid_t>(id != 0 ? id : CurrentThreadId());
  const PriorityMapping m = MapThreadPriority(priority);
  if (m.realtime) {
    if (ApplyFifo(tid, m.fifoPriority)) return true;
    ReportRefusal(priority, errno);
  }
  if (ApplyNice(tid, m.nice)) return true;
  ReportRefusal(priority, errno);
  return false;
}

}  // namespace vk2
