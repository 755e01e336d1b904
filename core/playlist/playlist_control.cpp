#include "core/playlist/playlist_control.h"

#include <algorithm>
#include <new>
#include <unordered_set>
#include <utility>
#include <vector>

#include "audio/common/media_errors.h"
#include "component/module/error_entry.h"
#include "component/module/runtime_loader.h"
#include "core/media/media_system_factory.h"
#include "core/playlist/play_time.h"
#include "core/playlist/playlist_error_table.h"
#include "core/playlist/random_generator.h"
#include "foundation/util/result.h"

namespace vk2 {
namespace {

// Tags a scan fills in as tokens.
constexpr const char16_t* kScannedTokens[] = {u"album", u"genre", u"year"};

bool IsScannedToken(const TString& name) {
  for (const char16_t* tag : kScannedTokens) {
    if (WideCompare(name.c_str(), tag, false) == 0) return true;
  }
  return false;
}

// Whether a member is as it was: present in both with the same value, or absent from both.
template <class T>
bool Unchanged(const ItemInfo& now, const ItemInfo& then, uint32_t flag, T ItemInfo::*member) {
  if (now.Has(flag) != then.Has(flag)) return false;
  return !now.Has(flag) || now.*member == then.*member;
}

bool SameToken(const ItemInfo& now, const ItemInfo& then, const TString& name) {
  const TString* a = now.Has(kTokensPresent) ? now.FindToken(name.c_str()) : nullptr;
  const TString* b = then.Has(kTokensPresent) ? then.FindToken(name.c_str()) : nullptr;
  return (a == nullptr) == (b == nullptr) && (!a || *a == *b);
}

// Tokens merge by name: a present name takes the new value, a new name is appended.
void MergeTokens(TArray<ItemToken>& into, const TArray<ItemToken>& from) {
  for (const ItemToken& token : from) {
    auto it = std::find_if(into.begin(), into.end(), [&](const ItemToken& t) {
      return WideCompare(t.name.c_str(), token.name.c_str(), false) == 0;
    });
    if (it != into.end()) {
      it->value = token.value;
    } else {
      into.Append(token);
    }
  }
}

}  // namespace

// One operation on the list: the lease (token 0, so it never goes stale) and the structure
// mutex, released in reverse order; the last hold hands the pending changes on. An operation
// called from inside another one on the same thread only re-enters the structure mutex: its
// thread may have lost the lease to a takeover meanwhile, and waiting for the lease there would
// wait for a thread that waits for the structure mutex.
class PlaylistControl::Operation {
 public:
  explicit Operation(PlaylistControl& playlist, const std::atomic<bool>* cancel = nullptr)
      : playlist_(playlist),
        nested_(playlist.structure_.IsHeldByCurrentThread()),
        held_(nested_ || playlist.lock_.Acquire(0, nullptr, cancel)) {
    if (held_) playlist_.structure_.Enter();
  }
  ~Operation() {
    if (!held_) return;
    playlist_.structure_.Leave();
    if (!nested_) playlist_.ReleaseLease(0);
  }
  Operation(const Operation&) = delete;
  Operation& operator=(const Operation&) = delete;

  bool Held() const { return held_; }

