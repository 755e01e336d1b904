#include "foundation/bytes/byte_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vk2 {

int64_t SeekTarget(int64_t offset, SeekOrigin origin, int64_t position, int64_t size) {
  int64_t base = 0;
  if (origin == SeekOrigin::kCurrent) {
    base = position;
  } else if (origin == SeekOrigin::kEnd) {
    base = size;
  }
  if (base < 0) return -1;
  if (offset > 0 && base > INT64_MAX - offset) return -1;
  const int64_t target = base + offset;
  return target < 0 ? -1 : target;
}

int64_t MemoryByteSource::Read(void* buffer, size_t bytes) {
  const size_t n = std::min(bytes, size_ - position_);
  if (n) std::memcpy(buffer, data_ + position_, n);
  position_ += n;
  return static_cast<int64_t>(n);
}

int64_t MemoryByteSource::ReadAt(int64_t offset, void* buffer, size_t bytes) {
  if (!seekable_ || offset < 0 || static_cast<uint64_t>(offset) > size_) return -1;
  const size_t n = std::min(bytes, size_ - static_cast<size_t>(offset));
  if (n) std::memcpy(buffer, data_ + offset, n);
  return static_cast<int64_t>(n);
}

int64_t MemoryByteSource::Seek(int64_t offset, SeekOrigin origin) {
  if (!seekable_) return -1;
  const int64_t target =
      SeekTarget(offset, origin, static_cast<int64_t>(position_), static_cast<int64_t>(size_));
  if (target < 0 || static_cast<uint64_t>(target) > size_) return -1;
  position_ = static_cast<size_t>(target);
  return target;
}

FileByteSource::~FileByteSource() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileByteSource::Open(const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return fd_ >= 0;
}

int64_t FileByteSource::Read(void* buffer, size_t bytes) {
  if (fd_ < 0) return -1;
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, bytes);
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

int64_t FileByteSource::ReadAt(int64_t offset, void* buffer, size_t bytes) {
  if (fd_ < 0 || offset < 0) return -1;
  for (;;) {
    const ssize_t n = ::pread(fd_, buffer, bytes, static_cast<off_t>(offset));
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

int64_t FileByteSource::Seek(int64_t offset, SeekOrigin origin) {
  if (fd_ < 0) return -1;
  const int whence = origin == SeekOrigin::kBegin     ? SEEK_SET
                     : origin == SeekOrigin::kCurrent ? SEEK_CUR
                                                      : SEEK_END;
  const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t FileByteSource::Size() {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return kUnknownSize;
  return static_cast<int64_t>(st.st_size);
}

}  // namespace vk2
