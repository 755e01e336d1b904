// The kind of a path and the folder walk the playlist loaders use.
#pragma once

#include <cstdint>

#include "foundation/containers/tarray.h"
#include "foundation/text/tstring.h"

namespace vk2 {

// 0 absent, 2 file, 3 folder (links are followed).
enum PathKindValue : int32_t {
  kPathAbsent = 0,
  kPathFile = 2,
  kPathFolder = 3,
};
int32_t PathKind(const TString& path);

enum WalkFlags : uint32_t {
  kWalkAppend = 0x1,
  kWalkSubfolders = 0x2,
  kWalkFolders = 0x4,
  kWalkNoFiles = 0x8,
};

// Lists the entries of the pattern's folder whose names match its last component ('*' and '?',
// without regard to ASCII case) as full paths (folder '/' name), sorted by name within each
// folder; "." and ".." never. With kWalkSubfolders every subfolder is walked too (once, even
// through links that loop), after the entries of its parent. Returns the number of paths this
// call listed, or kErrNotFound when the pattern's folder cannot be read.
int32_t WalkFolder(TArray<TString>* out, uint32_t flags, const TString& pattern);

}  // namespace vk2
