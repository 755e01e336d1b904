#include "core/playlist/shared_counter.h"

#include "foundation/util/result.h"

namespace vk2 {

int32_t SharedCounter::QueryInterface(const Guid&, void**, uint32_t, uint32_t) {
  return kErrNoInterface;
}

uint32_t SharedCounter::NextId() {
  std::lock_guard<std::mutex> lock(mutex_);
  // 0 means "no item" everywhere ids travel, so a wrapped counter skips it.
  if (++value_ == 0) ++value_;
  return value_;
}

}  // namespace vk2