 private:
  PlaylistControl& playlist_;
  const bool nested_;
  const bool held_;
};

RefPtr<PlaylistControl> PlaylistControl::Create(PlaylistSettings settings) {
  if (!settings.errors) {
    settings.errors = CreateRuntimeObject<MErrorRegistry>(kRuntimeRootClass, kIID_MErrorRegistry);
  }
  const PlaylistErrorCodes codes = RegisterPlaylistErrors(settings.errors.Get());
  if (!settings.makeMediaSystem) settings.makeMediaSystem = CreateMediaSystem;
  RefPtr<MSharedCounter> ids = settings.ids;
  if (!ids) {
    auto* own = new (std::nothrow) SharedCounter;
    if (!own) return nullptr;
    ids = RefPtr<MSharedCounter>(own);
  }
  auto* playlist = new (std::nothrow) PlaylistControl(std::move(settings), codes, std::move(ids));
  if (!playlist) return nullptr;
  RefPtr<PlaylistControl> held(playlist);
  if (!playlist->notifier_.Start()) return nullptr;
  return held;
}

PlaylistControl::PlaylistControl(PlaylistSettings settings, const PlaylistErrorCodes& codes,
                                 RefPtr<MSharedCounter> ids)
    : codes_(codes),
      errors_(std::move(settings.errors)),
      ids_(std::move(ids)),
      lock_(settings.clock ? *settings.clock : CurrentClock(), settings.takeoverMs),
      storage_(codes),
      order_(storage_),
      scan_(*this, IdleScanSettings{
                       settings.clock,
                       settings.scanPollMs,
                       std::move(settings.makeMediaSystem),
                       settings.isTooCostly ? std::move(settings.isTooCostly)
                                            : [this](int32_t code) {
                                                return IsErrorEntry(errors_.Get(), code,
                                                                    kMsTooCostly,
                                                                    kMediaSystemTable);
                                              },
                   }) {
  SeedRandom(TickCount());
}

PlaylistControl::~PlaylistControl() = default;

void PlaylistControl::BeforeDestroy() {
  // Nobody has to call Shutdown first: the threads end here, or let go when this is their own.
  Shutdown();
  parts_.Clear();
}

int32_t PlaylistControl::ReleaseLease(uint32_t token) {
  return lock_.Release(token, [this] { notifier_.Queue(changes_.Take()); });
}

uint32_t PlaylistControl::NextRevision(bool order) {
  ++revision_;
  if (order) orderRevision_ = revision_;
  return revision_;
}

void PlaylistControl::OrderChanged() {
  NextRevision(true);
  scan_.ListChanged();
}

bool PlaylistControl::Snapshot(TArray<uint32_t>* ids) const {
  if (!ids->Reserve(storage_.Count())) return false;
  storage_.List().ForEach([ids](const PlaylistItem* item) { ids->Append(item->Id()); });
  return true;
}

// ---- MPlaylistControl ----------------------------------------------------------------------

int32_t PlaylistControl::TotalPlayTimeUntil(double* seconds, uint32_t* type, uint32_t stopId) {
  Operation op(*this);
  const PlayTime time = TotalPlayTime(storage_.List(), stopId);
  if (seconds) *seconds = time.seconds;
  if (type) *type = time.type;
  return kOk;
}

// ---- Life and name -------------------------------------------------------------------------

int32_t PlaylistControl::Shutdown() {
  // The scan goes first and with no lock held: it may be waiting for the playlist lock.
  scan_.Close();
  if (shutDown_.exchange(true)) return kOk;
  {
    Operation op(*this);
    RemoveAllLocked();
  }
  notifier_.Stop();
  return kOk;
}

int32_t PlaylistControl::GetName(TString* name) {
  if (!name) return kErrMissingArg;
  std::lock_guard lock(nameMutex_);
  *name = name_;
  return kOk;
}

int32_t PlaylistControl::SetName(const TString& name) {
  std::lock_guard lock(nameMutex_);
  name_ = name;
  return kOk;
}

// ---- Adding, removing, moving --------------------------------------------------------------

uint32_t PlaylistControl::NewId() {
  // The counter is shared by the module's playlists; an id this list already uses, or one of
  // the two values that mean "top" and "bottom", is skipped.
  for (int tries = 0; tries < 64; ++tries) {
    const uint32_t id = ids_->NextId();
    if (id != 0 && id != kPlaylistBottom && !storage_.IdInUse(id)) return id;
  }
  return 0;
}

int32_t PlaylistControl::AddItems(const ItemInfo* records, uint32_t count, uint32_t afterId,
                                  TArray<uint32_t>* outIds) {
  Operation op(*this);
  return AddLocked(records, count, afterId, outIds);
}

int32_t PlaylistControl::AddLocked(const ItemInfo* records, uint32_t count, uint32_t afterId,
                                   TArray<uint32_t>* outIds) {
  if (count == 0) return kOk;
  if (!records) return kErrMissingArg;
  uint32_t index = storage_.Count();
  if (afterId == kPlaylistTop) {
    index = 0;
  } else if (afterId != kPlaylistBottom) {
    PlaylistItem* after = storage_.FindLive(afterId);
    if (!after) return Code(PlaylistError::kIdNotFound);
    index = static_cast<uint32_t>(storage_.List().IndexOf(after) + 1);
  }
  std::unordered_set<uint32_t> ids;
  for (uint32_t i = 0; i < count; ++i) {
    const ItemInfo& record = records[i];
    if (!record.Has(kUrlPresent)) return Code(PlaylistError::kUrlMissing);
    if (!record.Has(kIdPresent)) continue;
    // A live id, or one a removed item still holds, would make two items answer to it.
    const uint32_t id = record.id;
    if (id == 0 || id == kPlaylistBottom || storage_.IdInUse(id) || !ids.insert(id).second)
      return Code(PlaylistError::kIdTaken);
  }

  std::vector<PlaylistItem*> items;
  auto giveBack = [&] {
    for (PlaylistItem* item : items)
      storage_.ReturnRecord(item);
  };
  items.reserve(count);
  const uint32_t revision = revision_ + 1;
  for (uint32_t i = 0; i < count; ++i) {
    PlaylistItem* item = storage_.TakeRecord();
    if (!item) {
      giveBack();
      return kErrOutOfMemory;
    }
    items.push_back(item);
    item->info = records[i];
    item->shufflePrev = item->shuffleNext = 0;
    if (!records[i].Has(kIdPresent)) {
      uint32_t id;
      do {
        id = NewId();
      } while (id != 0 && ids.count(id) != 0);
      if (id == 0) {
        giveBack();
        return kErrFailed;
      }
      ids.insert(id);
      item->info.id = id;
    }
    item->info.revision = revision;
  }
  const int32_t inserted = storage_.Insert(index, items.data(), count);
  if (Failed(inserted)) {
    giveBack();
    return inserted;
  }
  const uint32_t before = storage_.Count() - count;
  TArray<uint32_t> added;
  added.Reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    order_.AddToShuffle(items[i], before + i);
    added.Append(items[i]->Id());
  }
  OrderChanged();
  changes_.Added(added.Data(), added.Count(), afterId);
  if (outIds) *outIds = std::move(added);
  return kOk;
}

