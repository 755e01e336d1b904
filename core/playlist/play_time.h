// How long a playlist plays: the known durations summed, and the unknown ones estimated from
// the average of the known, in double precision (a long list of float seconds would lose whole
// seconds in a float sum).
#pragma once

#include <cstdint>

#include "core/playlist/item_list.h"

namespace vk2 {

struct PlayTime {
  double seconds = 0.0;
  // An ItemInfo duration type: 1 when anything is estimated, 2 when every duration is verified,
  // 3 when nothing is known (the seconds mean nothing), 4 when an item plays for ever.
  uint32_t type = kDurationVerified;
};

// The items in list order up to, not including, the item with `stopId` (0: all of them).
PlayTime TotalPlayTime(const ItemList& list, uint32_t stopId);

// The id of the item playing `seconds` into the list (0 past the end). False when the total is
// unknown or infinite, so no item can be placed.
bool SongAtTime(const ItemList& list, double seconds, bool fraction, uint32_t* id);

}  // namespace vk2
