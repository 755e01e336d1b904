// Reading and replacing whole files. A replacement is atomic: readers, and a crash at any
// moment, see the old contents or the new, never a mix or a truncated file.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/atomic_file_writer.h"

namespace vk2 {

// The largest file ReadWholeFile takes by default: the documents read whole (registry,
// preferences, INI, XML, languages) are far smaller, and a larger one is refused, not loaded.
inline constexpr uint64_t kMaxWholeFileBytes = 256ull << 20;

// The file's bytes; `file_too_large` when it holds more than `maxBytes`, whether its size says
// so or its bytes keep coming (a pipe, a file that grows). `contents` is untouched on failure.
std::error_code ReadWholeFile(const std::string& path, std::string* contents,
                              uint64_t maxBytes = kMaxWholeFileBytes);

// Writes `contents` to a temporary file in the same folder, flushes it to disk and renames it
// over `path`. An existing file keeps its permission bits; a new one gets `newFileMode`. A
// symbolic link is followed, so the file it names is replaced and the link stays. On failure
// the old file is untouched and no temporary file is left behind.
//
// To serialise writers, lock a companion file (FileLock on "<path>.lock"), not `path` itself:
// the rename puts a new file in place, and a lock on the old one no longer guards anything.
std::error_code WriteFileAtomic(const std::string& path, std::string_view contents,
                                mode_t newFileMode = 0600);

// Removes the temporary files in `folder` that atomic writers killed before their rename left
// behind; a live writer's temporary is claimed (see file_claim.h) and stays. The count removed.
size_t RemoveDeadTemporaries(const std::string& folder);

}  // namespace vk2
