// The playlist lock: a lease that one thread holds at a time, re-entrant for its holder, with a
// token. A holder that took it with a non-zero token and keeps it past the takeover time without
// renewing it is presumed stale, and the next thread that asks takes the lease over. Only the
// lease moves: each operation on the list also holds the list's structure mutex, so a stale
// holder still inside an operation finishes it before the new holder's operation starts.
//
// Waiters wait with a deadline (the holder's first acquisition plus the takeover time), so a
// takeover happens even though a stale holder never unlocks. Time comes from an injected clock.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/clock.h"
#include "platform/thread_id.h"

namespace vk2 {

class PlaylistLock {
 public:
  static constexpr uint32_t kDefaultTakeoverMs = 15000;

  explicit PlaylistLock(Clock& clock, uint32_t takeoverMs = kDefaultTakeoverMs);
  PlaylistLock(const PlaylistLock&) = delete;
  PlaylistLock& operator=(const PlaylistLock&) = delete;

  // Blocks until the calling thread holds the lease; returns the token in force (the caller's
  // when it is the first hold or the holds so far carry none, else the one already set). Gives up
  // and returns false when `cancelled` turns true (checked whenever the waiter wakes; see
  // WakeWaiters).
  bool Acquire(uint32_t token, uint32_t* inForce = nullptr,
               const std::atomic<bool>* cancelled = nullptr);
  // Drops one hold. A non-zero token other than the one in force changes nothing (0); a caller
  // that does not hold the lease gets kErrNotFound. `onLast` runs, under the lock's own mutex,
  // when the last hold goes, so what it hands on keeps the order of the releases.
  int32_t Release(uint32_t token, const std::function<void()>& onLast = {});
  // Restarts the takeover time; kErrNotSupported unless the caller holds the lease with `token`.
  int32_t Renew(uint32_t token);
  // Wakes every waiter so that it looks at its cancel flag again.
  void WakeWaiters();

  bool HeldByCurrentThread();

 private:
  Clock& clock_;
  const uint32_t takeoverMs_;
  // The mutex and wake-up of waiters, shared with the clock (which may wake a finished wait).
  std::shared_ptr<ClockSleeper> sleeper_;
  ThreadId owner_ = 0;
  uint32_t holds_ = 0;
  uint32_t token_ = 0;
  uint64_t firstAcquiredMs_ = 0;
};

}  // namespace vk2
