// An advisory lock on a whole file (flock), between processes and between FileLock objects of
// one process alike. Used around read-modify-write of the registry and preference files.
#pragma once

#include <cstdint>
#include <string>
#include <system_error>

namespace vk2 {

enum class FileLockMode { kShared, kExclusive };

class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { Release(); }
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Opens `path` (creating it with mode 0600) and takes the lock, trying until `timeoutMs`
  // have passed; std::errc::timed_out when another holder kept it that long. The holder is
  // another process, so the limit is real time, not the process's replaceable clock.
  std::error_code Acquire(const std::string& path, FileLockMode mode, uint32_t timeoutMs);
  void Release();
  bool IsHeld() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace vk2
