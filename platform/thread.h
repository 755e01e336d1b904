// Threads: a record of one started thread (its handle and id), with join, detach and priority.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>

#include "platform/thread_id.h"
#include "platform/thread_priority.h"
#include "platform/wait.h"

namespace vk2 {

struct ThreadState;

class Thread {
 public:
  // Smaller stack requests are raised to this: library code on Linux, and sanitizer builds,
  // need more stack than the sizes callers were written for.
  static constexpr size_t kMinStackSize = 256 * 1024;

  Thread() = default;
  // Closes the handle: a thread still running goes on, detached.
  ~Thread() { CloseHandle(); }
  Thread(Thread&& other) noexcept : state_(std::move(other.state_)) {}
  Thread& operator=(Thread&& other) noexcept;
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

  // Starts a thread running `entry` (returning uint32_t, the exit code, or void for 0) on a
  // stack of `stackSize` bytes (0: the system's default). Fails when the record already holds
  // a thread or the system refuses.
  template <class F>
  bool Start(F&& entry, size_t stackSize = 0) {
    if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
      return StartEntry(
          [f = std::forward<F>(entry)]() mutable -> uint32_t {
            f();
            return 0;
          },
          stackSize);
    } else {
      return StartEntry(std::function<uint32_t()>(std::forward<F>(entry)), stackSize);
    }
  }

  // Waits for the thread to end and stores its exit code in `exitCode` when given. Returns
  // false at once when called on the thread itself (no thread joins itself) or when the record
  // holds no thread, and false when `timeoutMs` pass first. Joining again returns the same.
  bool Join(uint32_t* exitCode = nullptr, uint32_t timeoutMs = kInfinite);
  // Lets the thread run on unowned; the record is empty afterwards.
  void Detach() { CloseHandle(); }
  // Releases the record's hold on the thread: detaches it unless it has been joined.
  void CloseHandle();

  // Whether the record holds a thread (started, not yet detached or closed).
  bool IsStarted() const { return state_ != nullptr; }
  bool IsCurrent() const;
  // The thread's id; 0 for an empty record. Waits for a just-started thread to report it.
  ThreadId Id() const;
  // Best effort, see SetThreadPriority. False for an empty record or a thread that has ended.
  bool SetPriority(ThreadPriority priority);

 private:
  bool StartEntry(std::function<uint32_t()> entry, size_t stackSize);

  std::shared_ptr<ThreadState> state_;
};

// Names the calling thread for debuggers and sanitizer reports (cut to 15 bytes).
void SetCurrentThreadName(std::string_view name);

}  // namespace vk2
