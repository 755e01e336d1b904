#include "core/playlist/playlist_storage.h"

#include <algorithm>

#include "foundation/util/result.h"

namespace vk2 {
namespace {

std::u16string Key(const TString& s) {
  return std::u16string(s.view());
}

}  // namespace

PlaylistStorage::PlaylistStorage(const PlaylistErrorCodes& codes) : codes_(codes) {
  live_.reserve(1024);
  urls_.reserve(1024);
}

PlaylistStorage::~PlaylistStorage() {
  // Records still held by callers die with the playlist; the pool frees their blocks.
  TArray<PlaylistItem*> listed;
  list_.Snapshot(&listed);
  list_.Clear();
  for (PlaylistItem* item : listed)
    pool_.Free(item);
  for (auto& [id, item] : removed_)
    pool_.Free(item);
}

PlaylistItem* PlaylistStorage::TakeRecord() {
  PlaylistItem* item = pool_.Alloc();
  if (item) ++recordsInUse_;
  return item;
}

void PlaylistStorage::ReturnRecord(PlaylistItem* item) {
  if (!item) return;
  --recordsInUse_;
  pool_.Free(item);
}

PlaylistItem* PlaylistStorage::FindLive(uint32_t id) const {
  auto it = live_.find(id);
  return it == live_.end() ? nullptr : it->second;
}

PlaylistItem* PlaylistStorage::FindRemoved(uint32_t id) const {
  auto it = removed_.find(id);
  return it == removed_.end() ? nullptr : it->second;
}

PlaylistItem* PlaylistStorage::Find(uint32_t id) const {
  PlaylistItem* item = FindLive(id);
  return item ? item : FindRemoved(id);
}

PlaylistItem* PlaylistStorage::FirstForUrl(const TString& url) const {
  auto it = urls_.find(Key(url));
  return it == urls_.end() || it->second.empty() ? nullptr : it->second.front();
}

void PlaylistStorage::AddUrl(PlaylistItem* item) {
  if (item->info.Has(kUrlPresent)) urls_[Key(item->info.url)].push_back(item);
}

void PlaylistStorage::RemoveUrl(PlaylistItem* item) {
  auto it = urls_.find(Key(item->info.url));
  if (it == urls_.end()) return;
  auto& items = it->second;
  items.erase(std::remove(items.begin(), items.end(), item), items.end());
  if (items.empty()) urls_.erase(it);
}

void PlaylistStorage::ChangeUrl(PlaylistItem* item, const TString& url) {
  RemoveUrl(item);
  item->info.SetUrl(url);
  AddUrl(item);
}

void PlaylistStorage::CountTokens(const PlaylistItem* item) {
  if (!item->info.Has(kTokensPresent)) return;
  const auto& tokens = item->info.tokens;
  for (uint32_t i = 0; i < tokens.Count(); ++i) {
    bool seen = false;
    for (uint32_t j = 0; j < i && !seen; ++j)
      seen = tokens[j].name == tokens[i].name;
    if (!seen) ++tokens_[Key(tokens[i].name)];
  }
}

void PlaylistStorage::UncountTokens(const PlaylistItem* item) {
  if (!item->info.Has(kTokensPresent)) return;
  const auto& tokens = item->info.tokens;
  for (uint32_t i = 0; i < tokens.Count(); ++i) {
    bool seen = false;
    for (uint32_t j = 0; j < i && !seen; ++j)
      seen = tokens[j].name == tokens[i].name;
    if (seen) continue;
    auto it = tokens_.find(Key(tokens[i].name));
    if (it != tokens_.end() && --it->second == 0) tokens_.erase(it);
  }
}

TArray<TokenCount> PlaylistStorage::TokenCounts() const {
  TArray<TokenCount> out;
  for (const auto& [name, count] : tokens_)
    out.Append({TString(std::u16string_view(name)), count});
  return out;
}

int32_t PlaylistStorage::Insert(uint32_t index, PlaylistItem* const* items, uint32_t n) {
  if (index > list_.Count()) return kErrNotFound;
  if (n > 0 && !items) return kErrMissingArg;
  // Two items under one id would corrupt the maps: an id in use, live or removed-but-held, or
  // repeated within the call, refuses the whole insertion.
  std::unordered_map<uint32_t, bool> incoming;
  for (uint32_t i = 0; i < n; ++i) {
    const uint32_t id = items[i]->Id();
    if (id == 0 || IdInUse(id) || !incoming.emplace(id, true).second)
      return codes_(PlaylistError::kIdTaken);
  }
  for (uint32_t i = 0; i < n; ++i) {
    PlaylistItem* item = items[i];
    item->info.extra = false;
    item->info.Set(kIdPresent);
    item->listPrev = item->listNext = 0;
    item->holds.store(1);
  }
  if (!list_.Insert(index, items, n)) return kErrOutOfMemory;
  for (uint32_t i = 0; i < n; ++i) {
    live_[items[i]->Id()] = items[i];
    AddUrl(items[i]);
    CountTokens(items[i]);
  }
  return kOk;
}

void PlaylistStorage::Leave(PlaylistItem* item, uint32_t prevId, uint32_t nextId) {
  item->listPrev = prevId;
  item->listNext = nextId;
  item->info.extra = true;
  live_.erase(item->Id());
  RemoveUrl(item);
  UncountTokens(item);
  removed_[item->Id()] = item;
  DropHold(item);
}

void PlaylistStorage::DropHold(PlaylistItem* item) {
  if (item->holds.fetch_sub(1) - 1 > 0) return;
  removed_.erase(item->Id());
  ReturnRecord(item);
}

bool PlaylistStorage::RemoveRun(uint32_t index, uint32_t n) {
  if (index > list_.Count() || n > list_.Count() - index) return false;
  if (n == 0) return true;
  PlaylistItem* before = index > 0 ? list_.At(index - 1) : nullptr;
  PlaylistItem* after = list_.At(index + n);
  const uint32_t prevId = before ? before->Id() : 0;
  const uint32_t nextId = after ? after->Id() : 0;
  TArray<PlaylistItem*> run;
  if (!run.Reserve(n)) return false;
  for (uint32_t i = 0; i < n; ++i)
    run.Append(list_.At(index + i));
  list_.Remove(index, n);
  for (PlaylistItem* item : run)
    Leave(item, prevId, nextId);
  return true;
}

void PlaylistStorage::RemoveAll() {
  TArray<PlaylistItem*> all;
  list_.Snapshot(&all);
  list_.Clear();
  for (PlaylistItem* item : all)
    Leave(item, 0, 0);
}

int32_t PlaylistStorage::HoldItems(const uint32_t* ids, uint32_t n) {
  if (n > 0 && !ids) return kErrMissingArg;
  for (uint32_t i = 0; i < n; ++i) {
    if (!Find(ids[i])) return codes_(PlaylistError::kIdNotFound);
  }
  for (uint32_t i = 0; i < n; ++i)
    Find(ids[i])->holds.fetch_add(1);
  return kOk;
}

int32_t PlaylistStorage::ReleaseItems(const uint32_t* ids, uint32_t n) {
  if (n > 0 && !ids) return kErrMissingArg;
  // A release may only give back holds that callers took: the list's own hold is not theirs,
  // and a repeated id must not free a record twice.
  std::unordered_map<PlaylistItem*, int32_t> wanted;
  for (uint32_t i = 0; i < n; ++i) {
    PlaylistItem* item = Find(ids[i]);
    if (!item) return codes_(PlaylistError::kIdNotFound);
    ++wanted[item];
  }
  for (const auto& [item, count] : wanted) {
    const int32_t callerHolds = item->holds.load() - (item->IsRemoved() ? 0 : 1);
    if (count > callerHolds) return codes_(PlaylistError::kIdNotFound);
  }
  for (const auto& [item, count] : wanted) {
    for (int32_t i = 0; i < count; ++i)
      DropHold(item);
  }
  return kOk;
}

}  // namespace vk2
