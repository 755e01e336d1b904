// Item records for the playlist benchmarks: local files with titles, authors and durations, in
// an order unrelated to their titles so that sorting has work to do.
#pragma once

#include <cstdint>

#include "core/playlist/item_info.h"

namespace vk2::bench {

inline uint32_t Scramble(uint32_t i) {
  return (i * 2654435761u) ^ (i >> 7);
}

inline ItemInfo MakeItem(uint32_t i) {
  const uint32_t key = Scramble(i);
  ItemInfo info;
  info.SetUrl(
      TString::Format(u"file:///music/Artist %u/Album %u/%05u Track.mp3", key % 997, key % 89, i));
  // Mixed case, so that the sort's case folding matters.
  info.SetTitle(TString::Format((key & 1) ? u"Blue song %u" : u"red song %u", key % 100003));
  info.SetAuthor(TString::Format(u"Artist %u", key % 997));
  info.SetDuration(static_cast<float>(60 + key % 400), kDurationEstimate);
  return info;
}

inline ItemInfoArray MakeItems(uint32_t n) {
  ItemInfoArray items;
  items.Reserve(n);
  for (uint32_t i = 0; i < n; ++i)
    items.Append(MakeItem(i));
  return items;
}

}  // namespace vk2::bench
