#include "platform/serial_worker.h"

#include <utility>

namespace vk2 {

SerialWorker::SerialWorker(const char* name) : state_(std::make_shared<State>()) {
  state_->name = name;
}

void SerialWorker::Post(std::function<void()> work) {
  ScopedLock lock(state_->lock);
  if (state_->stop.load(std::memory_order_acquire)) return;
  state_->queue.push_back(std::move(work));
  if (!thread_.IsStarted()) {
    std::shared_ptr<State> state = state_;
    if (!thread_.Start([state] { Run(state); })) {
      state_->queue.clear();
      return;
    }
  }
  state_->wake.Set();
}

void SerialWorker::Stop() {
  Thread thread;
  {
    ScopedLock lock(state_->lock);
    state_->stop.store(true, std::memory_order_release);
    state_->queue.clear();
    thread = std::move(thread_);
  }
  if (!thread.IsStarted()) return;
  state_->wake.Set();
  if (thread.IsCurrent()) {
    thread.Detach();
    return;
  }
  thread.Join();
}

void SerialWorker::Run(const std::shared_ptr<State>& state) {
  SetCurrentThreadName(state->name);
  while (!state->stop.load(std::memory_order_acquire)) {
    state->wake.Wait();
    for (;;) {
      std::function<void()> work;
      {
        ScopedLock lock(state->lock);
        if (state->stop.load(std::memory_order_acquire) || state->queue.empty()) break;
        work = std::move(state->queue.front());
        state->queue.pop_front();
      }
      work();
    }
  }
}

}  // namespace vk2
