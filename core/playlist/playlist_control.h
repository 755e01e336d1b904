// The media core's playlist: the object behind MPlaylist. It keeps the items (storage), the list
// and shuffle orders, revisions and the change lists its listeners receive, the playlist lock,
// and the idle scan. Requests for interfaces it does not serve itself fall through to the parts
// attached to it (MBaseObject), the newest first, so the core script objects can extend it.
//
// Every list operation holds the lock's lease (token 0) and the structure mutex; change lists
// go to the listeners on the worker when the last hold goes, and listeners are never called
// with a lock held. The last Release shuts the playlist down if nobody did.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "component/object/com_object.h"
#include "component/object/part_list.h"
#include "core/playlist/change_notifier.h"
#include "core/playlist/change_recorder.h"
#include "core/playlist/idle_scan.h"
#include "core/playlist/playlist_lock.h"
#include "core/playlist/playlist_order.h"
#include "core/playlist/playlist_storage.h"
#include "core/playlist/shared_counter.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/playlist.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/runtime/error_registry.h"
#include "platform/critical_section.h"

namespace vk2 {

struct PlaylistSettings {
  Clock* clock = nullptr;  // null: the process's current clock
  uint32_t takeoverMs = PlaylistLock::kDefaultTakeoverMs;
  uint32_t scanPollMs = 100;
  // Where the idle scan gets its media system; null: a new media system of this module.
  MediaSystemMaker makeMediaSystem;
  // Null: a failure of the media system's scan preparation that is the "MediaSystem" table's
  // "too costly" entry of the error registry.
  ScanRefusalTest isTooCostly;
  // Null: the runtime's, when there is one (then the playlist's codes are the stand-ins).
  RefPtr<MErrorRegistry> errors;
  // The module's id source; null: the one the module hands out, else a counter of this
  // playlist's own.
  RefPtr<MSharedCounter> ids;
};

class PlaylistControl final
    : public ComObject<PlaylistControl, Face<MPlaylistControl, kIID_PlaylistControl>,
                       Face<MPlaylist, kIID_MPlaylist>, Face<MBaseObject, kIID_MBaseObject>>,
      private IdleScanHost {
 public:
  // A new playlist with one reference for the caller; null when it cannot be made.
  static RefPtr<PlaylistControl> Create(PlaylistSettings settings = {});

  // MPlaylistControl
  int32_t TotalPlayTimeUntil(double* seconds, uint32_t* type, uint32_t stopId) override;

  // MPlaylist
  int32_t Shutdown() override;
  int32_t GetName(TString* name) override;
  int32_t SetName(const TString& name) override;
  int32_t AddItems(const ItemInfo* records, uint32_t count, uint32_t afterId,
                   TArray<uint32_t>* outIds) override;
  int32_t RemoveItems(const uint32_t* ids, uint32_t count) override;
  int32_t RemoveAll() override;
  int32_t MoveItem(uint32_t id, uint32_t afterId) override;
  int32_t MoveItems(const uint32_t* ids, uint32_t count, uint32_t afterId) override;
  int32_t HoldItems(const uint32_t* ids, uint32_t count) override;
  int32_t ReleaseItems(const uint32_t* ids, uint32_t count) override;
  int32_t GetFirstUID(uint32_t* id, uint8_t shuffle) override;
  int32_t GetNextUID(uint32_t id, uint32_t* next, uint8_t shuffle) override;
  int32_t GetPrevUID(uint32_t id, uint32_t* prev, uint8_t shuffle) override;
  int32_t Reshuffle() override;
  int32_t Sort(PlaylistSortKey key, uint8_t ascending, const TString& tokenName) override;
  int32_t RandomizeList() override;
  int32_t Reverse() override;
  int32_t Lock(uint32_t* token) override;
  int32_t Unlock(uint32_t token) override;
  int32_t UpdateLock(uint32_t token) override;
  uint32_t GetCurrentVersion() override;
  int32_t GetCurrentItems(TArray<ItemInfo>* items, uint32_t* revision) override;
  int32_t GetCurrentList(TArray<uint32_t>* ids, uint32_t* revision) override;
  int32_t GetChangeList(TArray<uint32_t>* ids, uint8_t* orderChanged, uint32_t sinceRevision,
                        uint32_t* revision) override;
  int32_t GetCount() override;
  int32_t GetUIDIndex(uint32_t id) override;
  int32_t GetUIDAtIndex(int32_t index, uint32_t* id) override;
  int32_t GetUIDForURL(const TString& url, uint32_t* id) override;
  int32_t GetTotalPlayTime(double* seconds, uint32_t* type) override;
  int32_t GetSongAtTime(double time, uint8_t fraction, uint32_t* id) override;
  int32_t SetItemsInfo(const ItemInfo* records, uint32_t count) override;
  int32_t SetItemInfo(uint32_t id, const ItemInfo& record) override;
  int32_t GetItemsInfo(ItemInfo* records, uint32_t count) override;
  int32_t GetUIDInfo(uint32_t id, ItemInfo* record) override;
  int32_t GetTokenList(TArray<PlaylistTokenCount>* tokens) override;
  int32_t CopyFrom(MPlaylist* source, uint8_t append) override;
  int32_t AddRemoveListener(MPlaylistListener* listener, uint8_t add,
                            uint8_t wantsDetails) override;
  int32_t StartIdleScan() override;
  int32_t StopIdleScan() override;
  uint8_t CurrentlyIdleScanning() override;
  int32_t SetIdleScan(IdleScanMode mode, uint8_t startImmediately) override;

  // MBaseObject
  int32_t AttachPart(const Guid& classId, const Guid& iid) override;
  int32_t AddPart(MUnknown* part) override;
  int32_t QueryInterfaceAfter(const Guid& iid, void** out, uint32_t addRef,
                              const void* after) override;

  // The playlist's codes for its error entries.
  int32_t Code(PlaylistError entry) const { return codes_(entry); }

 protected:
  MUnknown* QueryMore(const Guid& iid) override { return parts_.Find(iid); }

 private:
  class Operation;

  PlaylistControl(PlaylistSettings settings, const PlaylistErrorCodes& codes,
                  RefPtr<MSharedCounter> ids);
  ~PlaylistControl() override;
  void BeforeDestroy() override;

  // IdleScanHost
  bool FindUnscanned(uint32_t from, IdleScanMode mode, ItemInfo* copy, uint32_t* index,
                     const std::atomic<bool>& cancel) override;
  bool StoreScanned(const ItemInfo& original, const ItemInfo& scanned,
                    const std::atomic<bool>& cancel) override;
  void ReportScan(PlaylistChangeType type) override;
  void WakeLockWaiters() override { lock_.WakeWaiters(); }

  // Drops one hold of the lease; the last hold hands what is pending to the worker.
  int32_t ReleaseLease(uint32_t token);

  // The parts of the operations, run under the lease and the structure mutex.
  int32_t AddLocked(const ItemInfo* records, uint32_t count, uint32_t afterId,
                    TArray<uint32_t>* outIds);
  void RemoveAllLocked();
  int32_t MoveLocked(const uint32_t* ids, uint32_t count, uint32_t afterId);
  // Replaces the members present in `record`; the item gets the revision `revision`.
  void ApplyInfo(PlaylistItem* item, const ItemInfo& record, uint32_t revision);
  // A new id no item of this playlist uses; 0 when none could be had.
  uint32_t NewId();
  // One revision for a change; `order` when the order changed too.
  uint32_t NextRevision(bool order);
  void OrderChanged();
  bool Snapshot(TArray<uint32_t>* ids) const;

  const PlaylistErrorCodes codes_;
  RefPtr<MErrorRegistry> errors_;
  RefPtr<MSharedCounter> ids_;
  PartList parts_;

  std::mutex nameMutex_;
  TString name_;

  PlaylistLock lock_;
  // Held through each operation, so a takeover of the lease never lets two threads change the
  // list at once.
  CriticalSection structure_;
  PlaylistStorage storage_;
  PlaylistOrder order_;
  uint32_t revision_ = 0;
  uint32_t orderRevision_ = 0;
  ChangeRecorder changes_;
  ChangeNotifier notifier_;
  IdleScan scan_;
  std::atomic<bool> shutDown_{false};
  std::atomic<uint32_t> tokenSerial_{0};
};

}  // namespace vk2
