#include "gui/bridge/playlist_file.h"

#include <unistd.h>

#include <cstdio>

#include "core/files/file_stream.h"

namespace vk2::gui {

bool ReadPlaylistFile(MPlaylistLoader* loader, MPlaylist* playlist, const TString& path) {
  if (!loader) return false;
  FileStream stream;
  if (!stream.Open(path, kOpenRead | kOpenShareRead | kOpenExisting | kOpenSequential)) {
    return false;
  }
  return loader->ReadIntoPlaylist(&stream, playlist) >= 0;
}

bool WritePlaylistFile(MPlaylistLoader* loader, MPlaylist* playlist, const TString& path,
                       int32_t flagA, int32_t flagB) {
  if (!loader || path.IsEmpty()) return false;
  // Beside the target: the same folder, so entries written relative to it stay right.
  TString temporary = TString::Format(u"%s.%d.partial", path, static_cast<int32_t>(::getpid()));
  bool written = false;
  {
    FileStream stream;
    if (!stream.Open(temporary, kOpenWrite | kOpenCreateAlways | kOpenSequential)) return false;
    written = loader->WritePlaylist(&stream, playlist, flagA, flagB) >= 0;
    written = stream.Close() && written;
  }
  if (written) written = std::rename(Utf8(temporary).c_str(), Utf8(path).c_str()) == 0;
  if (!written) std::remove(Utf8(temporary).c_str());
  return written;
}

}  // namespace vk2::gui
