#include "platform/atomic_file_writer.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/file_claim.h"

namespace vk2 {
namespace {

constexpr const char* kTemporaryMark = ".tmp-";
constexpr size_t kTemporaryMarkLength = 5;
constexpr size_t kTemporaryUniqueLength = 6;  // what mkostemp fills in
constexpr int kClaimAttempts = 16;

std::error_code Errno(int err) {
  return {err, std::generic_category()};
}

// Where the data really goes: the target of a link, as far as it can be resolved.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = realpath(path.c_str(), nullptr);
  if (real) {
    std::string resolved(real);
    std::free(real);
    return resolved;
  }
  // A dangling link: write the file it names.
  char target[PATH_MAX];
  const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
  if (n <= 0) return path;
  std::string named(target, static_cast<size_t>(n));
  if (named[0] == '/') return named;
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? named : path.substr(0, slash + 1) + named;
}

}  // namespace

std::error_code AtomicFileWriter::Begin(const std::string& path, mode_t newFileMode) {
  Abandon();
  if (path.empty()) return Errno(EINVAL);
  const std::string target = ResolveTarget(path);
  const size_t slash = target.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  if (name.empty()) return Errno(EISDIR);

  mode_t mode = newFileMode;
  struct stat st {};
  if (stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return Errno(EISDIR);
    mode = st.st_mode & 07777;
  }

  // The temporary stays claimed until it is renamed or removed, so a sweep of the folder by
  // another writer leaves it alone while this one lives.
  std::string temp;
  int tempFd = -1;
  for (int attempt = 0; attempt < kClaimAttempts && tempFd < 0; ++attempt) {
    temp = folder + "/." + name + kTemporaryMark + "XXXXXX";
    tempFd = mkostemp(temp.data(), O_CLOEXEC);
    if (tempFd < 0) return Errno(errno);
    if (!ClaimNewFile(tempFd, temp)) {
      close(tempFd);
      tempFd = -1;
    }
  }
  if (tempFd < 0) return Errno(EBUSY);
  fd_ = tempFd;
  mode_ = mode;
  target_ = target;
  folder_ = folder;
  temp_ = temp;
  return {};
}

std::error_code AtomicFileWriter::Write(std::string_view piece) {
  if (fd_ < 0) return Errno(EBADF);
  while (!piece.empty()) {
    const ssize_t n = write(fd_, piece.data(), piece.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return Errno(errno);
    }
    piece.remove_prefix(static_cast<size_t>(n));
  }
  return {};
}

std::error_code AtomicFileWriter::Commit() {
  if (fd_ < 0) return Errno(EBADF);
  std::error_code ec;
  if (fchmod(fd_, mode_) != 0) ec = Errno(errno);
  if (!ec && fsync(fd_) != 0) ec = Errno(errno);
  const int closed = close(fd_);
  fd_ = -1;
  if (closed != 0 && !ec) ec = Errno(errno);
  if (!ec && rename(temp_.c_str(), target_.c_str()) != 0) ec = Errno(errno);
  if (ec) {
    unlink(temp_.c_str());
    temp_.clear();
    return ec;
  }
  temp_.clear();
  // The rename itself reaches the disk with the folder.
  const int dir = open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return {};
}

void AtomicFileWriter::Abandon() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    unlink(temp_.c_str());
    temp_.clear();
  }
}

bool IsAtomicWriteTemporary(std::string_view name) {
  const size_t tail = kTemporaryMarkLength + kTemporaryUniqueLength;
  if (name.size() < 2 + tail || name.front() != '.') return false;
  if (name.substr(name.size() - tail, kTemporaryMarkLength) != kTemporaryMark) return false;
  for (char c : name.substr(name.size() - kTemporaryUniqueLength)) {
    const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!alnum) return false;
  }
  return true;
}

}  // namespace vk2
