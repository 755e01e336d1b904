// `ThreadValueList`: one interface value per thread, made on the thread's first request and kept
// until the module's last detach releases them all.
//
// Lookups run without the lock: nodes are only ever pushed at the head (under the lock) and
// never removed while the list is in use, and the head is published with release/acquire. A
// thread id can be reused after its thread ended, so a new thread may find a dead thread's
// value; the values kept here are per-thread services with no thread affinity, so that is
// harmless.
#pragma once

#include <atomic>
#include <mutex>
#include <thread>
#include <type_traits>
#include <utility>

#include "interfaces/unknown.h"

namespace vk2 {

class ThreadValueList {
 public:
  // Makes the value for the calling thread; its reference passes to the list. Null on failure.
  using Factory = MUnknown* (*)(void* context);

  ThreadValueList() = default;
  // Frees the nodes. Values still held are not released here: by the time statics are torn
  // down the code behind them may be gone, so owners call ReleaseAll at their last detach.
  ~ThreadValueList();
  ThreadValueList(const ThreadValueList&) = delete;
  ThreadValueList& operator=(const ThreadValueList&) = delete;

  // The calling thread's value (no reference added), or null when it has none.
  MUnknown* GetForCurrentThread() const;
  // The calling thread's value, made by `factory` on first use (no reference added for the
  // caller). A failed creation is retried on the next call; a request made from inside the
  // factory on the same thread gets null instead of recursing.
  MUnknown* GetOrCreate(Factory factory, void* context);
  template <class F>
  MUnknown* GetOrCreate(F&& factory) {
    return GetOrCreate(
        [](void* f) -> MUnknown* { return (*static_cast<std::remove_reference_t<F>*>(f))(); },
        const_cast<void*>(static_cast<const void*>(&factory)));
  }
  // Releases every value and empties the list. Runs when no other thread uses the list (the
  // module's last detach).
  void ReleaseAll();

 private:
  struct Node {
    std::thread::id thread;
    std::atomic<MUnknown*> value{nullptr};
    bool creating = false;  // touched only by the node's own thread
    Node* next = nullptr;
  };
  Node* FindNode(std::thread::id thread) const;
  Node* Detach();

  std::atomic<Node*> head_{nullptr};
  std::recursive_mutex mutex_;
};

}  // namespace vk2
