// A playlist stand-in over the core tests' list playlist that also removes items and hands out
// its items' titles, as the command switches read them.
#pragma once

#include <algorithm>

#include "tests/core/fakes/list_playlist.h"

namespace vk2::test {

class TitlePlaylist final : public ListPlaylist {
 public:
  // Adds items with these titles (their URLs are the titles) and returns their ids.
  std::vector<uint32_t> AddTitles(std::initializer_list<const char*> titles) {
    std::vector<uint32_t> ids;
    for (const char* title : titles) {
      ItemInfo item;
      item.url = Utf16(title);
      item.Set(kUrlPresent);
      item.SetTitle(Utf16(title));
      TArray<uint32_t> out;
      AddItems(&item, 1, kPlaylistBottom, &out);
      ids.push_back(out[0]);
    }
    return ids;
  }

  int32_t GetCurrentItems(TArray<ItemInfo>* out, uint32_t* revision) override {
    out->Clear();
    for (const ItemInfo& item : items)
      out->Append(ItemInfo(item));
    if (revision) *revision = 1;
    return 0;
  }
  int32_t GetUIDIndex(uint32_t id) override {
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].id == id) return static_cast<int32_t>(i);
    }
    return kErrNotFound;
  }
  int32_t CopyFrom(MPlaylist* source, uint8_t append) override {
    TArray<ItemInfo> copied;
    uint32_t revision = 0;
    if (source->GetCurrentItems(&copied, &revision) < 0) return kErrFailed;
    if (!append) items.clear();
    for (ItemInfo& item : copied) {
      item.Clear(kIdPresent);
      AddItems(&item, 1, kPlaylistBottom, nullptr);
    }
    return 0;
  }
  int32_t RemoveItems(const uint32_t* ids, uint32_t count) override {
    size_t before = items.size();
    for (uint32_t i = 0; i < count; ++i) {
      std::erase_if(items, [&](const ItemInfo& item) { return item.id == ids[i]; });
    }
    return items.size() < before ? 0 : kErrNotFound;
  }

 private:
  ~TitlePlaylist() override = default;
};

}  // namespace vk2::test
