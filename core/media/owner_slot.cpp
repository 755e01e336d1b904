#include "core/media/owner_slot.h"

#include <algorithm>
#include <chrono>

namespace vk2 {

bool OwnerSlot::OnlyThisThreadInFlight() const {
  const ThreadId self = CurrentThreadId();
  return std::all_of(inFlight_.begin(), inFlight_.end(),
                     [self](ThreadId id) { return id == self; });
}

void OwnerSlot::Set(MediaSystemOwner* owner) {
  std::unique_lock lock(mutex_);
  owner_ = owner;
  settled_.wait_for(lock, std::chrono::milliseconds(kSettleLimitMs),
                    [this] { return OnlyThisThreadInFlight(); });
}

bool OwnerSlot::HasOwner() {
  std::lock_guard lock(mutex_);
  return owner_ != nullptr;
}

int32_t OwnerSlot::Call(const std::function<int32_t(MediaSystemOwner*)>& call, int32_t noOwner) {
  MediaSystemOwner* owner;
  {
    std::lock_guard lock(mutex_);
    owner = owner_;
    if (!owner) return noOwner;
    inFlight_.push_back(CurrentThreadId());
  }
  const int32_t result = call(owner);
  {
    std::lock_guard lock(mutex_);
    inFlight_.erase(std::find(inFlight_.begin(), inFlight_.end(), CurrentThreadId()));
  }
  settled_.notify_all();
  return result;
}

}  // namespace vk2
