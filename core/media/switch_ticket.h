// A chain being built or buffered outside every lock of the media system. A Stop, or a newer
// switch, cancels it: the wait for its buffer ends at once, blocking reads inside the chain are
// released through the chain's abort event, and the switch drops the chain instead of playing
// it.
#pragma once

#include <atomic>
#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/media_chain.h"
#include "platform/event.h"

namespace vk2 {

struct SwitchTicket {
  // The media system's switch generation when the ticket was taken; a commit with another one
  // is stale.
  uint64_t generation = 0;
  std::atomic<bool> cancelled{false};
  Event cancel{EventReset::kManual};
  // Set once the chain exists (under the media system's table lock).
  RefPtr<MMediaChain> chain;

  bool IsCancelled() const { return cancelled.load(std::memory_order_acquire); }
  // Under the table lock, which guards `chain`.
  void Cancel() {
    cancelled.store(true, std::memory_order_release);
    cancel.Set();
    if (chain) {
      if (Event* abort = chain->AbortEvent()) abort->Set();
    }
  }
};

}  // namespace vk2
