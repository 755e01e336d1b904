// XPL playlists: the media core's own XML format, the only one that keeps every member of an
// item record (duration type, tokens, scan completeness). Read and written through the
// runtime's XML document.
//
//   <?xpl version=1.0?>
//   <xpl><Entry><URL>..</URL><Title>..</Title><Author>..</Author>
//        <Duration_Type>Estimate</Duration_Type><Duration>215.500000</Duration>
//        <Token Name="genre">rock</Token><ScanCompletedness>BasicScan</ScanCompletedness>
//   </Entry>...</xpl>
#pragma once

#include <cstdint>

#include "core/files/file_stream.h"
#include "core/formats/playlist_documents.h"
#include "core/playlist/item_info.h"

namespace vk2 {

// True when "<?xpl " (any case) starts somewhere before the last six bytes.
bool IsXplFile(FileStream* stream);

// Clears `items` and reads every entry that has a non-empty URL. Local URLs written relative to the
// playlist's folder are resolved against it. The count read, or kErrPlaylistNoStream,
// kErrPlaylistNoDocument, kErrPlaylistUnreadable (not XML), kErrPlaylistMalformed (no "xpl"
// instruction or element, or an instruction that is not "version=<number>") or
// kErrPlaylistVersion (a version below 1.0); `items` is empty after a failure.
int32_t ReadXpl(FileStream* stream, ItemInfoArray* items, const PlaylistDocuments& documents);

// Writes one entry per item that has a URL; `relative` writes local files as "file://" and a
// path relative to the stream's folder. The count written, or kErrPlaylistNoStream,
// kErrPlaylistNoDocument or kErrPlaylistWrite.
int32_t WriteXpl(FileStream* stream, const ItemInfoArray& items, bool relative,
                 const PlaylistDocuments& documents);

}  // namespace vk2
