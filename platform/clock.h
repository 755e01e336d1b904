// Time: a monotonic millisecond clock and a high-resolution counter behind a replaceable
// interface, so that tests drive time-outs and periodic work in exact milliseconds.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

namespace vk2 {

// What a clock wakes when its time moves: a waiter's mutex and condition variable. Shared, so
// a clock may still notify a waiter that has just stopped waiting.
struct ClockSleeper {
  std::mutex mutex;
  std::condition_variable cv;
};

inline constexpr uint64_t kNoDeadline = ~uint64_t{0};

class Clock {
 public:
  virtual ~Clock() = default;

  // Milliseconds since an arbitrary start; never goes back.
  virtual uint64_t NowMs() = 0;
  // A finer monotonic count and its ticks per second.
  virtual uint64_t Counter() = 0;
  virtual uint64_t CounterFrequency() = 0;

  // Blocks on sleeper.cv; `lock` holds sleeper.mutex on entry and on return. Returns when the
  // condition variable is notified (or spuriously), or once NowMs() has reached deadlineMs
  // (kNoDeadline: never). Returns whether the deadline has been reached.
  virtual bool WaitUntil(const std::shared_ptr<ClockSleeper>& sleeper,
                         std::unique_lock<std::mutex>& lock, uint64_t deadlineMs) = 0;
};

// The real clock: CLOCK_MONOTONIC.
Clock& SystemClock();

// The clock every time-out and tick in the process reads. Replace it before starting the
// threads that should see the replacement; waits already under way keep the clock they began on.
Clock& CurrentClock();
// Installs `clock` (null: the system clock again) and returns the one it replaces.
Clock* SetCurrentClock(Clock* clock);

// Installs a clock for the lifetime of the guard (typically a test's FakeClock).
class ScopedClock {
 public:
  explicit ScopedClock(Clock& clock) : previous_(SetCurrentClock(&clock)) {}
  ~ScopedClock() { SetCurrentClock(previous_); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock* previous_;
};

// The current clock in milliseconds, cut to 32 bits: callers compare ticks across wrap-around
// with TickElapsed and TickReached, never with < on raw values.
uint32_t TickCount();
uint64_t TickCount64();
uint64_t HighResCounter();
uint64_t HighResFrequency();

// Milliseconds from `earlier` to `later`, correct across one wrap of the 32-bit tick.
constexpr uint32_t TickElapsed(uint32_t later, uint32_t earlier) {
  return later - earlier;
}
// Whether `now` is at or after `deadline`, for deadlines less than 2^31 ms away.
constexpr bool TickReached(uint32_t now, uint32_t deadline) {
  return static_cast<int32_t>(now - deadline) >= 0;
}

// The deadline, on `clock`, of a wait that starts now with `timeoutMs` (kInfinite: none).
uint64_t DeadlineAfter(Clock& clock, uint32_t timeoutMs);
// The time limit, from now on `clock`, of a wait that must end by `deadline`: 0 once it has
// passed, kInfinite for kNoDeadline.
uint32_t MsUntil(Clock& clock, uint64_t deadline);

}  // namespace vk2
