// Critical sections: recursive mutexes, so a holder may enter again (listeners calling back in).
#pragma once

#include <atomic>
#include <mutex>

#include "platform/thread_id.h"

namespace vk2 {

class CriticalSection {
 public:
  CriticalSection() = default;
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter() {
    mutex_.lock();
    OnEntered();
  }
  bool TryEnter() {
    if (!mutex_.try_lock()) return false;
    OnEntered();
    return true;
  }
  void Leave() {
    if (--depth_ == 0) owner_.store(0, std::memory_order_relaxed);
    mutex_.unlock();
  }

  // For assertions and for locks that report their holder; exact for the calling thread.
  bool IsHeldByCurrentThread() const {
    return owner_.load(std::memory_order_relaxed) == CurrentThreadId();
  }

  // Standard lockable names, so std::unique_lock and std::scoped_lock work too.
  void lock() { Enter(); }
  bool try_lock() { return TryEnter(); }
  void unlock() { Leave(); }

 private:
  void OnEntered() {
    if (depth_++ == 0) owner_.store(CurrentThreadId(), std::memory_order_relaxed);
  }

  std::recursive_mutex mutex_;
  std::atomic<ThreadId> owner_{0};
  int depth_ = 0;  // guarded by mutex_
};

// Holds a critical section for the lifetime of the guard.
class ScopedLock {
 public:
  explicit ScopedLock(CriticalSection& cs) : cs_(cs) { cs_.Enter(); }
  ~ScopedLock() { cs_.Leave(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  CriticalSection& cs_;
};

}  // namespace vk2
