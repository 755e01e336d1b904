// What a playlist stores: item records from a block pool, the ordered list, and the maps that
// find an item by id or URL. Items removed while somebody holds them stay findable, marked
// removed, until the last hold goes, so a player can still ask what came after a deleted song.
// The owner serialises every call (the playlist lock).
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/playlist/item_list.h"
#include "core/playlist/playlist_errors.h"
#include "core/playlist/playlist_item.h"
#include "foundation/containers/block_pool.h"
#include "foundation/containers/tarray.h"
#include "interfaces/core/playlist.h"

namespace vk2 {

using TokenCount = PlaylistTokenCount;

class PlaylistStorage {
 public:
  explicit PlaylistStorage(const PlaylistErrorCodes& codes = {});
  ~PlaylistStorage();
  PlaylistStorage(const PlaylistStorage&) = delete;
  PlaylistStorage& operator=(const PlaylistStorage&) = delete;

  // A fresh, empty record from the pool (null when memory runs out), and its return.
  PlaylistItem* TakeRecord();
  void ReturnRecord(PlaylistItem* item);

  ItemList& List() { return list_; }
  const ItemList& List() const { return list_; }
  uint32_t Count() const { return list_.Count(); }
  const PlaylistErrorCodes& Codes() const { return codes_; }

  PlaylistItem* FindLive(uint32_t id) const;
  PlaylistItem* FindRemoved(uint32_t id) const;
  // Live first, then removed-but-held.
  PlaylistItem* Find(uint32_t id) const;
  // True when the id names a live or a removed-but-held item: such an id may not be reused.
  bool IdInUse(uint32_t id) const { return Find(id) != nullptr; }
  // The earliest stored live item with exactly this URL, or null.
  PlaylistItem* FirstForUrl(const TString& url) const;

  // Puts records (taken from this pool, ids set and unique) into the list before `index` and
  // into the maps; each gets the list's hold and loses any removed mark. 0, or a negative code
  // with nothing changed: an index outside the list kErrNotFound; an id of 0, one already in
  // use (live or removed-but-held) or given twice the code of kIdTaken; no memory
  // kErrOutOfMemory.
  int32_t Insert(uint32_t index, PlaylistItem* const* items, uint32_t n);
  // Removes the run [index, index + n) from the list: each item records its live neighbours,
  // is marked removed, leaves the id, URL and token maps and loses the list's hold (returning
  // to the pool when nobody else holds it). The caller unlinks the shuffle order first.
  bool RemoveRun(uint32_t index, uint32_t n);
  // Every item leaves as in RemoveRun, with no neighbours to record.
  void RemoveAll();

  // Adds or drops one caller hold on each id (live or removed). When any id is unknown, or a
  // release would take more holds than callers gave, nothing changes and the code of
  // kIdNotFound is returned; else 0.
  int32_t HoldItems(const uint32_t* ids, uint32_t n);
  int32_t ReleaseItems(const uint32_t* ids, uint32_t n);

  // Moves a live item to another URL, keeping the URL map right.
  void ChangeUrl(PlaylistItem* item, const TString& url);

  // The token-name counts follow the items' tokens; call around a change of an item's tokens.
  void CountTokens(const PlaylistItem* item);
  void UncountTokens(const PlaylistItem* item);
  TArray<TokenCount> TokenCounts() const;

  uint32_t RemovedCount() const { return static_cast<uint32_t>(removed_.size()); }
  // Records in use, live and removed (for checks of the pool).
  uint32_t RecordsInUse() const { return recordsInUse_; }

 private:
  void Leave(PlaylistItem* item, uint32_t prevId, uint32_t nextId);
  void DropHold(PlaylistItem* item);
  void AddUrl(PlaylistItem* item);
  void RemoveUrl(PlaylistItem* item);

  PlaylistErrorCodes codes_;
  BlockPool<PlaylistItem, 128, 128> pool_;
  ItemList list_;
  std::unordered_map<uint32_t, PlaylistItem*> live_;
  std::unordered_map<uint32_t, PlaylistItem*> removed_;
  // Several items may share a URL; each list keeps storing order.
  std::unordered_map<std::u16string, std::vector<PlaylistItem*>> urls_;
  std::unordered_map<std::u16string, uint32_t> tokens_;
  uint32_t recordsInUse_ = 0;
};

}  // namespace vk2
