// The per-user folders of the program, each "<base>/velkora2":
//   config   $XDG_CONFIG_HOME or ~/.config        (registry, preferences)
//   state    $XDG_STATE_HOME or ~/.local/state    (console log)
//   cache    $XDG_CACHE_HOME or ~/.cache          (stream cache)
//   runtime  $XDG_RUNTIME_DIR, else a private folder in /tmp (instance lock, sockets)
// Variables holding relative paths are ignored, as the XDG rules ask. Folders are created on
// demand with mode 0700.
#pragma once

#include <string>
#include <system_error>

namespace vk2 {

enum class UserFolder { kConfig, kState, kCache, kRuntime };

// The folder, created when missing; empty with `error` set when it cannot be had (and for the
// runtime folder, when it is not private to the user).
std::string UserFolderPath(UserFolder which, std::error_code* error = nullptr);

// Creates `path` and any missing parents with mode 0700; no error when it is a directory after.
std::error_code MakeFolders(const std::string& path);

// Makes `path` a folder only the user can enter: created with mode 0700, or when it exists a
// real directory (not a link) owned by the user, whose mode is then narrowed to 0700.
std::error_code MakePrivateFolder(const std::string& path);

}  // namespace vk2
