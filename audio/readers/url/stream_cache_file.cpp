#include "audio/readers/url/stream_cache_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace vk2 {

bool StreamCacheFile::Create(const std::string& folder) {
  Remove();
  if (folder.empty()) return false;
  const std::string base = folder.back() == '/' ? folder : folder + "/";
  RemoveAbandonedCacheFiles(base);
  // Exclusive creation: a name another stream (or program) holds is skipped.
  for (uint32_t counter = 0; counter < 0x10000; ++counter) {
    char name[32];
    std::snprintf(name, sizeof(name), "vknstrm.%x", counter);
    const std::string path = base + name;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return false;
    }
    if (!claim_.Take(fd, path)) {
      ::close(fd);
      continue;
    }
    writer_ = fd;
    path_ = path;
    length_.store(0, std::memory_order_release);
    if (!reader_.Open(path_)) {
      Remove();
      return false;
    }
    return true;
  }
  return false;
}

bool StreamCacheFile::Append(const void* data, size_t count) {
  if (writer_ < 0) return false;
  const auto* p = static_cast<const uint8_t*>(data);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = write(writer_, p + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  length_.fetch_add(static_cast<int64_t>(count), std::memory_order_acq_rel);
  return true;
}

void StreamCacheFile::FinishWriting() {
  if (writer_ >= 0) ::close(writer_);
  writer_ = -1;
}

int64_t StreamCacheFile::ReadAt(int64_t offset, void* buffer, size_t length) {
  const int64_t have = Length();
  if (offset < 0) return -1;
  if (offset >= have) return 0;
  const size_t n =
      static_cast<size_t>(std::min<int64_t>(have - offset, static_cast<int64_t>(length)));
  return reader_.ReadAt(offset, buffer, n);
}

void StreamCacheFile::Remove() {
  FinishWriting();
  reader_.Close();
  if (!path_.empty()) unlink(path_.c_str());
  claim_.Drop();
  path_.clear();
  length_.store(0, std::memory_order_release);
}

}  // namespace vk2
