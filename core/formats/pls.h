// PLS playlists: one "[playlist]" section of numbered "file", "title", "author" and "length"
// keys, read and written through the runtime's INI document. Lengths are whole seconds both
// ways; a negative length (what streams announce) reads as a duration of unknown length.
#pragma once

#include <cstdint>

#include "core/files/file_stream.h"
#include "core/formats/playlist_documents.h"
#include "core/playlist/item_info.h"

namespace vk2 {

// True when "[playlist]" (any case) starts somewhere before the last ten bytes.
bool IsPlsFile(FileStream* stream);

// Clears `items` and reads the entries in number order; a number without a "file" key is
// skipped. The count read, or kErrPlaylistNoStream, kErrPlaylistNoDocument or
// kErrPlaylistUnreadable.
int32_t ReadPls(FileStream* stream, ItemInfoArray* items, const PlaylistDocuments& documents);

// Writes the items that have a URL, numbered from 1; `cachedInfo` adds lengths, titles and
// authors; `relative` writes local files relative to the stream's folder. The count written,
// or kErrPlaylistNoStream, kErrPlaylistNoDocument, kErrPlaylistWrite or the code of a failed
// set operation (nothing is written then).
int32_t WritePls(FileStream* stream, const ItemInfoArray& items, bool cachedInfo, bool relative,
                 const PlaylistDocuments& documents);

}  // namespace vk2
