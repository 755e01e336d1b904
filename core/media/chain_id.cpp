#include "core/media/chain_id.h"

#include <atomic>

namespace vk2 {

uint32_t NextChainId() {
  static std::atomic<uint32_t> next{kChainIdStep};
  for (;;) {
    const uint32_t id = next.fetch_add(kChainIdStep, std::memory_order_relaxed);
    if (id != 0) return id;  // 0 means "no chain"; skipped when the sequence wraps
  }
}

}  // namespace vk2