int32_t PlaylistControl::RemoveItems(const uint32_t* ids, uint32_t count) {
  Operation op(*this);
  if (count == 0) return 0;
  if (!ids) return kErrMissingArg;
  std::vector<std::pair<uint32_t, PlaylistItem*>> byIndex;
  byIndex.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    PlaylistItem* item = storage_.FindLive(ids[i]);
    if (!item) return Code(PlaylistError::kIdNotFound);
    byIndex.emplace_back(static_cast<uint32_t>(storage_.List().IndexOf(item)), item);
  }
  std::sort(byIndex.begin(), byIndex.end());
  for (size_t i = 1; i < byIndex.size(); ++i) {
    if (byIndex[i].first == byIndex[i - 1].first) return Code(PlaylistError::kIdRepeated);
  }
  for (const auto& entry : byIndex)
    order_.RemoveFromShuffle(entry.second);

  // Runs of neighbouring indices leave as ranges, the last run first so the earlier indices
  // stay valid; the records name the runs in list order.
  struct Run {
    uint32_t start;
    uint32_t length;
  };
  std::vector<Run> runs;
  std::vector<uint32_t> removed;
  removed.reserve(count);
  for (const auto& [index, item] : byIndex) {
    if (runs.empty() || runs.back().start + runs.back().length != index) {
      runs.push_back({index, 0});
    }
    ++runs.back().length;
    removed.push_back(item->Id());
  }
  const bool emptied = count == storage_.Count();
  for (auto run = runs.rbegin(); run != runs.rend(); ++run)
    storage_.RemoveRun(run->start, run->length);
  OrderChanged();
  if (emptied) {
    changes_.AllRemoved();
  } else {
    uint32_t at = 0;
    for (const Run& run : runs) {
      changes_.Removed(removed.data() + at, run.length, false);
      at += run.length;
    }
  }
  return static_cast<int32_t>(count);
}

