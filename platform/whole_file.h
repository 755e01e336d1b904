// Reading and replacing whole files. A replacement is atomic: readers, and a crash at any
// moment, see the old contents or the new, never a mix or a truncated file.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>
#include <system_error>

namespace vk2 {

std::error_code ReadWholeFile(const std::string& path, std::string* contents);

// Writes `contents` to a temporary file in the same folder, flushes it to disk and renames it
// over `path`. An existing file keeps its permission bits; a new one gets `newFileMode`. A
// symbolic link is followed, so the file it names is replaced and the link stays. On failure
// the old file is untouched and no temporary file is left behind.
//
// To serialise writers, lock a companion file (FileLock on "<path>.lock"), not `path` itself:
// the rename puts a new file in place, and a lock on the old one no longer guards anything.
std::error_code WriteFileAtomic(const std::string& path, std::string_view contents,
                                mode_t newFileMode = 0600);

}  // namespace vk2
