#include "core/playlist/change_recorder.h"

#include <new>

namespace vk2 {
namespace {

bool Append(TArray<uint32_t>& to, const uint32_t* ids, uint32_t count) {
  if (!to.Reserve(to.Count() + count)) return false;
  for (uint32_t i = 0; i < count; ++i)
    to.Append(ids[i]);
  return true;
}

}  // namespace

PlaylistChange& ChangeRecorder::Open(PlaylistChangeType type, uint32_t afterId) {
  if (!pending_) pending_ = std::make_unique<PlaylistChangeList>();
  lastUpdated_.clear();
  PlaylistChange change;
  change.type = type;
  change.idAfter = afterId;
  pending_->records.Append(std::move(change));
  return pending_->records.Last();
}

void ChangeRecorder::Added(const uint32_t* ids, uint32_t count, uint32_t afterId) {
  std::lock_guard lock(mutex_);
  Append(Open(PlaylistChangeType::kItemsAdded, afterId).ids, ids, count);
}

void ChangeRecorder::Removed(const uint32_t* ids, uint32_t count, bool listEmpty) {
  if (listEmpty) return AllRemoved();
  std::lock_guard lock(mutex_);
  Append(Open(PlaylistChangeType::kItemsRemoved, 0).ids, ids, count);
}

void ChangeRecorder::AllRemoved() {
  std::lock_guard lock(mutex_);
  pending_.reset();
  Open(PlaylistChangeType::kAllItemsRemoved, 0);
}

void ChangeRecorder::Updated(uint32_t id) {
  std::lock_guard lock(mutex_);
  const bool joins = pending_ && !pending_->records.IsEmpty() &&
                     pending_->records.Last().type == PlaylistChangeType::kItemsUpdated;
  PlaylistChange& record =
      joins ? pending_->records.Last() : Open(PlaylistChangeType::kItemsUpdated, 0);
  if (lastUpdated_.insert(id).second) record.ids.Append(id);
}

void ChangeRecorder::Moved(const uint32_t* ids, uint32_t count, uint32_t afterId) {
  std::lock_guard lock(mutex_);
  Append(Open(PlaylistChangeType::kItemsMoved, afterId).ids, ids, count);
}

void ChangeRecorder::Reordered(TArray<uint32_t> order) {
  std::lock_guard lock(mutex_);
  if (pending_) {
    auto& records = pending_->records;
    while (!records.IsEmpty() && (records.Last().type == PlaylistChangeType::kItemsMoved ||
                                  records.Last().type == PlaylistChangeType::kAllItemsMoved)) {
      records.RemoveLast();
    }
  }
  Open(PlaylistChangeType::kAllItemsMoved, 0).ids = std::move(order);
}

std::unique_ptr<PlaylistChangeList> ChangeRecorder::Take() {
  std::lock_guard lock(mutex_);
  lastUpdated_.clear();
  if (pending_ && pending_->records.IsEmpty()) pending_.reset();
  return std::move(pending_);
}

std::unique_ptr<PlaylistChangeList> SingleChange(PlaylistChangeType type) {
  auto list = std::unique_ptr<PlaylistChangeList>(new (std::nothrow) PlaylistChangeList);
  if (!list) return nullptr;
  PlaylistChange change;
  change.type = type;
  list->records.Append(std::move(change));
  return list;
}

}  // namespace vk2
