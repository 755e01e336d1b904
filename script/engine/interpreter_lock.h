// The one lock under which scripts run. The outermost Run on a thread takes it; nested runs on
// the same thread pass through. Code that may wait for another thread can give it up for a
// while (InterpreterUnlockScope) and take it back at the same depth.
#pragma once

#include <cstdint>

namespace vk2 {

class InterpreterLock {
 public:
  static void Enter();
  static void Leave();
  // Releases the lock completely; returns the depth to restore.
  static uint32_t Suspend();
  static void Resume(uint32_t depth);
  static bool HeldByThisThread();
};

class InterpreterLockScope {
 public:
  InterpreterLockScope() { InterpreterLock::Enter(); }
  ~InterpreterLockScope() { InterpreterLock::Leave(); }
  InterpreterLockScope(const InterpreterLockScope&) = delete;
  InterpreterLockScope& operator=(const InterpreterLockScope&) = delete;
};

class InterpreterUnlockScope {
 public:
  InterpreterUnlockScope() : depth_(InterpreterLock::Suspend()) {}
  ~InterpreterUnlockScope() { InterpreterLock::Resume(depth_); }
  InterpreterUnlockScope(const InterpreterUnlockScope&) = delete;
  InterpreterUnlockScope& operator=(const InterpreterUnlockScope&) = delete;

 private:
  uint32_t depth_;
};

}  // namespace vk2