int32_t PlaylistControl::RemoveAll() {
  Operation op(*this);
  RemoveAllLocked();
  return kOk;
}

void PlaylistControl::RemoveAllLocked() {
  storage_.RemoveAll();
  order_.ClearShuffle();
  OrderChanged();
  changes_.AllRemoved();
}

int32_t PlaylistControl::MoveItem(uint32_t id, uint32_t afterId) {
  return MoveItems(&id, 1, afterId);
}

int32_t PlaylistControl::MoveItems(const uint32_t* ids, uint32_t count, uint32_t afterId) {
  Operation op(*this);
  return MoveLocked(ids, count, afterId);
}

int32_t PlaylistControl::MoveLocked(const uint32_t* ids, uint32_t count, uint32_t afterId) {
  if (count == 0) return 0;
  if (!ids) return kErrMissingArg;
  PlaylistItem* anchor = nullptr;
  const bool toBottom = afterId == kPlaylistBottom;
  if (afterId != kPlaylistTop && !toBottom) {
    anchor = storage_.FindLive(afterId);
    if (!anchor) return Code(PlaylistError::kDestinationNotFound);
  }
  std::vector<std::pair<uint32_t, PlaylistItem*>> byIndex;
  byIndex.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    PlaylistItem* item = storage_.FindLive(ids[i]);
    if (!item) return Code(PlaylistError::kIdNotFound);
    if (item == anchor) return Code(PlaylistError::kMoveAfterItself);
    byIndex.emplace_back(static_cast<uint32_t>(storage_.List().IndexOf(item)), item);
  }
  std::sort(byIndex.begin(), byIndex.end());
  for (size_t i = 1; i < byIndex.size(); ++i) {
    if (byIndex[i].first == byIndex[i - 1].first) return Code(PlaylistError::kIdRepeated);
  }

  // Each run of neighbours moves as a block; the next run follows the one before, so the moved
  // items keep their order.
  ItemList& list = storage_.List();
  size_t i = 0;
  bool first = true;
  while (i < byIndex.size()) {
    size_t end = i + 1;
    while (end < byIndex.size() && byIndex[end].first == byIndex[end - 1].first + 1)
      ++end;
    const auto n = static_cast<uint32_t>(end - i);
    PlaylistItem* head = byIndex[i].second;
    const auto from = static_cast<uint32_t>(list.IndexOf(head));
    uint32_t before;
    if (anchor) {
      before = static_cast<uint32_t>(list.IndexOf(anchor) + 1);
    } else {
      before = (first && !toBottom) ? 0 : list.Count();
    }
    if ((before < from || before > from + n) && !list.Move(from, n, before)) return kErrOutOfMemory;
    const int64_t at = list.IndexOf(head);
    const uint32_t inFront = at > 0 ? list.At(static_cast<uint32_t>(at - 1))->Id() : 0;
    TArray<uint32_t> run;
    run.Reserve(n);
    for (size_t k = i; k < end; ++k)
      run.Append(byIndex[k].second->Id());
    changes_.Moved(run.Data(), run.Count(), inFront);
    anchor = byIndex[end - 1].second;
    first = false;
    i = end;
  }
  OrderChanged();
  return static_cast<int32_t>(count);
}

int32_t PlaylistControl::HoldItems(const uint32_t* ids, uint32_t count) {
  Operation op(*this);
  return storage_.HoldItems(ids, count);
}

