// A playlist of the media core: an ordered list of items (each an `ItemInfo`) with a unique
// 32-bit id per item, a second "shuffle" order over the same items, a revision counter with
// change lists, a re-entrant lock that scripts and the player take around multi-step work,
// listeners fed by the playlist's own worker thread, and an idle scan that fills in missing
// item information in the background.
//
// Ids: 0 means "none" (or "the top" as an after id) and 0xFFFFFFFF "the bottom"; neither is
// ever an item's id. Failures are negative: the playlist's own ones are the codes of its error
// table "Velkora Playlist Control" (core/playlist/playlist_errors.h), the others those of
// foundation/util/result.h.
#pragma once

#include <cstdint>

#include "core/playlist/item_info.h"
#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "interfaces/unknown.h"

namespace vk2 {

// After-id values of AddItems and MoveItems.
inline constexpr uint32_t kPlaylistTop = 0;
inline constexpr uint32_t kPlaylistBottom = 0xFFFFFFFF;

enum class PlaylistChangeType : uint32_t {
  kItemsAdded = 0,              // ids added, in list order; idAfter as given to AddItems
  kItemsRemoved = 1,            // ids removed
  kItemsUpdated = 2,            // ids whose information changed, each once
  kItemsMoved = 3,              // ids moved as one run; idAfter: the id they now follow (0: top)
  kAllItemsRemoved = 4,         // no ids
  kAllItemsMoved = 5,           // the whole new order
  kIdleScanStarted = 6,         // no ids
  kIdleScanStopped = 7,         // no ids
  kIdleScanSettingChanged = 8,  // no ids
};

// One record of a change list. The ids are owned by the record (an array, so pointer-sized
// on 64-bit builds); `idAfter` is meaningful for kItemsAdded and kItemsMoved only.
struct PlaylistChange {
  PlaylistChangeType type = PlaylistChangeType::kItemsAdded;
  uint32_t idAfter = 0;
  TArray<uint32_t> ids;
};

// The changes of one final Unlock (or one idle-scan event), in the order they were made.
struct PlaylistChangeList {
  TArray<PlaylistChange> records;
};

// A playlist listener: one operation. It is called on the playlist's worker thread, never
// under a playlist lock, once per delivered change list: with the list when it registered
// wanting details, else with null. The list is valid only during the call; the result is not
// looked at. The playlist holds no reference: removing a listener waits for a delivery to it
// that is in flight (unless called from inside that delivery), so after removal it is never
// called again.
class MPlaylistListener {
 public:
  virtual int32_t OnChange(const PlaylistChangeList* changes) = 0;

 protected:
  ~MPlaylistListener() = default;
};

// Sort keys.
enum class PlaylistSortKey : uint32_t {
  kTitle = 0,   // the title, or the file name of the URL when there is none
  kAuthor = 1,  // the author
  kToken = 2,   // the value of the first token with the given name
};

// Idle-scan modes.
enum class IdleScanMode : uint32_t {
  kQuick = 0,     // items never scanned
  kThorough = 1,  // also items that had only a basic scan
};

// One entry of GetTokenList: a token name and how many items carry it.
struct PlaylistTokenCount {
  TString name;
  uint32_t count = 0;
};

// Every operation except the name pair, the lock operations, AddRemoveListener and the four
// idle-scan operations runs inside the playlist lock (taken with token 0, so a caller that
// holds the lock through Lock may call them freely).
class MPlaylist : public MUnknown {
 public:
  // Stops the idle scan; the first call also removes every item, ends the worker and drops
  // undelivered change lists. Later calls only stop the scan. The last Release shuts down too.
  virtual int32_t Shutdown() = 0;

  virtual int32_t GetName(TString* name) = 0;
  virtual int32_t SetName(const TString& name) = 0;

  // Adds `count` records after `afterId` (kPlaylistTop, kPlaylistBottom or a live id). Each
  // needs a URL; a record with kIdPresent keeps its id, others get a new one. All or nothing.
  // `outIds` (may be null) receives the ids in list order. 0 on success.
  virtual int32_t AddItems(const ItemInfo* records, uint32_t count, uint32_t afterId,
                           TArray<uint32_t>* outIds) = 0;
  // The number removed, or a failure with nothing removed.
  virtual int32_t RemoveItems(const uint32_t* ids, uint32_t count) = 0;
  virtual int32_t RemoveAll() = 0;
  virtual int32_t MoveItem(uint32_t id, uint32_t afterId) = 0;
  // The number moved, or a failure with nothing moved.
  virtual int32_t MoveItems(const uint32_t* ids, uint32_t count, uint32_t afterId) = 0;
  // A hold keeps a removed item's record (and its navigation) alive until released.
  virtual int32_t HoldItems(const uint32_t* ids, uint32_t count) = 0;
  virtual int32_t ReleaseItems(const uint32_t* ids, uint32_t count) = 0;

