// A playlist's stored item: its record plus what the storage and the orders keep about it.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/playlist/item_info.h"

namespace vk2 {

struct ListSegment;

struct ListSlot {
  ListSegment* owner;
  struct PlaylistItem* item;
};

struct PlaylistItem {
  // `info.extra` is the "removed" mark: clear while the item is in the list.
  ItemInfo info;
  // 1 for the list's own hold while the item is listed, plus one per caller's hold.
  std::atomic<int32_t> holds{0};
  uint32_t shufflePrev = 0;
  uint32_t shuffleNext = 0;
  // The list neighbours' ids, recorded when the item leaves the list (0: none).
  uint32_t listPrev = 0;
  uint32_t listNext = 0;
  // Where the item sits in the ordered list; null once it has left.
  ListSlot* slot = nullptr;

  uint32_t Id() const { return info.id; }
  bool IsRemoved() const { return info.extra; }
};

}  // namespace vk2