int32_t PlaylistControl::ReleaseItems(const uint32_t* ids, uint32_t count) {
  Operation op(*this);
  return storage_.ReleaseItems(ids, count);
}

// ---- Orders --------------------------------------------------------------------------------

int32_t PlaylistControl::GetFirstUID(uint32_t* id, uint8_t shuffle) {
  Operation op(*this);
  return order_.GetFirst(id, shuffle != 0);
}

int32_t PlaylistControl::GetNextUID(uint32_t id, uint32_t* next, uint8_t shuffle) {
  Operation op(*this);
  return order_.GetNext(id, next, shuffle != 0);
}

int32_t PlaylistControl::GetPrevUID(uint32_t id, uint32_t* prev, uint8_t shuffle) {
  Operation op(*this);
  return order_.GetPrev(id, prev, shuffle != 0);
}

int32_t PlaylistControl::Reshuffle() {
  Operation op(*this);
  return order_.Reshuffle();
}

int32_t PlaylistControl::Sort(PlaylistSortKey key, uint8_t ascending, const TString& tokenName) {
  if (key != PlaylistSortKey::kTitle && key != PlaylistSortKey::kAuthor &&
      key != PlaylistSortKey::kToken) {
    return kErrOutOfRange;
  }
  Operation op(*this);
  // Even an empty list counts a sort as a change of order.
  OrderChanged();
  if (storage_.Count() == 0) return kOk;
  const int32_t r = order_.Sort(key, ascending != 0, tokenName);
  if (Failed(r)) return r;
  TArray<uint32_t> order;
  if (Snapshot(&order)) changes_.Reordered(std::move(order));
  return kOk;
}

int32_t PlaylistControl::RandomizeList() {
  Operation op(*this);
  if (storage_.Count() == 0) return kOk;
  const int32_t r = order_.Randomize();
  if (Failed(r)) return r;
  OrderChanged();
  TArray<uint32_t> order;
  if (Snapshot(&order)) changes_.Reordered(std::move(order));
  return kOk;
}

int32_t PlaylistControl::Reverse() {
  Operation op(*this);
  OrderChanged();
  if (storage_.Count() == 0) return kOk;
  const int32_t r = order_.Reverse();
  if (Failed(r)) return r;
  TArray<uint32_t> order;
  if (Snapshot(&order)) changes_.Reordered(std::move(order));
  return kOk;
}

// ---- The lock ------------------------------------------------------------------------------

int32_t PlaylistControl::Lock(uint32_t* token) {
  if (!token) return kErrMissingArg;
  // The random step is shared and unlocked; a serial mixed in keeps two callers' tokens apart.
  uint32_t mine = NextRandom() ^ (tokenSerial_.fetch_add(1) * 0x9E3779B9u);
  if (mine == 0) mine = 1;
  lock_.Acquire(mine, token);
  return kOk;
}

int32_t PlaylistControl::Unlock(uint32_t token) {
  return ReleaseLease(token);
}

int32_t PlaylistControl::UpdateLock(uint32_t token) {
  return lock_.Renew(token);
}

// ---- Reading the list ----------------------------------------------------------------------

uint32_t PlaylistControl::GetCurrentVersion() {
  Operation op(*this);
  return revision_;
}

int32_t PlaylistControl::GetCurrentItems(TArray<ItemInfo>* items, uint32_t* revision) {
  if (!items) return kErrMissingArg;
  Operation op(*this);
  items->Clear();
  if (!items->Reserve(storage_.Count())) return kErrOutOfMemory;
  storage_.List().ForEach([items](const PlaylistItem* item) {
    ItemInfo record;
    record.id = item->Id();
    record.Set(kIdPresent);
    items->Append(std::move(record));
  });
  if (revision) *revision = revision_;
  return kOk;
}

int32_t PlaylistControl::GetCurrentList(TArray<uint32_t>* ids, uint32_t* revision) {
  if (!ids) return kErrMissingArg;
  Operation op(*this);
  ids->Clear();
  if (!Snapshot(ids)) return kErrOutOfMemory;
  if (revision) *revision = revision_;
  return kOk;
}

