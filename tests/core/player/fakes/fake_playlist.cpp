#include "tests/core/player/fakes/fake_playlist.h"

#include <algorithm>

#include "foundation/util/result.h"

namespace vk2::test {

namespace {
constexpr int32_t kFakeIdNotFound = -201;
}

std::vector<uint32_t> FakePlaylist::AddFiles(const std::vector<double>& durations) {
  std::vector<uint32_t> ids;
  {
    std::lock_guard lock(mutex_);
    for (double d : durations) {
      ItemInfo item;
      item.id = nextId_++;
      item.Set(kIdPresent);
      item.SetUrl(TString::Format(u"file:///%u.wav", item.id));
      if (d >= 0.0) item.SetDuration(static_cast<float>(d), kDurationVerified);
      items_.push_back(item);
      shuffle_.insert(shuffle_.begin(), item.id);
      ids.push_back(item.id);
    }
  }
  Notify();
  return ids;
}

int FakePlaylist::Reshuffles() {
  std::lock_guard lock(mutex_);
  return reshuffles_;
}

int FakePlaylist::HoldCount(uint32_t id) {
  std::lock_guard lock(mutex_);
  for (auto& [held, n] : holds_) {
    if (held == id) return n;
  }
  return 0;
}

int FakePlaylist::LockDepth() {
  std::lock_guard lock(mutex_);
  return lockDepth_;
}

int FakePlaylist::TotalHolds() {
  std::lock_guard lock(mutex_);
  int n = 0;
  for (auto& hold : holds_)
    n += hold.second;
  return n;
}

size_t FakePlaylist::ListenerCount() {
  std::lock_guard lock(mutex_);
  return listeners_.size();
}

std::vector<uint32_t> FakePlaylist::Ids() {
  std::lock_guard lock(mutex_);
  return OrderLocked(false);
}

int FakePlaylist::FindLocked(uint32_t id) const {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].id == id) return static_cast<int>(i);
  }
  return -1;
}

const std::vector<uint32_t> FakePlaylist::OrderLocked(bool shuffle) const {
  if (shuffle) return shuffle_;
  std::vector<uint32_t> ids;
  for (auto& item : items_)
    ids.push_back(item.id);
  return ids;
}

void FakePlaylist::Notify() {
  std::vector<MPlaylistListener*> listeners;
  {
    std::lock_guard lock(mutex_);
    listeners = listeners_;
  }
  for (MPlaylistListener* l : listeners)
    l->OnChange(nullptr);
}

int32_t FakePlaylist::GetName(TString* name) {
  *name = u"fake";
  return kOk;
}

int32_t FakePlaylist::RemoveItems(const uint32_t* ids, uint32_t count) {
  int32_t removed = 0;
  {
    std::lock_guard lock(mutex_);
    for (uint32_t i = 0; i < count; ++i) {
      const int at = FindLocked(ids[i]);
      if (at < 0) continue;
      Removed r;
      r.item = items_[at];
      r.next = at + 1 < static_cast<int>(items_.size()) ? items_[at + 1].id : 0;
      r.prev = at > 0 ? items_[at - 1].id : 0;
      if (HoldCount(ids[i]) > 0) removed_.push_back(r);
      items_.erase(items_.begin() + at);
      std::erase(shuffle_, ids[i]);
      ++removed;
    }
  }
  Notify();
  return removed;
}

int32_t FakePlaylist::RemoveAll() {
  std::vector<uint32_t> ids = Ids();
  RemoveItems(ids.data(), static_cast<uint32_t>(ids.size()));
  return kOk;
}

int32_t FakePlaylist::HoldItems(const uint32_t* ids, uint32_t count) {
  std::lock_guard lock(mutex_);
  for (uint32_t i = 0; i < count; ++i) {
    if (FindLocked(ids[i]) < 0) return kFakeIdNotFound;
  }
  for (uint32_t i = 0; i < count; ++i) {
    auto it =
        std::find_if(holds_.begin(), holds_.end(), [&](auto& h) { return h.first == ids[i]; });
    if (it == holds_.end()) {
      holds_.emplace_back(ids[i], 1);
    } else {
      ++it->second;
    }
  }
  return kOk;
}

int32_t FakePlaylist::ReleaseItems(const uint32_t* ids, uint32_t count) {
  std::lock_guard lock(mutex_);
  for (uint32_t i = 0; i < count; ++i) {
    auto it =
        std::find_if(holds_.begin(), holds_.end(), [&](auto& h) { return h.first == ids[i]; });
    if (it == holds_.end()) return kFakeIdNotFound;
    if (--it->second == 0) {
      holds_.erase(it);
      std::erase_if(removed_, [&](const Removed& r) { return r.item.id == ids[i]; });
    }
  }
  return kOk;
}

