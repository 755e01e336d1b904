// Delivers events to a list of listeners that are held without references.
//
// Events are posted under whatever lock the owner holds and delivered later, by `Deliver`, with
// no lock held: every event in posting order, to the listeners present when it is delivered.
// One thread delivers at a time; a thread that finds another delivering leaves its events to
// it, so nobody waits for a slow listener just to post. `Remove` returns only after a call in
// flight to that listener has finished (unless the remover is that call's own thread), so a
// listener removed is never called again and may be destroyed.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "foundation/util/result.h"

namespace vk2 {

template <class Listener, class Event>
class ListenerChannel {
 public:
  using DeliverFn = std::function<void(Listener*, const Event&)>;

  explicit ListenerChannel(DeliverFn deliver) : deliver_(std::move(deliver)) {}
  ListenerChannel(const ListenerChannel&) = delete;
  ListenerChannel& operator=(const ListenerChannel&) = delete;

  // kErrMissingArg for null, kErrAlreadyPresent when present.
  int32_t Add(Listener* listener) {
    if (!listener) return kErrMissingArg;
    std::lock_guard lock(mutex_);
    if (Contains(listener)) return kErrAlreadyPresent;
    listeners_.push_back(listener);
    return kOk;
  }

  // kErrNotFound when absent.
  int32_t Remove(Listener* listener) {
    std::unique_lock lock(mutex_);
    auto it = std::find(listeners_.begin(), listeners_.end(), listener);
    if (it == listeners_.end()) return kErrNotFound;
    listeners_.erase(it);
    if (deliverer_ != std::this_thread::get_id()) {
      idle_.wait(lock, [&] { return calling_ != listener; });
    }
    return kOk;
  }

  int32_t AddRemove(Listener* listener, int32_t add) {
    return add ? Add(listener) : Remove(listener);
  }

  bool Has(Listener* listener) const {
    std::lock_guard lock(mutex_);
    return Contains(listener);
  }

  size_t Count() const {
    std::lock_guard lock(mutex_);
    return listeners_.size();
  }

  // Queues an event; safe under any lock.
  void Post(Event event) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(event));
  }

  // Delivers what is queued. Call with no lock held.
  void Deliver() {
    std::unique_lock lock(mutex_);
    if (delivering_) return;
    delivering_ = true;
    deliverer_ = std::this_thread::get_id();
    while (!queue_.empty()) {
      Event event = std::move(queue_.front());
      queue_.pop_front();
      const std::vector<Listener*> snapshot = listeners_;
      for (Listener* listener : snapshot) {
        // Removed by an earlier listener of this round.
        if (!Contains(listener)) continue;
        calling_ = listener;
        lock.unlock();
        deliver_(listener, event);
        lock.lock();
        calling_ = nullptr;
        idle_.notify_all();
      }
    }
    delivering_ = false;
    deliverer_ = std::thread::id();
  }

  void PostAndDeliver(Event event) {
    Post(std::move(event));
    Deliver();
  }

 private:
  bool Contains(Listener* listener) const {
    return std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end();
  }

  const DeliverFn deliver_;
  mutable std::mutex mutex_;
  std::condition_variable idle_;
  std::vector<Listener*> listeners_;
  std::deque<Event> queue_;
  bool delivering_ = false;
  std::thread::id deliverer_;
  Listener* calling_ = nullptr;
};

}  // namespace vk2