int32_t PlaylistControl::GetChangeList(TArray<uint32_t>* ids, uint8_t* orderChanged,
                                       uint32_t sinceRevision, uint32_t* revision) {
  if (!ids) return kErrMissingArg;
  Operation op(*this);
  ids->Clear();
  storage_.List().ForEach([&](const PlaylistItem* item) {
    if (item->info.revision > sinceRevision) ids->Append(item->Id());
  });
  if (orderChanged) *orderChanged = orderRevision_ > sinceRevision ? 1 : 0;
  if (revision) *revision = revision_;
  return kOk;
}

int32_t PlaylistControl::GetCount() {
  Operation op(*this);
  return static_cast<int32_t>(storage_.Count());
}

int32_t PlaylistControl::GetUIDIndex(uint32_t id) {
  Operation op(*this);
  PlaylistItem* item = storage_.FindLive(id);
  if (!item) return Code(PlaylistError::kIdNotFound);
  return static_cast<int32_t>(storage_.List().IndexOf(item));
}

int32_t PlaylistControl::GetUIDAtIndex(int32_t index, uint32_t* id) {
  if (!id) return kErrMissingArg;
  Operation op(*this);
  const int64_t count = storage_.Count();
  const int64_t at = index < 0 ? count + index : index;
  if (at < 0 || at >= count) return kErrNotFound;
  *id = storage_.List().At(static_cast<uint32_t>(at))->Id();
  return kOk;
}

int32_t PlaylistControl::GetUIDForURL(const TString& url, uint32_t* id) {
  if (!id) return kErrMissingArg;
  Operation op(*this);
  PlaylistItem* item = storage_.FirstForUrl(url);
  if (!item) return kErrNotFound;
  *id = item->Id();
  return kOk;
}

int32_t PlaylistControl::GetTotalPlayTime(double* seconds, uint32_t* type) {
  return TotalPlayTimeUntil(seconds, type, 0);
}

int32_t PlaylistControl::GetSongAtTime(double time, uint8_t fraction, uint32_t* id) {
  if (!id) return kErrMissingArg;
  Operation op(*this);
  if (!SongAtTime(storage_.List(), time, fraction != 0, id))
    return Code(PlaylistError::kPlayTimeUndefined);
  return kOk;
}

// ---- Item information ----------------------------------------------------------------------

void PlaylistControl::ApplyInfo(PlaylistItem* item, const ItemInfo& record, uint32_t revision) {
  ItemInfo& info = item->info;
  // The same URL again keeps the item's place among the items stored under it.
  if (record.Has(kUrlPresent) && !(info.Has(kUrlPresent) && info.url == record.url))
    storage_.ChangeUrl(item, record.url);
  if (record.Has(kTitlePresent)) info.SetTitle(record.title);
  if (record.Has(kAuthorPresent)) info.SetAuthor(record.author);
  if (record.Has(kDurationPresent)) {
    info.duration = record.duration;
    info.Set(kDurationPresent);
  }
  if (record.Has(kDurationTypePresent)) {
    info.SetDurationType(record.GetDurationType());
    info.Set(kDurationTypePresent);
  }
  if (record.Has(kTokensPresent)) {
    storage_.UncountTokens(item);
    if (!info.Has(kTokensPresent)) info.tokens.Clear();
    MergeTokens(info.tokens, record.tokens);
    info.Set(kTokensPresent);
    storage_.CountTokens(item);
  }
  if (record.Has(kScanPresent)) {
    info.SetScan(record.GetScan());
    info.Set(kScanPresent);
  }
  // The record's own revision is an old one; the item takes the revision of this change.
  info.revision = revision;
  changes_.Updated(item->Id());
}

