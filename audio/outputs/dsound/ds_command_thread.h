// The one thread per library on which DirectSound buffers are created and started: callers
// queue a command and wait for its result. The thread lives from its first use to the library's
// last detach (Stop); commands run after that run on the caller's thread.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/event.h"
#include "platform/thread.h"

namespace vk2 {

class DsCommandThread {
 public:
  // A caller gives up on a command that has not run within this time (the thread is stuck);
  // the command still runs later and must own what it touches.
  static constexpr uint32_t kCommandTimeoutMs = 10000;
  static constexpr int32_t kCommandTimedOut = -1;

  static DsCommandThread& Instance();

  // Runs `command` on the thread, after every command queued before it.
  int32_t Run(std::function<int32_t()> command);
  // Ends the thread after the commands already queued.
  void Stop();

  ~DsCommandThread();

 private:
  struct Command {
    std::function<int32_t()> run;
    int32_t result = 0;
    Event done{EventReset::kManual};
  };
  void Loop();

  std::mutex mutex_;
  std::deque<std::shared_ptr<Command>> queue_;
  Event wake_;
  Thread thread_;
  bool stopped_ = false;
};

}  // namespace vk2
