// The playlist's error table, registered with the runtime's error registry, which assigns the
// codes the playlists return.
#pragma once

#include "core/playlist/playlist_errors.h"

namespace vk2 {

class MErrorRegistry;

inline constexpr char kPlaylistErrorTable[] = "Velkora Playlist Control";

// The message of an entry.
const char* PlaylistErrorMessage(PlaylistError entry);

// Registers the table (again: the registry gives the same codes) and returns its codes; without
// a registry, or when it refuses, the stand-in codes.
PlaylistErrorCodes RegisterPlaylistErrors(MErrorRegistry* registry);

}  // namespace vk2
