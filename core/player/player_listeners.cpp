#include "core/player/player_listeners.h"

#include <algorithm>

#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"

namespace vk2 {

int32_t PlayerListenerList::Add(MPlayerListener* listener) {
  if (!listener) return kErrMissingArg;
  std::lock_guard lock(mutex_);
  if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
    return kErrAlreadyPresent;
  }
  listeners_.push_back(listener);
  return kOk;
}

int32_t PlayerListenerList::Remove(MPlayerListener* listener) {
  std::unique_lock lock(mutex_);
  auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (it == listeners_.end()) return kErrNotFound;
  listeners_.erase(it);
  if (deliveringThread_ != CurrentThreadId()) {
    idle_.wait(lock, [&] { return deliveries_ == 0; });
  }
  return kOk;
}

void PlayerListenerList::Deliver(MPlayer* player, int32_t code, const char16_t* text) {
  std::vector<RefPtr<MPlayerListener>> copy;
  {
    std::lock_guard lock(mutex_);
    copy.reserve(listeners_.size());
    for (MPlayerListener* l : listeners_)
      copy.emplace_back(l);
    ++deliveries_;
    deliveringThread_ = CurrentThreadId();
  }
  for (auto& l : copy)
    l->OnEvent(player, code, text);
  // The references go before the pass counts as over: a remover may free the listener then.
  copy.clear();
  {
    std::lock_guard lock(mutex_);
    if (--deliveries_ == 0) deliveringThread_ = 0;
  }
  idle_.notify_all();
}

}  // namespace vk2