int32_t FakePlaylist::GetFirstUID(uint32_t* id, uint8_t shuffle) {
  std::lock_guard lock(mutex_);
  auto order = OrderLocked(shuffle);
  *id = order.empty() ? 0 : order.front();
  return kOk;
}

int32_t FakePlaylist::StepLocked(uint32_t id, uint32_t* to, uint8_t shuffle, bool forward) {
  const auto order = OrderLocked(shuffle);
  auto it = std::find(order.begin(), order.end(), id);
  if (it == order.end()) {
    // A removed item still held keeps the neighbours it had.
    for (auto& r : removed_) {
      if (r.item.id == id) {
        *to = forward ? r.next : r.prev;
        return kOk;
      }
    }
    return kFakeIdNotFound;
  }
  if (forward) {
    *to = ++it == order.end() ? 0 : *it;
  } else {
    *to = it == order.begin() ? 0 : *(it - 1);
  }
  return kOk;
}

int32_t FakePlaylist::GetNextUID(uint32_t id, uint32_t* next, uint8_t shuffle) {
  std::lock_guard lock(mutex_);
  return StepLocked(id, next, shuffle, true);
}

int32_t FakePlaylist::GetPrevUID(uint32_t id, uint32_t* prev, uint8_t shuffle) {
  std::lock_guard lock(mutex_);
  return StepLocked(id, prev, shuffle, false);
}

int32_t FakePlaylist::Reshuffle() {
  std::lock_guard lock(mutex_);
  ++reshuffles_;
  return kOk;
}

int32_t FakePlaylist::Lock(uint32_t* token) {
  mutex_.lock();
  ++lockDepth_;
  *token = 1;
  return kOk;
}

int32_t FakePlaylist::Unlock(uint32_t) {
  --lockDepth_;
  mutex_.unlock();
  return kOk;
}

int32_t FakePlaylist::GetCount() {
  std::lock_guard lock(mutex_);
  return static_cast<int32_t>(items_.size());
}

int32_t FakePlaylist::GetUIDIndex(uint32_t id) {
  std::lock_guard lock(mutex_);
  const int at = FindLocked(id);
  return at < 0 ? kFakeIdNotFound : at;
}

int32_t FakePlaylist::GetUIDAtIndex(int32_t index, uint32_t* id) {
  std::lock_guard lock(mutex_);
  const int32_t n = static_cast<int32_t>(items_.size());
  if (index < 0) index += n;
  if (index < 0 || index >= n) return kErrNotFound;
  *id = items_[index].id;
  return kOk;
}

int32_t FakePlaylist::GetTotalPlayTime(double* seconds, uint32_t* type) {
  double until = 0.0;
  return TotalPlayTimeUntil(seconds ? seconds : &until, type, 0);
}

int32_t FakePlaylist::TotalPlayTimeUntil(double* seconds, uint32_t* type, uint32_t stopId) {
  std::lock_guard lock(mutex_);
  double total = 0.0;
  uint32_t kind = kDurationVerified;
  for (auto& item : items_) {
    if (item.id == stopId) break;
    if (!item.Has(kDurationPresent)) kind = kDurationUnknown;
    total += item.duration;
  }
  if (seconds) *seconds = total;
  if (type) *type = kind;
  return kOk;
}

int32_t FakePlaylist::SetItemInfo(uint32_t id, const ItemInfo& record) {
  {
    std::lock_guard lock(mutex_);
    const int at = FindLocked(id);
    if (at < 0) return kFakeIdNotFound;
    items_[at] = record;
    items_[at].id = id;
  }
  Notify();
  return kOk;
}

int32_t FakePlaylist::GetUIDInfo(uint32_t id, ItemInfo* record) {
  std::lock_guard lock(mutex_);
  const int at = FindLocked(id);
  if (at >= 0) {
    *record = items_[at];
    return kOk;
  }
  for (auto& r : removed_) {
    if (r.item.id == id) {
      *record = r.item;
      return kOk;
    }
  }
  return kFakeIdNotFound;
}

int32_t FakePlaylist::AddRemoveListener(MPlaylistListener* listener, uint8_t add, uint8_t) {
  std::lock_guard lock(mutex_);
  auto it = std::find(listeners_.begin(), listeners_.end(), listener);
  if (add) {
    if (it != listeners_.end()) return kErrAlreadyPresent;
    listeners_.push_back(listener);
  } else {
    if (it == listeners_.end()) return kErrNotFound;
    listeners_.erase(it);
  }
  return kOk;
}

}  // namespace vk2::test
