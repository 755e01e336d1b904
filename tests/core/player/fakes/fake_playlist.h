// A playlist kept in a vector: list order, a shuffle order, holds that keep a removed item
// navigable, a counted lock, and listeners told after each change on the changing thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "component/object/com_object.h"
#include "interfaces/core/playlist.h"
#include "interfaces/ids.h"
#include "tests/core/player/fakes/playlist_stub.h"

namespace vk2::test {

class FakePlaylist final : public ComObject<FakePlaylist, Face<PlaylistStub, kIID_MPlaylist>,
                                            Face<MPlaylistControl, kIID_PlaylistControl>> {
 public:
  // Items "file:///N.wav" with the given durations (< 0: no duration).
  std::vector<uint32_t> AddFiles(const std::vector<double>& durations);
  std::vector<uint32_t> AddFiles(uint32_t count) {
    return AddFiles(std::vector<double>(count, -1.0));
  }
  // Shuffle order: the list order reversed until reshuffled.
  int Reshuffles();
  int HoldCount(uint32_t id);
  int LockDepth();
  size_t ListenerCount();
  int TotalHolds();
  std::vector<uint32_t> Ids();

  // What the player uses; the rest is the stub's.
  int32_t GetName(TString* name) override;
  int32_t RemoveItems(const uint32_t* ids, uint32_t count) override;
  int32_t RemoveAll() override;
  int32_t HoldItems(const uint32_t* ids, uint32_t count) override;
  int32_t ReleaseItems(const uint32_t* ids, uint32_t count) override;
  int32_t GetFirstUID(uint32_t* id, uint8_t shuffle) override;
  int32_t GetNextUID(uint32_t id, uint32_t* next, uint8_t shuffle) override;
  int32_t GetPrevUID(uint32_t id, uint32_t* prev, uint8_t shuffle) override;
  int32_t Reshuffle() override;
  int32_t Lock(uint32_t* token) override;
  int32_t Unlock(uint32_t token) override;
  int32_t GetCount() override;
  int32_t GetUIDIndex(uint32_t id) override;
  int32_t GetUIDAtIndex(int32_t index, uint32_t* id) override;
  int32_t GetTotalPlayTime(double* seconds, uint32_t* type) override;
  int32_t SetItemInfo(uint32_t id, const ItemInfo& record) override;
  int32_t GetUIDInfo(uint32_t id, ItemInfo* record) override;
  int32_t AddRemoveListener(MPlaylistListener* listener, uint8_t add,
                            uint8_t wantsDetails) override;

  int32_t TotalPlayTimeUntil(double* seconds, uint32_t* type, uint32_t stopId) override;

 private:
  struct Removed {
    ItemInfo item;
    uint32_t next = 0;
    uint32_t prev = 0;
  };
  int FindLocked(uint32_t id) const;
  // The next (`forward`) or previous id in the order, as GetNextUID and GetPrevUID answer.
  int32_t StepLocked(uint32_t id, uint32_t* to, uint8_t shuffle, bool forward);
  const std::vector<uint32_t> OrderLocked(bool shuffle) const;
  void Notify();

  std::recursive_mutex mutex_;
  std::vector<ItemInfo> items_;
  std::vector<uint32_t> shuffle_;
  std::vector<std::pair<uint32_t, int>> holds_;
  std::vector<Removed> removed_;
  std::vector<MPlaylistListener*> listeners_;
  uint32_t nextId_ = 1;
  int reshuffles_ = 0;
  int lockDepth_ = 0;
};

}  // namespace vk2::test