  // Navigation in list order, or in shuffle order when `shuffle` is set; 0 = none. Nothing
  // wraps around.
  virtual int32_t GetFirstUID(uint32_t* id, uint8_t shuffle) = 0;
  virtual int32_t GetNextUID(uint32_t id, uint32_t* next, uint8_t shuffle) = 0;
  virtual int32_t GetPrevUID(uint32_t id, uint32_t* prev, uint8_t shuffle) = 0;

  virtual int32_t Reshuffle() = 0;
  // `ascending` non-zero sorts ascending; `tokenName` is used with PlaylistSortKey::kToken.
  virtual int32_t Sort(PlaylistSortKey key, uint8_t ascending, const TString& tokenName) = 0;
  virtual int32_t RandomizeList() = 0;
  virtual int32_t Reverse() = 0;

  // Re-entrant per thread. Lock hands out a non-zero token; a holder that keeps it over 15 s
  // without UpdateLock loses the lock to the next thread that asks (its later operations wait
  // again). Unlock by a thread that does not hold the lock fails with kErrNotFound; a non-zero
  // token that is not current is ignored (0). UpdateLock renews the 15 s allowance
  // (kErrNotSupported when the caller does not hold the lock with that token).
  virtual int32_t Lock(uint32_t* token) = 0;
  virtual int32_t Unlock(uint32_t token) = 0;
  virtual int32_t UpdateLock(uint32_t token) = 0;

  // The revision counter.
  virtual uint32_t GetCurrentVersion() = 0;
  // One record per item in list order, only the id member filled.
  virtual int32_t GetCurrentItems(TArray<ItemInfo>* items, uint32_t* revision) = 0;
  virtual int32_t GetCurrentList(TArray<uint32_t>* ids, uint32_t* revision) = 0;
  // The ids of items changed after `sinceRevision`, in list order; `orderChanged` 1 when the
  // order changed after it.
  virtual int32_t GetChangeList(TArray<uint32_t>* ids, uint8_t* orderChanged,
                                uint32_t sinceRevision, uint32_t* revision) = 0;
  // The number of listed items.
  virtual int32_t GetCount() = 0;
  // The 0-based index, or the code of kIdNotFound.
  virtual int32_t GetUIDIndex(uint32_t id) = 0;
  // A negative index counts from the end (-1 = last); kErrNotFound outside the list.
  virtual int32_t GetUIDAtIndex(int32_t index, uint32_t* id) = 0;
  // The first item stored under that URL; kErrNotFound when none.
  virtual int32_t GetUIDForURL(const TString& url, uint32_t* id) = 0;
  // `type` is an ItemInfo duration type; 3 (unknown) means the time is not to be used.
  virtual int32_t GetTotalPlayTime(double* seconds, uint32_t* type) = 0;
  // The item playing at `time` seconds (a fraction of the total when `fraction` is set); 0
  // past the end.
  virtual int32_t GetSongAtTime(double time, uint8_t fraction, uint32_t* id) = 0;

  // Members present in a record replace the stored ones (tokens merge by name); the item's
  // revision is always the new one. SetItemsInfo answers the number accepted.
  virtual int32_t SetItemsInfo(const ItemInfo* records, uint32_t count) = 0;
  virtual int32_t SetItemInfo(uint32_t id, const ItemInfo& record) = 0;
  // Fills each record whose id is set, in turn, stopping at the first failure.
  virtual int32_t GetItemsInfo(ItemInfo* records, uint32_t count) = 0;
  // Live items and removed items still held.
  virtual int32_t GetUIDInfo(uint32_t id, ItemInfo* record) = 0;
  virtual int32_t GetTokenList(TArray<PlaylistTokenCount>* tokens) = 0;

  // Copies the source's items (with new ids) after this list's items when `append` is set,
  // else in place of them. Copying a list onto itself without append changes nothing.
  virtual int32_t CopyFrom(MPlaylist* source, uint8_t append) = 0;

  // kErrAlreadyPresent when adding a present listener, kErrNotFound when removing an absent one.
  virtual int32_t AddRemoveListener(MPlaylistListener* listener, uint8_t add,
                                    uint8_t wantsDetails) = 0;

  virtual int32_t StartIdleScan() = 0;
  virtual int32_t StopIdleScan() = 0;
  virtual uint8_t CurrentlyIdleScanning() = 0;
  // A new mode restarts the scan from the first item; setting `startImmediately` starts it
  // and keeps it watching for new items (clearing it does not stop a running scan).
  virtual int32_t SetIdleScan(IdleScanMode mode, uint8_t startImmediately) = 0;

 protected:
  ~MPlaylist() = default;
};

// The playlist object's own face, answered under kIID_PlaylistControl: the total play time of
// the items before `stopId` (0: of every item). Either out pointer may be null.
class MPlaylistControl : public MUnknown {
 public:
  virtual int32_t TotalPlayTimeUntil(double* seconds, uint32_t* type, uint32_t stopId) = 0;

 protected:
  ~MPlaylistControl() = default;
};

}  // namespace vk2
