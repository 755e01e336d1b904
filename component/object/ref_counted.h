// `RefCounted`: the one reference-counted base. The count is atomic, starts at 0 (the first
// holder's AddRef makes it 1) and the Release that brings it back to 0 deletes the object, after
// BeforeDestroy has run while the whole object still stands.
//
// When the count reaches 0 it is parked far from 0, so that references taken and dropped while
// the object is being destroyed (a module calling back into its chain during the chain's last
// Close) never delete it a second time.
//
// An object owned by something else (a service living inside the runtime, a pool inside its
// system) passes Lifetime::kOwnedElsewhere: its count only counts.
#pragma once

#include <atomic>
#include <cstdint>

namespace vk2 {

class RefCounted {
 public:
  enum class Lifetime { kDeletesItself, kOwnedElsewhere };

  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  uint32_t AddRef() { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
  // Returns the new count; an object that deletes itself is gone when it is 0.
  uint32_t Release() {
    const uint32_t left = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0 && lifetime_ == Lifetime::kDeletesItself) {
      count_.store(kParked, std::memory_order_relaxed);
      BeforeDestroy();
      Destroy();
    }
    return left;
  }
  uint32_t RefCount() const { return count_.load(std::memory_order_relaxed); }
  // Whether someone holds the object: false before the first AddRef and once the last Release
  // has started its destruction.
  bool IsHeld() const {
    const uint32_t n = count_.load(std::memory_order_acquire);
    return n != 0 && n < kParked;
  }
  // Adds a reference only while someone holds the object, for a holder that reaches it through
  // a pointer that owns nothing (a child's pointer to its parent).
  bool TryAddRef() {
    uint32_t n = count_.load(std::memory_order_relaxed);
    do {
      if (n == 0 || n >= kParked) return false;
    } while (!count_.compare_exchange_weak(n, n + 1, std::memory_order_acq_rel));
    return true;
  }

 protected:
  explicit RefCounted(Lifetime lifetime = Lifetime::kDeletesItself) : lifetime_(lifetime) {}
  virtual ~RefCounted() = default;

  // Runs once, just before the last Release deletes the object (threads can be stopped here
  // while every virtual operation still reaches the most derived class).
  virtual void BeforeDestroy() {}
  // Deletes the object; an object whose deletion must wait (for its own worker thread to let go)
  // hands it on instead.
  virtual void Destroy() { delete this; }

 private:
  static constexpr uint32_t kParked = 0x40000000u;

  std::atomic<uint32_t> count_{0};
  const Lifetime lifetime_;
};

}  // namespace vk2
