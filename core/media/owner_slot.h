// The media system's owner, called without any lock of the media system held. Replacing the
// owner waits until calls to the old one that run on other threads have returned, so that an
// owner that clears itself before it goes is never called afterwards.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/thread_id.h"

namespace vk2 {

class MediaSystemOwner;

class OwnerSlot {
 public:
  // Bounds the wait for calls in flight: an owner that never returns must not hang its
  // replacement for ever.
  static constexpr uint32_t kSettleLimitMs = 10'000;

  // Waits for calls in flight on other threads (calls on this thread are the caller's own).
  void Set(MediaSystemOwner* owner);
  bool HasOwner();
  // `call` on the owner; `noOwner` when there is none.
  int32_t Call(const std::function<int32_t(MediaSystemOwner*)>& call, int32_t noOwner);

 private:
  bool OnlyThisThreadInFlight() const;

  std::mutex mutex_;
  std::condition_variable settled_;
  MediaSystemOwner* owner_ = nullptr;  // guarded by mutex_
  std::vector<ThreadId> inFlight_;     // one entry per call running, guarded by mutex_
};

}  // namespace vk2
