// A file opened for reading by path, with 64-bit positions: every read names its offset, so the
// read-ahead thread and random reads never move a shared file position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace vk2 {

class LocalFile {
 public:
  LocalFile() = default;
  LocalFile(const LocalFile&) = delete;
  LocalFile& operator=(const LocalFile&) = delete;
  ~LocalFile() { Close(); }

  // Opens an existing file read-only, hinting sequential access. False when it cannot be opened
  // or is not a regular file (a folder, a device).
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }

  // Up to `length` bytes at `offset`: the count (short only at the end), or -1 on failure.
  int64_t ReadAt(int64_t offset, void* buffer, size_t length);
  // The size in bytes, or -1.
  int64_t Size() const;

 private:
  int fd_ = -1;
};

}  // namespace vk2
