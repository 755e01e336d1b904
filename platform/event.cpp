#include "platform/event.h"

#include <algorithm>
#include <memory>

#include "platform/clock.h"

namespace vk2 {

struct EventWaiter : ClockSleeper {
  static constexpr int32_t kUnclaimed = -100;
  int32_t wokenBy = kUnclaimed;  // guarded by mutex: an event index or kWaitTimeout

  // Claims the waiter for `index` unless something else already has; mutex held by the caller.
  bool Claim(int32_t index) {
    if (wokenBy != kUnclaimed) return false;
    wokenBy = index;
    return true;
  }
};

void Event::Set() {
  std::lock_guard<std::mutex> guard(mutex_);
  if (manual_) {
    set_ = true;
    for (const Registration& r : waiters_) {
      std::lock_guard<std::mutex> waiterGuard(r.waiter->mutex);
      if (r.waiter->Claim(r.index)) r.waiter->cv.notify_one();
    }
    waiters_.clear();
    return;
  }
  // Hand the event to the oldest waiter that is still free to take it; waiters already woken
  // by another event or by their time-out are skipped (and leave the list on their own).
  while (!waiters_.empty()) {
    Registration r = waiters_.front();
    waiters_.erase(waiters_.begin());
    std::lock_guard<std::mutex> waiterGuard(r.waiter->mutex);
    if (r.waiter->Claim(r.index)) {
      r.waiter->cv.notify_one();
      return;
    }
  }
  set_ = true;
}

void Event::Reset() {
  std::lock_guard<std::mutex> guard(mutex_);
  set_ = false;
}

bool Event::Wait(uint32_t timeoutMs) {
  Event* self = this;
  return WaitAny(std::span<Event* const>(&self, 1), timeoutMs) == 0;
}

Event::Offer Event::OfferLocked(EventWaiter& waiter, int32_t index) {
  std::lock_guard<std::mutex> waiterGuard(waiter.mutex);
  // An event registered earlier may have woken the waiter already: then this one must stay
  // untouched, or WaitAny would consume two events.
  if (waiter.wokenBy != EventWaiter::kUnclaimed) return Offer::kAlreadyWoken;
  if (set_) {
    waiter.Claim(index);
    if (!manual_) set_ = false;
    return Offer::kTaken;
  }
  waiters_.push_back({&waiter, index});
  return Offer::kRegistered;
}

void Event::Unregister(EventWaiter* waiter) {
  std::lock_guard<std::mutex> guard(mutex_);
  std::erase_if(waiters_, [&](const Registration& r) { return r.waiter == waiter; });
}

int32_t WaitAny(std::span<Event* const> events, uint32_t timeoutMs) {
  if (events.empty()) return kWaitFailed;
  if (std::find(events.begin(), events.end(), nullptr) != events.end()) return kWaitFailed;

  // Most waits find an event already set, or only poll: neither needs a waiter.
  for (size_t i = 0; i < events.size(); ++i) {
    Event& e = *events[i];
    std::lock_guard<std::mutex> guard(e.mutex_);
    if (e.set_) {
      if (!e.manual_) e.set_ = false;
      return static_cast<int32_t>(i);
    }
  }
  if (timeoutMs == 0) return kWaitTimeout;

  Clock& clock = CurrentClock();
  const uint64_t deadline = DeadlineAfter(clock, timeoutMs);
  auto waiter = std::make_shared<EventWaiter>();

  size_t registered = 0;
  for (size_t i = 0; i < events.size(); ++i) {
    Event& e = *events[i];
    std::lock_guard<std::mutex> guard(e.mutex_);
    const Event::Offer offer = e.OfferLocked(*waiter, static_cast<int32_t>(i));
    if (offer != Event::Offer::kRegistered) break;
    registered = i + 1;
  }

  int32_t result;
  {
    std::unique_lock<std::mutex> lock(waiter->mutex);
    while (waiter->wokenBy == EventWaiter::kUnclaimed) {
      if (clock.WaitUntil(waiter, lock, deadline)) {
        // Claiming the time-out under the waiter's mutex means no Set can hand an event to
        // this waiter afterwards, so no auto-reset event is lost to a wait that gave up.
        waiter->Claim(kWaitTimeout);
      }
    }
    result = waiter->wokenBy;
  }
  for (size_t i = 0; i < registered; ++i)
    events[i]->Unregister(waiter.get());
  return result;
}

}  // namespace vk2
