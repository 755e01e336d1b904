#include "core/files/file_stream.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace vk2 {
namespace {

constexpr uint64_t kMaxPosition = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());

int OpenMode(uint32_t flags) {
  int mode = (flags & kOpenWrite) ? ((flags & kOpenRead) ? O_RDWR : O_WRONLY) : O_RDONLY;
  switch (flags & kOpenDispositionMask) {
    case kOpenCreateNew:
      mode |= O_CREAT | O_EXCL;
      break;
    case kOpenCreateAlways:
      mode |= O_CREAT | O_TRUNC;
      break;
    case kOpenAlways:
      mode |= O_CREAT;
      break;
    default:
      break;
  }
  return mode | O_CLOEXEC;
}

}  // namespace

bool FileStream::Open(const TString& name, uint32_t flags) {
  Close();
  if (name.IsEmpty()) return false;
  const NarrowString path = Utf8(name);
  // Truncating needs write access on this system.
  if ((flags & kOpenDispositionMask) == kOpenCreateAlways) flags |= kOpenWrite;
  int fd;
  do {
    fd = ::open(path.c_str(), OpenMode(flags), 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return false;
  }
  if (flags & kOpenRandomAccess) {
    posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
  } else if (flags & kOpenSequential) {
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  }
  fd_ = fd;
  name_ = name;
  readOnly_ = (flags & kOpenWrite) == 0;
  return true;
}

void FileStream::OpenMemory(uint8_t* block, uint64_t size, bool readOnly, GrowCallback grow,
                            void* growContext, const TString& name) {
  Close();
  memory_ = block;
  memorySize_ = block ? size : 0;
  readOnly_ = readOnly;
  grow_ = grow;
  growContext_ = growContext;
  name_ = name;
}

void FileStream::OpenBuffer(const TString& name) {
  Close();
  owned_ = true;
  readOnly_ = false;
  name_ = name;
}

bool FileStream::Close() {
  const bool wasOpen = IsOpen();
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  memory_ = nullptr;
  owned_ = false;
  std::vector<uint8_t>().swap(buffer_);
  std::vector<uint8_t>().swap(contents_);
  contentsHolds_ = 0;
  memorySize_ = 0;
  position_ = 0;
  readOnly_ = true;
  grow_ = nullptr;
  growContext_ = nullptr;
  name_.Release();
  return wasOpen;
}

int64_t FileStream::Seek(int64_t offset, int32_t origin) {
  if (fd_ >= 0) {
    static constexpr int kWhence[] = {SEEK_SET, SEEK_END, SEEK_CUR};
    if (origin < 0 || origin > 2) return -1;
    const off_t at = lseek(fd_, offset, kWhence[origin]);
    return at < 0 ? -1 : static_cast<int64_t>(at);
  }
  if (!IsOpen()) return -1;
  int64_t base;
  switch (origin) {
    case kSeekStart:
      base = 0;
      break;
    case kSeekEnd:
      base = static_cast<int64_t>(memorySize_);
      break;
    case kSeekCurrent:
      base = static_cast<int64_t>(position_);
      break;
    default:
      return -1;
  }
  if ((offset > 0 && base > std::numeric_limits<int64_t>::max() - offset) || base + offset < 0)
    return -1;
  position_ = static_cast<uint64_t>(base + offset);
  return static_cast<int64_t>(position_);
}

bool FileStream::Read(void* buffer, uint64_t count, uint64_t* read) {
  uint64_t got = 0;
  if (read) *read = 0;
  if (!buffer && count > 0) return false;
  if (fd_ >= 0) {
    auto* out = static_cast<uint8_t*>(buffer);
    while (got < count) {
      const size_t chunk = static_cast<size_t>(std::min<uint64_t>(count - got, 1u << 30));
      const ssize_t n = ::read(fd_, out + got, chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<uint64_t>(n);
    }
  } else if (IsOpen() && position_ < memorySize_) {
    got = std::min(count, memorySize_ - position_);
    std::memcpy(buffer, MemoryData() + position_, static_cast<size_t>(got));
    position_ += got;
  }
  if (read) *read = got;
  return got > 0 || (count == 0 && IsOpen());
}

bool FileStream::EnsureMemory(uint64_t end) {
  if (end <= memorySize_) return true;
  if (owned_) {
    try {
      buffer_.resize(static_cast<size_t>(end));
    } catch (const std::bad_alloc&) {
      return false;
    }
    memorySize_ = end;
    return true;
  }
  if (!grow_ || !grow_(growContext_, &memory_, memorySize_, end) || !memory_) return false;
  memorySize_ = end;
  return true;
}

bool FileStream::Write(const void* buffer, uint64_t count, uint64_t* written) {
  if (written) *written = 0;
  if (!IsOpen() || readOnly_ || (!buffer && count > 0)) return false;
  if (count == 0) return true;
  uint64_t put = 0;
  if (fd_ >= 0) {
    const auto* in = static_cast<const uint8_t*>(buffer);
    while (put < count) {
      const size_t chunk = static_cast<size_t>(std::min<uint64_t>(count - put, 1u << 30));
      const ssize_t n = ::write(fd_, in + put, chunk);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      put += static_cast<uint64_t>(n);
    }
  } else {
    if (count > kMaxPosition - position_) return false;
    const uint64_t end = position_ + count;
    if (!EnsureMemory(end)) {
      // Without room to grow, a block takes what fits; a refused growth is a failure.
      if (owned_ || grow_) return false;
    }
    if (position_ < memorySize_) {
      put = std::min(count, memorySize_ - position_);
      std::memcpy(MemoryData() + position_, buffer, static_cast<size_t>(put));
      position_ += put;
    }
  }
  if (written) *written = put;
  return put > 0;
}

bool FileStream::GetSize(uint64_t* size) {
  if (!size) return false;
  if (fd_ >= 0) {
    struct stat st;
    if (fstat(fd_, &st) != 0) return false;
    *size = static_cast<uint64_t>(st.st_size);
    return true;
  }
  if (!IsOpen()) return false;
  *size = memorySize_;
  return true;
}

bool FileStream::GetContents(const uint8_t** data, uint64_t* size) {
  if (!data || !size) return false;
  if (fd_ < 0) {
    if (!IsOpen()) return false;
    *data = MemoryData();
    *size = memorySize_;
    return true;
  }
  if (contentsHolds_ == 0) {
    uint64_t expected = 0;
    if (!GetSize(&expected) || expected > kMaxContents) return false;
    std::vector<uint8_t> bytes;
    try {
      bytes.resize(static_cast<size_t>(expected));
    } catch (const std::bad_alloc&) {
      return false;
    }
    // Read by offset: the stream's own position stays where it was.
    uint64_t got = 0;
    while (got < expected) {
      const ssize_t n = pread(fd_, bytes.data() + got, static_cast<size_t>(expected - got),
                              static_cast<off_t>(got));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return false;
      if (n == 0) break;
      got += static_cast<uint64_t>(n);
    }
    bytes.resize(static_cast<size_t>(got));
    contents_.swap(bytes);
  }
  ++contentsHolds_;
  *data = contents_.data();
  *size = contents_.size();
  return true;
}

void FileStream::ReleaseContents() {
  if (contentsHolds_ == 0) return;
  if (--contentsHolds_ == 0) std::vector<uint8_t>().swap(contents_);
}

}  // namespace vk2
