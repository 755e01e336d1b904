// A playlist's storage and orders filled with numbered items, for the storage and order tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/playlist/playlist_order.h"
#include "core/playlist/playlist_storage.h"

namespace vk2::test {

class StorageFixture : public ::testing::Test {
 protected:
  // Adds items with the next ids before `index` (the end by default), as the playlist does:
  // list first, then the shuffle order item by item. Returns their ids.
  std::vector<uint32_t> Add(uint32_t n, int64_t index = -1) {
    std::vector<PlaylistItem*> items;
    std::vector<uint32_t> ids;
    for (uint32_t i = 0; i < n; ++i) {
      PlaylistItem* item = storage_.TakeRecord();
      item->info.id = ++nextId_;
      item->info.SetUrl(TString::Format(u"file:///m/%u.mp3", item->info.id));
      items.push_back(item);
      ids.push_back(item->info.id);
    }
    const uint32_t before = storage_.Count();
    const uint32_t at = index < 0 ? before : static_cast<uint32_t>(index);
    EXPECT_EQ(storage_.Insert(at, items.data(), n), 0);
    for (uint32_t i = 0; i < n; ++i)
      order_.AddToShuffle(items[i], before + i);
    return ids;
  }

  // Removes the run as the playlist does: shuffle links first, then the list.
  void RemoveRun(uint32_t index, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i)
      order_.RemoveFromShuffle(storage_.List().At(index + i));
    ASSERT_TRUE(storage_.RemoveRun(index, n));
  }

  std::vector<uint32_t> ListIds() const {
    std::vector<uint32_t> ids;
    storage_.List().ForEach([&ids](PlaylistItem* item) { ids.push_back(item->Id()); });
    return ids;
  }

  std::vector<uint32_t> Walk(bool shuffle) const {
    std::vector<uint32_t> ids;
    uint32_t id = 0;
    EXPECT_EQ(order_.GetFirst(&id, shuffle), 0);
    while (id != 0 && ids.size() <= storage_.Count()) {
      ids.push_back(id);
      EXPECT_EQ(order_.GetNext(id, &id, shuffle), 0);
    }
    return ids;
  }

  std::vector<uint32_t> Segments() const {
    std::vector<uint32_t> out;
    for (uint32_t c : storage_.List().SegmentCounts())
      out.push_back(c);
    return out;
  }

  PlaylistErrorCodes codes_;
  PlaylistStorage storage_{codes_};
  PlaylistOrder order_{storage_};
  uint32_t nextId_ = 0;
};

}  // namespace vk2::test
