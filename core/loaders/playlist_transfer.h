// Moving records between a playlist and a record array as one step of the playlist's history.
#pragma once

#include <cstdint>

#include "core/playlist/item_info.h"
#include "interfaces/core/playlist.h"

namespace vk2 {

// The playlist's items with their full records, in list order, read under one hold of its lock.
int32_t SnapshotPlaylist(MPlaylist* playlist, ItemInfoArray* records);

// Replaces the playlist's items with `records` under one hold of its lock. Records without a
// URL are refused before anything changes; should the addition still fail, the old items are
// put back. The number of items added, or a failure.
int32_t ReplacePlaylistItems(MPlaylist* playlist, ItemInfoArray records);

// Adds `records` (new ids) at the playlist's end and appends their ids to `ids` (may be null).
// The number added, or a failure.
int32_t AppendToPlaylist(MPlaylist* playlist, ItemInfoArray records, TArray<uint32_t>* ids);

}  // namespace vk2
