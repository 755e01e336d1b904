// The reference count of a COM-style object. When it reaches 0 the count is parked far from 0,
// so that references taken and dropped while the object is being destroyed (a module calling
// back into its chain during the chain's last Close) never delete it a second time.
#pragma once

#include <atomic>
#include <cstdint>

namespace vk2 {

class ObjectCount {
 public:
  uint32_t Increment() { return count_.fetch_add(1, std::memory_order_relaxed) + 1; }
  // The new count; `*destroy` is set when the caller must delete the object.
  uint32_t Decrement(bool* destroy) {
    const uint32_t left = count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    *destroy = left == 0;
    if (left == 0) count_.store(kParked, std::memory_order_relaxed);
    return left;
  }
  uint32_t Value() const { return count_.load(std::memory_order_relaxed); }

 private:
  static constexpr uint32_t kParked = 0x40000000u;
  std::atomic<uint32_t> count_{0};
};

// The three slots for a class with an `ObjectCount refs_` member that deletes itself.
#define VK2_OBJECT_COUNT_METHODS                     \
  uint32_t AddRef() override {                       \
    return refs_.Increment();                        \
  }                                                  \
  uint32_t Release() override {                      \
    bool destroy = false;                            \
    const uint32_t left = refs_.Decrement(&destroy); \
    if (destroy) delete this;                        \
    return left;                                     \
  }

}  // namespace vk2
