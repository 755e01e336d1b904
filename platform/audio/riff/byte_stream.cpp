#include "platform/audio/riff/byte_stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace vk2 {

MemoryByteStream::MemoryByteStream(const void* data, size_t size, bool seekable)
    : bytes_(static_cast<const uint8_t*>(data), static_cast<const uint8_t*>(data) + size),
      seekable_(seekable) {}

int64_t MemoryByteStream::Read(void* buffer, int64_t bytes) {
  if (bytes < 0) return -1;
  const size_t n = std::min(static_cast<size_t>(bytes), bytes_.size() - pos_);
  if (n) std::memcpy(buffer, bytes_.data() + pos_, n);
  pos_ += n;
  return static_cast<int64_t>(n);
}

int64_t MemoryByteStream::Seek(int64_t offset, SeekOrigin origin) {
  if (!seekable_) return -1;
  const int64_t base = origin == SeekOrigin::kBegin     ? 0
                       : origin == SeekOrigin::kCurrent ? static_cast<int64_t>(pos_)
                                                        : static_cast<int64_t>(bytes_.size());
  if ((offset > 0 && base > INT64_MAX - offset)) return -1;
  const int64_t target = base + offset;
  if (target < 0 || target > static_cast<int64_t>(bytes_.size())) return -1;
  pos_ = static_cast<size_t>(target);
  return target;
}

FileByteStream::~FileByteStream() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileByteStream::Open(const std::string& path) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return fd_ >= 0;
}

int64_t FileByteStream::Read(void* buffer, int64_t bytes) {
  if (fd_ < 0 || bytes < 0) return -1;
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, static_cast<size_t>(bytes));
    if (n >= 0) return n;
    if (errno != EINTR) return -1;
  }
}

int64_t FileByteStream::Seek(int64_t offset, SeekOrigin origin) {
  if (fd_ < 0) return -1;
  const int whence = origin == SeekOrigin::kBegin     ? SEEK_SET
                     : origin == SeekOrigin::kCurrent ? SEEK_CUR
                                                      : SEEK_END;
  const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
  return r < 0 ? -1 : static_cast<int64_t>(r);
}

int64_t FileByteStream::Size() {
  struct stat st;
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

}  // namespace vk2
