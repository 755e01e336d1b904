// M3U playlists, plain or extended ("#EXTM3U" with "#EXTINF:" lines), between a stream and an
// array of item records.
#pragma once

#include <cstdint>

#include "core/files/file_stream.h"
#include "core/playlist/item_info.h"

namespace vk2 {

// Clears `items` and reads the entries; the count read, or kErrPlaylistNoStream or
// kErrPlaylistUnreadable (with `items` empty).
int32_t ReadM3u(FileStream* stream, ItemInfoArray* items);

// Writes the items that have a URL, in order; `extended` adds the header and an information
// line per item that has a duration or a title; `relative` writes local files relative to the
// stream's folder. The count written, or kErrPlaylistNoStream, kErrPlaylistUnreadable (the
// stream cannot be rewound) or kErrPlaylistWrite.
int32_t WriteM3u(FileStream* stream, const ItemInfoArray& items, bool extended, bool relative);

}  // namespace vk2