int32_t PlaylistControl::SetItemsInfo(const ItemInfo* records, uint32_t count) {
  if (count == 0) return 0;
  if (!records) return kErrMissingArg;
  Operation op(*this);
  std::vector<PlaylistItem*> items(count);
  for (uint32_t i = 0; i < count; ++i) {
    items[i] = storage_.FindLive(records[i].id);
    if (!items[i]) return Code(PlaylistError::kIdNotFound);
  }
  const uint32_t revision = NextRevision(false);
  for (uint32_t i = 0; i < count; ++i)
    ApplyInfo(items[i], records[i], revision);
  return static_cast<int32_t>(count);
}

int32_t PlaylistControl::SetItemInfo(uint32_t id, const ItemInfo& record) {
  Operation op(*this);
  PlaylistItem* item = storage_.FindLive(id);
  if (!item) return Code(PlaylistError::kIdNotFound);
  ApplyInfo(item, record, NextRevision(false));
  return kOk;
}

int32_t PlaylistControl::GetItemsInfo(ItemInfo* records, uint32_t count) {
  if (count > 0 && !records) return kErrMissingArg;
  Operation op(*this);
  for (uint32_t i = 0; i < count; ++i) {
    const int32_t r = GetUIDInfo(records[i].id, &records[i]);
    if (Failed(r)) return r;
  }
  return kOk;
}

int32_t PlaylistControl::GetUIDInfo(uint32_t id, ItemInfo* record) {
  if (!record) return kErrMissingArg;
  Operation op(*this);
  PlaylistItem* item = storage_.Find(id);
  if (!item) return Code(PlaylistError::kIdNotFound);
  *record = item->info;
  record->id = id;
  record->Set(kIdPresent);
  return kOk;
}

int32_t PlaylistControl::GetTokenList(TArray<PlaylistTokenCount>* tokens) {
  if (!tokens) return kErrMissingArg;
  Operation op(*this);
  *tokens = storage_.TokenCounts();
  return kOk;
}

// ---- Copying -------------------------------------------------------------------------------

int32_t PlaylistControl::CopyFrom(MPlaylist* source, uint8_t append) {
  if (!source) return kErrMissingArg;
  const bool self = source == static_cast<MPlaylist*>(this);
  if (self && !append) return kOk;
  // The source is read under its own lock and let go before this list is locked, so two lists
  // copying from each other at once never wait for each other.
  TArray<uint32_t> ids;
  TArray<ItemInfo> records;
  uint32_t token = 0;
  int32_t r = source->Lock(&token);
  if (Failed(r)) return r;
  r = source->GetCurrentList(&ids, nullptr);
  if (Succeeded(r) && ids.Count() > 0) {
    records.Resize(static_cast<int32_t>(ids.Count()));
    if (records.Count() != ids.Count()) {
      r = kErrOutOfMemory;
    } else {
      for (uint32_t i = 0; i < ids.Count(); ++i)
        records[i].id = ids[i];
      r = source->GetItemsInfo(records.Data(), records.Count());
    }
  }
  source->Unlock(token);
  if (Failed(r)) return r;
  // The copies are new items of this list: they take new ids.
  for (ItemInfo& record : records) {
    record.Clear(kIdPresent);
    record.id = 0;
    record.extra = false;
  }
  Operation op(*this);
  if (!append) RemoveAllLocked();
  r = AddLocked(records.Data(), records.Count(), kPlaylistBottom, nullptr);
  return Failed(r) ? r : kOk;
}

// ---- Listeners and the idle scan -----------------------------------------------------------

int32_t PlaylistControl::AddRemoveListener(MPlaylistListener* listener, uint8_t add,
                                           uint8_t wantsDetails) {
  return notifier_.AddRemove(listener, add != 0, wantsDetails != 0);
}

int32_t PlaylistControl::StartIdleScan() {
  return scan_.Start();
}

int32_t PlaylistControl::StopIdleScan() {
  return scan_.Stop();
}

uint8_t PlaylistControl::CurrentlyIdleScanning() {
  return scan_.Running() ? 1 : 0;
}

