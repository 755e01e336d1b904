// The generic loader: what the user interface hands a dropped or opened name to.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/loaders/dropped_name.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/core/playlist_loader.h"

namespace vk2 {

struct GenericLoaderEnvironment {
  // The loaders of the loader category, in category order. Null: asked of the runtime.
  std::function<int32_t(std::vector<PlaylistLoaderEntry>*)> listLoaders;
  // The media core's playlist of that name. Null: asked of the media core through the runtime.
  std::function<int32_t(const TString& name, RefPtr<MPlaylist>*)> findPlaylist;
  // The kind of a local path. Null: the file system's.
  PathKindProbe kindOf;
};

// A new generic loader, one reference for the caller; null when memory runs out.
RefPtr<MGenericLoader> MakeGenericLoader(GenericLoaderEnvironment environment = {});

// ListLoaders over the runtime's class registry.
int32_t ListRuntimePlaylistLoaders(std::vector<PlaylistLoaderEntry>* out);

}  // namespace vk2
