#include "gui/app/file_stream.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "foundation/util/result.h"

namespace vk2::gui {
namespace {

int OpenFlags(uint32_t flags) {
  int mode = 0;
  switch (flags & (kFileRead | kFileWrite)) {
    case kFileRead:
      mode = O_RDONLY;
      break;
    case kFileWrite:
      mode = O_WRONLY;
      break;
    default:
      mode = O_RDWR;
      break;
  }
  switch (flags & kFileDispositionMask) {
    case kFileCreateNew:
      mode |= O_CREAT | O_EXCL;
      break;
    case kFileCreateAlways:
      mode |= O_CREAT | O_TRUNC;
      break;
    case kFileOpenAlways:
      mode |= O_CREAT;
      break;
    default:
      break;
  }
  // Sharing bits ask for no exclusion here: nothing relies on it.
  return mode | O_CLOEXEC;
}

}  // namespace

FileStream::Handle::~Handle() {
  if (fd >= 0) ::close(fd);
}

int32_t FileStream::Open(const TString& path, uint32_t flags) {
  Close();
  if (path.IsEmpty() || (flags & (kFileRead | kFileWrite)) == 0) return kErrMissingArg;
  const int fd = ::open(Utf8(path).c_str(), OpenFlags(flags), 0644);
  if (fd < 0) return kErrCannotOpen;
  if (flags & kFileRandomAccess) ::posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
  if (flags & kFileSequentialAccess) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  handle_ = std::make_shared<Handle>();
  handle_->fd = fd;
  name_ = path;
  readOnly_ = (flags & kFileWrite) == 0;
  return kOk;
}

void FileStream::Close() {
  handle_.reset();
  name_ = TString();
  readOnly_ = true;
}

int64_t FileStream::Read(void* buffer, uint64_t count) {
  if (!handle_ || (!buffer && count)) return -1;
  ssize_t n;
  do {
    n = ::read(handle_->fd, buffer, count);
  } while (n < 0 && errno == EINTR);
  return n;
}

int64_t FileStream::Write(const void* buffer, uint64_t count) {
  if (!handle_ || readOnly_ || (!buffer && count)) return -1;
  uint64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(handle_->fd, static_cast<const char*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return -1;
    done += static_cast<uint64_t>(n);
  }
  return static_cast<int64_t>(done);
}

bool FileStream::ReadAll(std::string* out) {
  if (!handle_ || !out || ::lseek(handle_->fd, 0, SEEK_SET) < 0) return false;
  out->clear();
  char chunk[8192];
  for (;;) {
    const int64_t n = Read(chunk, sizeof chunk);
    if (n < 0) return false;
    if (n == 0) return true;
    out->append(chunk, static_cast<size_t>(n));
  }
}

}  // namespace vk2::gui