int32_t PlaylistControl::SetIdleScan(IdleScanMode mode, uint8_t startImmediately) {
  if (mode != IdleScanMode::kQuick && mode != IdleScanMode::kThorough) return kErrOutOfRange;
  return scan_.Configure(mode, startImmediately != 0);
}

void PlaylistControl::ReportScan(PlaylistChangeType type) {
  notifier_.Queue(SingleChange(type));
}

bool PlaylistControl::FindUnscanned(uint32_t from, IdleScanMode mode, ItemInfo* copy,
                                    uint32_t* found, const std::atomic<bool>& cancel) {
  Operation op(*this, &cancel);
  if (!op.Held()) return false;
  const PlaylistItem* start = storage_.List().At(from);
  if (!start || !start->slot) return false;
  // From the first item on, the walk follows the segments themselves rather than looking up
  // each index again.
  uint32_t index = from;
  const ListSegment* segment = start->slot->owner;
  auto position = static_cast<uint32_t>(start->slot - segment->slots);
  for (; segment; segment = segment->next, position = 0) {
    for (; position < segment->count; ++position, ++index) {
      const PlaylistItem* item = segment->slots[position].item;
      const ItemInfo& info = item->info;
      const uint32_t scan = info.Has(kScanPresent) ? info.GetScan() : kScanNone;
      if (scan == kScanNone || (mode == IdleScanMode::kThorough && scan == kScanBasic)) {
        *copy = info;
        copy->id = item->Id();
        copy->Set(kIdPresent);
        *found = index;
        return true;
      }
    }
  }
  return false;
}

bool PlaylistControl::StoreScanned(const ItemInfo& original, const ItemInfo& scanned,
                                   const std::atomic<bool>& cancel) {
  Operation op(*this, &cancel);
  if (!op.Held()) return false;
  PlaylistItem* item = storage_.FindLive(original.id);
  // Removed meanwhile, or now naming another file: what the scan found is about nothing here.
  if (!item || !item->info.Has(kUrlPresent) || item->info.url != original.url) return false;
  // Only what the scan produces is written, and only where nobody changed the item since the
  // scan took its copy: a newer edit wins over the scan's older view.
  const ItemInfo& now = item->info;
  ItemInfo update;
  if (scanned.Has(kTitlePresent) && Unchanged(now, original, kTitlePresent, &ItemInfo::title))
    update.SetTitle(scanned.title);
  if (scanned.Has(kAuthorPresent) && Unchanged(now, original, kAuthorPresent, &ItemInfo::author))
    update.SetAuthor(scanned.author);
  const bool durationAsWas = Unchanged(now, original, kDurationPresent, &ItemInfo::duration) &&
                             now.Has(kDurationTypePresent) == original.Has(kDurationTypePresent) &&
                             now.GetDurationType() == original.GetDurationType();
  if (durationAsWas && scanned.Has(kDurationPresent) && scanned.Has(kDurationTypePresent))
    update.SetDuration(scanned.duration, scanned.GetDurationType());
  if (scanned.Has(kTokensPresent)) {
    for (const ItemToken& token : scanned.tokens) {
      if (IsScannedToken(token.name) && SameToken(now, original, token.name))
        update.tokens.Append(token);
    }
    if (!update.tokens.IsEmpty()) update.Set(kTokensPresent);
  }
  update.SetScan(scanned.GetScan());
  update.Set(kScanPresent);
  ApplyInfo(item, update, NextRevision(false));
  return true;
}

// ---- Parts ---------------------------------------------------------------------------------

int32_t PlaylistControl::AttachPart(const Guid& classId, const Guid& iid) {
  return parts_.Attach(classId, iid, Identity());
}

int32_t PlaylistControl::AddPart(MUnknown* part) {
  return parts_.Add(part);
}

int32_t PlaylistControl::QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                                             const void* after) {
  if (!after) return QueryInterface(iid, out, addRef);
  return parts_.FindAfter(iid, out, addRef, after);
}

}  // namespace vk2
