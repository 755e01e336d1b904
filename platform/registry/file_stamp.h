// What the registry stand-in and the runtime add to the platform's file helpers: telling when
// another process has replaced a file, and clearing what writers killed mid-write left behind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

namespace vk2 {

// Identity and version of a file on disk.
struct FileStamp {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::string& path);

// The folder part of `path` ("." when it has none).
std::string ParentFolder(const std::string& path);

// Removes the temporary files that atomic writers of `path` leave when they are killed before
// their rename; a live writer's temporary is claimed and stays.
void RemoveAbandonedTemporaries(const std::string& path);

// Renames the file at `path` to "<path><suffix>", or "<path><suffix>.<n>" when that name is
// taken, so a file kept aside earlier is never replaced; `aside` gets the name used.
std::error_code MoveAside(const std::string& path, const std::string& suffix, std::string* aside);

}  // namespace vk2
