// The M3U, PLS and XPL formats as loader objects: one loader class, three format descriptions.
#pragma once

#include <cstdint>

#include "core/formats/playlist_documents.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/playlist_loader.h"

namespace vk2 {

struct PlaylistFormat {
  const char16_t* filter;
  const char* description;
  int32_t priority;
  // Null: the format reads every stream.
  bool (*canRead)(FileStream* stream);
  int32_t (*read)(FileStream* stream, ItemInfoArray* items, const PlaylistDocuments& documents);
  int32_t (*write)(FileStream* stream, const ItemInfoArray& items, bool flagA, bool flagB,
                   const PlaylistDocuments& documents);
};

extern const PlaylistFormat kM3uFormat;
extern const PlaylistFormat kPlsFormat;
extern const PlaylistFormat kXplFormat;

// A new loader for `format`, one reference for the caller; null when memory runs out.
RefPtr<MPlaylistLoader> MakeFormatLoader(const PlaylistFormat& format,
                                         const PlaylistDocuments& documents);

}  // namespace vk2
