// Events: auto-reset (a Set wakes one waiter, or stays set until one wait takes it) and
// manual-reset (stays set until Reset, waking every waiter), and a wait for any of several.
//
// Each event has its own mutex and a list of registered waiters. A waiter carries its own
// mutex, condition variable and a "woken by" slot that is claimed exactly once: by the first
// event that hands itself over, or by the time-out. An auto-reset Set hands the event straight
// to one unclaimed waiter (so it is consumed by that waiter and no other), and stays set only
// when none was waiting. Lock order: event, then waiter, then clock.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <span>
#include <vector>

#include "platform/wait.h"

namespace vk2 {

struct EventWaiter;

enum class EventReset { kAuto, kManual };

class Event {
 public:
  explicit Event(EventReset reset = EventReset::kAuto, bool initiallySet = false)
      : manual_(reset == EventReset::kManual), set_(initiallySet) {}
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  // An event must outlive every wait on it.
  ~Event() = default;

  void Set();
  void Reset();
  // Waits until the event is set or `timeoutMs` pass on the current clock; an auto-reset event
  // is consumed by a successful wait. Returns whether it was set.
  bool Wait(uint32_t timeoutMs = kInfinite);
  bool IsManualReset() const { return manual_; }

 private:
  friend int32_t WaitAny(std::span<Event* const> events, uint32_t timeoutMs);

  struct Registration {
    EventWaiter* waiter;
    int32_t index;
  };

  // Under mutex_: takes the event for `waiter` if it is set, else registers the waiter.
  enum class Offer { kTaken, kRegistered, kAlreadyWoken };
  Offer OfferLocked(EventWaiter& waiter, int32_t index);
  void Unregister(EventWaiter* waiter);

  std::mutex mutex_;
  const bool manual_;
  bool set_;                           // guarded by mutex_
  std::vector<Registration> waiters_;  // guarded by mutex_, oldest first
};

// Waits until one of `events` is set or `timeoutMs` pass on the current clock. Returns the
// index of the event that woke the caller (the lowest index when several are already set) and
// consumes only that one when it is auto-reset; the others are left as they were. Returns
// kWaitTimeout when time ran out, kWaitFailed for an empty list or a null entry.
int32_t WaitAny(std::span<Event* const> events, uint32_t timeoutMs = kInfinite);
inline int32_t WaitAny(std::initializer_list<Event*> events, uint32_t timeoutMs = kInfinite) {
  return WaitAny(std::span<Event* const>(events.begin(), events.size()), timeoutMs);
}

}  // namespace vk2
