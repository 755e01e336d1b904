// A playlist stand-in: a plain list of records that remembers whether each change came while
// its lock was held, can be told to refuse additions, and keeps its name, idle-scan settings
// and shutdowns for the managers' tests.
#pragma once

#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "foundation/util/result.h"
#include "interfaces/core/playlist.h"
#include "interfaces/ids.h"

namespace vk2::test {

class ListPlaylist : public ComObject<ListPlaylist, Face<MPlaylist, kIID_MPlaylist>> {
 public:
  std::vector<ItemInfo> items;
  std::vector<std::string> diary;  // "remove all", "add N" with " unlocked" when outside a Lock
  int refuseAdds = 0;              // how many more additions to refuse
  int lockDepth = 0;
  int shutdowns = 0;
  std::vector<std::string>* shutdownLog = nullptr;  // "<name>" per shutdown, outliving the list
  TString name;
  int idleScanSettings = 0;  // how often SetIdleScan was called
  IdleScanMode idleMode = IdleScanMode::kQuick;
  uint8_t idleStart = 0;

  std::vector<std::string> Urls() const {
    std::vector<std::string> urls;
    for (const ItemInfo& item : items)
      urls.push_back(Utf8(item.url).c_str());
    return urls;
  }

  int32_t Shutdown() override {
    if (shutdownLog) shutdownLog->push_back(Utf8(name).c_str());
    return ++shutdowns, 0;
  }
  int32_t GetName(TString* out) override { return *out = name, 0; }
  int32_t SetName(const TString& value) override { return name = value, 0; }
  int32_t AddItems(const ItemInfo* records, uint32_t count, uint32_t afterId,
                   TArray<uint32_t>* outIds) override {
    Note("add " + std::to_string(count));
    if (refuseAdds > 0) return --refuseAdds, kErrRefused;
    size_t at = afterId == kPlaylistTop ? 0 : items.size();
    for (uint32_t i = 0; i < count; ++i) {
      if (!records[i].Has(kUrlPresent) || records[i].Has(kIdPresent)) return kErrBadData;
    }
    for (uint32_t i = 0; i < count; ++i) {
      ItemInfo item = records[i];
      item.id = nextId_++;
      item.Set(kIdPresent);
      if (outIds) outIds->Append(item.id);
      items.insert(items.begin() + static_cast<std::ptrdiff_t>(at++), std::move(item));
    }
    return 0;
  }
  int32_t RemoveAll() override {
    Note("remove all");
    items.clear();
    return 0;
  }
  int32_t GetCurrentItems(TArray<ItemInfo>* out, uint32_t* revision) override {
    Note("list");
    out->Clear();
    for (const ItemInfo& item : items) {
      ItemInfo idOnly;
      idOnly.id = item.id;
      idOnly.Set(kIdPresent);
      out->Append(std::move(idOnly));
    }
    if (revision) *revision = 1;
    return 0;
  }
  int32_t GetItemsInfo(ItemInfo* records, uint32_t count) override {
    Note("info");
    for (uint32_t i = 0; i < count; ++i) {
      bool found = false;
      for (const ItemInfo& item : items) {
        if (item.id == records[i].id) records[i] = item, found = true;
      }
      if (!found) return kErrNotFound;
    }
    return 0;
  }
  int32_t Lock(uint32_t* token) override {
    ++lockDepth;
    *token = 7;
    return 0;
  }
  int32_t Unlock(uint32_t) override {
    --lockDepth;
    return 0;
  }

  int32_t RemoveItems(const uint32_t*, uint32_t) override { return kErrNotSupported; }
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
  int32_t UpdateLock(uint32_t) override { return kErrNotSupported; }
  uint32_t GetCurrentVersion() override { return 1; }
  int32_t GetCurrentList(TArray<uint32_t>*, uint32_t*) override { return kErrNotSupported; }
  int32_t GetChangeList(TArray<uint32_t>*, uint8_t*, uint32_t, uint32_t*) override {
    return kErrNotSupported;
  }
  int32_t GetCount() override { return static_cast<int32_t>(items.size()); }
  int32_t GetUIDIndex(uint32_t) override { return kErrNotSupported; }
  int32_t GetUIDAtIndex(int32_t, uint32_t*) override { return kErrNotSupported; }
  int32_t GetUIDForURL(const TString&, uint32_t*) override { return kErrNotSupported; }
  int32_t GetTotalPlayTime(double*, uint32_t*) override { return kErrNotSupported; }
  int32_t GetSongAtTime(double, uint8_t, uint32_t*) override { return kErrNotSupported; }
  int32_t SetItemsInfo(const ItemInfo*, uint32_t) override { return kErrNotSupported; }
  int32_t SetItemInfo(uint32_t, const ItemInfo&) override { return kErrNotSupported; }
  int32_t GetUIDInfo(uint32_t, ItemInfo*) override { return kErrNotSupported; }
  int32_t GetTokenList(TArray<PlaylistTokenCount>*) override { return kErrNotSupported; }
  int32_t CopyFrom(MPlaylist*, uint8_t) override { return kErrNotSupported; }
  int32_t AddRemoveListener(MPlaylistListener*, uint8_t, uint8_t) override {
    return kErrNotSupported;
  }
  int32_t StartIdleScan() override { return kErrNotSupported; }
  int32_t StopIdleScan() override { return kErrNotSupported; }
  uint8_t CurrentlyIdleScanning() override { return 0; }
  int32_t SetIdleScan(IdleScanMode mode, uint8_t start) override {
    ++idleScanSettings, idleMode = mode, idleStart = start;
    return 0;
  }

 protected:
  ~ListPlaylist() override = default;

 private:
  void Note(std::string what) { diary.push_back(lockDepth > 0 ? what : what + " unlocked"); }

  uint32_t nextId_ = 1;
};

}  // namespace vk2::test
