// Every playlist operation with the answer a stand-in gives when it does not keep that part:
// settings and idle-scan calls are taken and do nothing, everything else is not supported. A
// fake derives from it and overrides only what it keeps.
#pragma once

#include <cstdint>

#include "foundation/util/result.h"
#include "interfaces/core/playlist.h"

namespace vk2::test {

class PlaylistStub : public MPlaylist {
 public:
  int32_t Shutdown() override { return kOk; }
  int32_t GetName(TString*) override { return kErrNotSupported; }
  int32_t SetName(const TString&) override { return kOk; }
  int32_t AddItems(const ItemInfo*, uint32_t, uint32_t, TArray<uint32_t>*) override {
    return kErrNotSupported;
  }
  int32_t RemoveItems(const uint32_t*, uint32_t) override { return kErrNotSupported; }
  int32_t RemoveAll() override { return kErrNotSupported; }
  int32_t MoveItem(uint32_t, uint32_t) override { return kErrNotSupported; }
  int32_t MoveItems(const uint32_t*, uint32_t, uint32_t) override { return kErrNotSupported; }
  int32_t HoldItems(const uint32_t*, uint32_t) override { return kErrNotSupported; }
  int32_t ReleaseItems(const uint32_t*, uint32_t) override { return kErrNotSupported; }
  int32_t GetFirstUID(uint32_t*, uint8_t) override { return kErrNotSupported; }
  int32_t GetNextUID(uint32_t, uint32_t*, uint8_t) override { return kErrNotSupported; }
  int32_t GetPrevUID(uint32_t, uint32_t*, uint8_t) override { return kErrNotSupported; }
  int32_t Reshuffle() override { return kErrNotSupported; }
  int32_t Sort(PlaylistSortKey, uint8_t, const TString&) override { return kErrNotSupported; }
  int32_t RandomizeList() override { return kErrNotSupported; }
  int32_t Reverse() override { return kErrNotSupported; }
  int32_t Lock(uint32_t*) override { return kErrNotSupported; }
  int32_t Unlock(uint32_t) override { return kErrNotSupported; }
  int32_t UpdateLock(uint32_t) override { return kOk; }
  uint32_t GetCurrentVersion() override { return 0; }
  int32_t GetCurrentItems(TArray<ItemInfo>*, uint32_t*) override { return kErrNotSupported; }
  int32_t GetCurrentList(TArray<uint32_t>*, uint32_t*) override { return kErrNotSupported; }
  int32_t GetChangeList(TArray<uint32_t>*, uint8_t*, uint32_t, uint32_t*) override {
    return kErrNotSupported;
  }
  int32_t GetCount() override { return 0; }
  int32_t GetUIDIndex(uint32_t) override { return kErrNotSupported; }
  int32_t GetUIDAtIndex(int32_t, uint32_t*) override { return kErrNotSupported; }
  int32_t GetUIDForURL(const TString&, uint32_t*) override { return kErrNotSupported; }
  int32_t GetTotalPlayTime(double*, uint32_t*) override { return kErrNotSupported; }
  int32_t GetSongAtTime(double, uint8_t, uint32_t*) override { return kErrNotSupported; }
  int32_t SetItemsInfo(const ItemInfo*, uint32_t) override { return kErrNotSupported; }
  int32_t SetItemInfo(uint32_t, const ItemInfo&) override { return kErrNotSupported; }
  int32_t GetItemsInfo(ItemInfo*, uint32_t) override { return kErrNotSupported; }
  int32_t GetUIDInfo(uint32_t, ItemInfo*) override { return kErrNotSupported; }
  int32_t GetTokenList(TArray<PlaylistTokenCount>*) override { return kErrNotSupported; }
  int32_t CopyFrom(MPlaylist*, uint8_t) override { return kErrNotSupported; }
  int32_t AddRemoveListener(MPlaylistListener*, uint8_t, uint8_t) override {
    return kErrNotSupported;
  }
  int32_t StartIdleScan() override { return kOk; }
  int32_t StopIdleScan() override { return kOk; }
  uint8_t CurrentlyIdleScanning() override { return 0; }
  int32_t SetIdleScan(IdleScanMode, uint8_t) override { return kOk; }

 protected:
  ~PlaylistStub() = default;
};

}  // namespace vk2::test
