// A thread that runs posted work items one after another, so that an object never acts from
// inside another's callback: the output node on its endpoint's events, the media system on its
// chains' events.
// The queue is shared with the running thread, so the worker may even be destroyed by one of
// its own items: the thread then ends after that item.
#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>

#include "platform/critical_section.h"
#include "platform/event.h"
#include "platform/thread.h"

namespace vk2 {

class SerialWorker {
 public:
  explicit SerialWorker(const char* name);
  ~SerialWorker() { Stop(); }
  SerialWorker(const SerialWorker&) = delete;
  SerialWorker& operator=(const SerialWorker&) = delete;

  // Queues `work` (the thread starts on first use). Work posted after Stop is dropped.
  void Post(std::function<void()> work);
  // Drops what is queued and ends the thread: waits for the item running now unless called on
  // the thread itself. Idempotent.
  void Stop();

 private:
  struct State {
    const char* name;
    CriticalSection lock;
    std::deque<std::function<void()>> queue;  // guarded by lock
    Event wake{EventReset::kAuto};
    std::atomic<bool> stop{false};
  };
  static void Run(const std::shared_ptr<State>& state);

  std::shared_ptr<State> state_;
  Thread thread_;  // guarded by state_->lock
};

}  // namespace vk2
