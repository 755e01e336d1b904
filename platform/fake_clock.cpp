#include "platform/fake_clock.h"

#include <algorithm>
#include <chrono>

namespace vk2 {

uint64_t FakeClock::NowMs() {
  std::lock_guard<std::mutex> guard(mutex_);
  return nowUs_ / 1000;
}

uint64_t FakeClock::Counter() {
  std::lock_guard<std::mutex> guard(mutex_);
  return nowUs_;
}

void FakeClock::AdvanceUs(uint64_t us) {
  std::vector<std::shared_ptr<ClockSleeper>> due;
  {
    std::lock_guard<std::mutex> guard(mutex_);
    nowUs_ += us;
    const uint64_t nowMs = nowUs_ / 1000;
    // Due sleepers leave the list now, so WaitForSleepers counts only those still asleep and
    // a test can wait for a woken thread to go back to sleep.
    auto keep = std::partition(sleepers_.begin(), sleepers_.end(),
                               [&](const Entry& e) { return e.deadlineMs > nowMs; });
    for (auto it = keep; it != sleepers_.end(); ++it)
      due.push_back(std::move(it->sleeper));
    sleepers_.erase(keep, sleepers_.end());
    if (!due.empty()) sleepersChanged_.notify_all();
  }
  // Taking each sleeper's mutex before notifying closes the gap between a waiter reading the
  // time and blocking: it reads the time under that mutex and releases it only inside wait().
  // The clock's own mutex is not held here, so waiters may register meanwhile (their order is
  // sleeper then clock).
  for (const auto& s : due) {
    std::lock_guard<std::mutex> guard(s->mutex);
    s->cv.notify_all();
  }
}

bool FakeClock::WaitUntil(const std::shared_ptr<ClockSleeper>& sleeper,
                          std::unique_lock<std::mutex>& lock, uint64_t deadlineMs) {
  if (deadlineMs == kNoDeadline) {
    sleeper->cv.wait(lock);
    return false;
  }
  {
    std::lock_guard<std::mutex> guard(mutex_);
    if (nowUs_ / 1000 >= deadlineMs) return true;
    sleepers_.push_back({sleeper, deadlineMs});
    sleepersChanged_.notify_all();
  }
  sleeper->cv.wait(lock);
  std::lock_guard<std::mutex> guard(mutex_);
  auto it = std::find_if(sleepers_.begin(), sleepers_.end(),
                         [&](const Entry& e) { return e.sleeper == sleeper; });
  if (it != sleepers_.end()) sleepers_.erase(it);
  sleepersChanged_.notify_all();
  return nowUs_ / 1000 >= deadlineMs;
}

size_t FakeClock::SleeperCount() {
  std::lock_guard<std::mutex> guard(mutex_);
  return sleepers_.size();
}

bool FakeClock::WaitForSleepers(size_t count, uint32_t realTimeoutMs) {
  std::unique_lock<std::mutex> lock(mutex_);
  return sleepersChanged_.wait_for(lock, std::chrono::milliseconds(realTimeoutMs),
                                   [&] { return sleepers_.size() >= count; });
}

}  // namespace vk2
