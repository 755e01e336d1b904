// Playlist file formats as loader objects, and the generic loader that sorts a dropped or
// opened name into stream URLs, media files, playlist files and folders.
#pragma once

#include <cstdint>
#include <vector>

#include "core/files/file_stream.h"
#include "core/playlist/item_info.h"
#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/playlist.h"
#include "interfaces/unknown.h"

namespace vk2 {

struct PlaylistLoaderDescription {
  TString filter;            // e.g. "*.m3u"; several patterns are separated by ';'
  NarrowString description;  // e.g. "M3U Playlist Files"
  int32_t priority = 0;      // higher is tried first
};

class MPlaylistLoader : public MUnknown {
 public:
  // Replaces `out` with this loader's descriptions.
  virtual int32_t Describe(std::vector<PlaylistLoaderDescription>* out) = 0;
  // Whether the stream looks like this format.
  virtual bool CanRead(FileStream* stream) = 0;
  // Replaces the playlist's items with the stream's entries, holding the playlist's lock across
  // both steps; the playlist is left as it was when the stream cannot be read.
  virtual int32_t ReadIntoPlaylist(FileStream* stream, MPlaylist* playlist) = 0;
  virtual int32_t Read(FileStream* stream, ItemInfoArray* items) = 0;
  // Writes the playlist's items as they stand under one hold of its lock.
  virtual int32_t WritePlaylist(FileStream* stream, MPlaylist* playlist, int32_t flagA,
                                int32_t flagB) = 0;
  // M3U: A extended, B relative; PLS: A cached information, B relative; XPL: B relative.
  virtual int32_t Write(FileStream* stream, const ItemInfoArray& items, int32_t flagA,
                        int32_t flagB) = 0;

 protected:
  ~MPlaylistLoader() = default;
};

struct PlaylistLoaderEntry {
  PlaylistLoaderDescription description;
  RefPtr<MPlaylistLoader> loader;
};

class MGenericLoader : public MUnknown {
 public:
  // Finds the playlist by name in the media core (-5 when there is none), then AddToPlaylist.
  virtual int32_t AddToNamedPlaylist(const TString& playlistName, const TString& text,
                                     TArray<uint32_t>* ids) = 0;
  // Adds what `text` names at the playlist's end: the number of items added, or a failure.
  // `ids` (may be null) receives the new ids in order.
  virtual int32_t AddToPlaylist(MPlaylist* playlist, const TString& text,
                                TArray<uint32_t>* ids) = 0;
  // Every loader of the loader category, one entry per description, in category order.
  virtual int32_t ListLoaders(std::vector<PlaylistLoaderEntry>* out) = 0;

 protected:
  ~MGenericLoader() = default;
};

}  // namespace vk2
