// Sorting a dropped or opened name: a stream URL, a media file, a playlist file (and which
// loader's filter claims it), a folder, a wildcard pattern, or nothing that exists.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "foundation/text/tstring.h"

namespace vk2 {

enum class DroppedKind {
  kEmpty,
  kStream,        // `url` is the text as given
  kMediaFile,     // `url` is "file://" + `path`
  kPlaylistFile,  // `loader` indexes the filter that claims it
  kFolder,
  kPattern,  // `path` is the pattern, wildcards in its last component
  kAbsent,
};

struct DroppedName {
  DroppedKind kind = DroppedKind::kEmpty;
  TString path;  // absolute local path (files, folders, patterns)
  TString url;
  int32_t loader = -1;
};

// The kind of a local path: 0 absent, 2 file, 3 folder (as PathKind).
using PathKindProbe = std::function<int32_t(const TString& path)>;

// `filters` are the loaders' filters in the order they are tried ("*.m3u", several patterns
// separated by ';'); `baseFolder` (ending in '/') makes relative names absolute. A "file://"
// URL names a local path. The file system is asked before wildcards count, since '*' and '?'
// are legal in file names.
DroppedName SortDroppedName(const TString& text, std::span<const TString> filters,
                            const TString& baseFolder, const PathKindProbe& kindOf);

// "scheme://..." with a scheme other than "file" (any case).
bool IsStreamUrl(const TString& text);
// The file name's extension from its last '.', or the whole file name when it has none.
TString FileExtension(const TString& path);
// Whether any of the ';'-separated patterns of `filter` matches `extension` (any case).
bool FilterMatches(const TString& filter, const TString& extension);

}  // namespace vk2
