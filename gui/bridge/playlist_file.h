// Playlist files read and written through a playlist loader. Writing goes to a temporary file
// beside the target, renamed over it once complete, so that a failed or interrupted save never
// leaves a half-written playlist in place of the last good one.
#pragma once

#include "foundation/text/tstring.h"
#include "interfaces/core/playlist.h"
#include "interfaces/core/playlist_loader.h"

namespace vk2::gui {

// False when the file cannot be opened or the loader refuses it.
bool ReadPlaylistFile(MPlaylistLoader* loader, MPlaylist* playlist, const TString& path);
// `flagA` and `flagB` as the loader's WritePlaylist takes them.
bool WritePlaylistFile(MPlaylistLoader* loader, MPlaylist* playlist, const TString& path,
                       int32_t flagA, int32_t flagB);

}  // namespace vk2::gui
