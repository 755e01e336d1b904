// The player's listeners. Held without a reference while registered; each delivery works on a
// copy taken under the lock, with a reference per listener for the length of the call, so that
// listeners may add and remove listeners from inside OnEvent.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "interfaces/core/player.h"
#include "platform/thread_id.h"

namespace vk2 {

class PlayerListenerList {
 public:
  // -6 when present.
  int32_t Add(MPlayerListener* listener);
  // -5 when absent. Returns once a delivery in flight on another thread has finished, so the
  // listener is never called after this returns.
  int32_t Remove(MPlayerListener* listener);
  // Calls every listener registered now, in registration order.
  void Deliver(MPlayer* player, int32_t code, const char16_t* text);

 private:
  std::mutex mutex_;
  std::condition_variable idle_;
  std::vector<MPlayerListener*> listeners_;
  uint32_t deliveries_ = 0;  // passes in flight
  ThreadId deliveringThread_ = 0;
};

}  // namespace vk2
