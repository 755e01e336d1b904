// File helpers of the registry stand-in: per-user folders, whole-file reads, atomic replacement
// and an inter-process lock. Kept here until the platform layer offers them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vk2::regio {

// $XDG_CONFIG_HOME/velkora2 (else ~/.config/velkora2), $XDG_STATE_HOME/velkora2
// (else ~/.local/state/velkora2). Not created.
std::string UserConfigDir();
std::string UserStateDir();

// Creates every missing folder of `path` (mode 0700). False when that fails.
bool MakeFolders(const std::string& path);
std::string ParentFolder(const std::string& path);

bool ReadWholeFile(const std::string& path, std::string* out, int* error = nullptr);
// Writes a temporary file beside `path`, flushes it to disk and renames it over `path`, so a
// reader sees the old or the new contents, never a mix. Creates the folder when missing.
bool ReplaceFileAtomically(const std::string& path, std::string_view data,
                           std::string* error = nullptr);

// Identity and version of a file on disk, to notice changes made by another process.
struct FileStamp {
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modifiedNs = 0;
  bool operator==(const FileStamp&) const = default;
};
std::optional<FileStamp> StampOf(const std::string& path);

// Exclusive lock on `path` (a lock file, created when missing) held for the object's life.
class FileLock {
 public:
  // Waits at most `timeoutMs`; false when the lock could not be had.
  bool Acquire(const std::string& path, int timeoutMs);
  void Release();
  bool Held() const { return fd_ >= 0; }
  FileLock() = default;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  ~FileLock() { Release(); }

 private:
  int fd_ = -1;
};

}  // namespace vk2::regio
