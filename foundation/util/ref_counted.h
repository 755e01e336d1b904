// `RefCounted`: a base for internal objects shared through `RefPtr`. The count starts at 0; the
// first holder's AddRef makes it 1, and the Release that brings it back to 0 deletes the object.
#pragma once

#include <atomic>
#include <cstdint>

namespace vk2 {

class RefCounted {
 public:
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  uint32_t AddRef() { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  // Returns the new count; the object is gone when it is 0.
  uint32_t Release() {
    const uint32_t left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
  }
  uint32_t RefCount() const { return refs_.load(std::memory_order_relaxed); }

 protected:
  RefCounted() = default;
  virtual ~RefCounted() = default;

 private:
  std::atomic<uint32_t> refs_{0};
};

}  // namespace vk2
