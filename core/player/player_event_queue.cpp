#include "core/player/player_event_queue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace vk2 {

// Shared with the worker, so that a worker told to stop from inside its own handler can finish
// after the queue object is gone.
struct PlayerEventQueue::State {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<PlayerEvent> events;
  bool stopping = false;
  Handler handler;
};

PlayerEventQueue::PlayerEventQueue(Handler handler) : state_(std::make_shared<State>()) {
  state_->handler = std::move(handler);
}

PlayerEventQueue::~PlayerEventQueue() {
  Stop();
}

bool PlayerEventQueue::Start() {
  if (thread_.IsStarted()) return true;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = false;
  }
  return thread_.Start([state = state_] {
    SetCurrentThreadName("vk2-player-evt");
    Run(state);
  });
}

void PlayerEventQueue::Stop() {
  {
    std::lock_guard lock(state_->mutex);
    state_->stopping = true;
    state_->events.clear();
  }
  state_->wake.notify_all();
  if (!thread_.IsStarted()) return;
  if (thread_.IsCurrent()) {
    thread_.Detach();
    return;
  }
  thread_.Join();
  thread_.CloseHandle();
}

void PlayerEventQueue::Post(int32_t code, TString text) {
  {
    std::lock_guard lock(state_->mutex);
    if (state_->stopping) return;
    state_->events.push_back(PlayerEvent{code, std::move(text)});
  }
  state_->wake.notify_one();
}

bool PlayerEventQueue::IsWorkerThread() const {
  return thread_.IsStarted() && thread_.IsCurrent();
}

void PlayerEventQueue::Run(const std::shared_ptr<State>& state) {
  std::unique_lock lock(state->mutex);
  for (;;) {
    state->wake.wait(lock, [&] { return state->stopping || !state->events.empty(); });
    if (state->stopping) return;
    PlayerEvent event = std::move(state->events.front());
    state->events.pop_front();
    lock.unlock();
    state->handler(event);
    lock.lock();
  }
}

}  // namespace vk2
