// What the registry stand-in and the runtime add to the platform's file helpers: telling when
// another process has replaced a file, and clearing what writers killed mid-write left behind.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

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
// their rename. Call it only while holding the lock that every writer of `path` takes: then no
// temporary file can belong to a live writer.
void RemoveAbandonedTemporaries(const std::string& path);

}  // namespace vk2
