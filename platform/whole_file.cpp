#include "platform/whole_file.h"

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

// Closes on every path out; close errors matter only where the caller checks them.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int Close() {
    const int r = close(fd_);
    fd_ = -1;
    return r;
  }

 private:
  int fd_;
};

std::error_code WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return Errno(errno);
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return {};
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

std::error_code ReadWholeFile(const std::string& path, std::string* contents, uint64_t maxBytes) {
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return Errno(errno);
  struct stat st {};
  if (fstat(fd.get(), &st) != 0) return Errno(errno);
  if (S_ISDIR(st.st_mode)) return Errno(EISDIR);
  if (S_ISREG(st.st_mode) && static_cast<uint64_t>(st.st_size) > maxBytes) return Errno(EFBIG);
  std::string data;
  if (S_ISREG(st.st_mode)) data.reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return Errno(errno);
    }
    if (n == 0) break;
    // Files that grow while read, and pipes, are held to the same limit.
    if (data.size() + static_cast<uint64_t>(n) > maxBytes) return Errno(EFBIG);
    data.append(buffer, static_cast<size_t>(n));
  }
  *contents = std::move(data);
  return {};
}

std::error_code WriteFileAtomic(const std::string& path, std::string_view contents,
                                mode_t newFileMode) {
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
  Fd fd(tempFd);
  std::error_code ec = WriteAll(fd.get(), contents);
  if (!ec && fchmod(fd.get(), mode) != 0) ec = Errno(errno);
  if (!ec && fsync(fd.get()) != 0) ec = Errno(errno);
  if (fd.Close() != 0 && !ec) ec = Errno(errno);
  if (!ec && rename(temp.c_str(), target.c_str()) != 0) ec = Errno(errno);
  if (ec) {
    unlink(temp.c_str());
    return ec;
  }
  // The rename itself reaches the disk with the folder.
  Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) fsync(dir.get());
  return {};
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

size_t RemoveDeadTemporaries(const std::string& folder) {
  return RemoveUnclaimedFiles(folder, IsAtomicWriteTemporary);
}

}  // namespace vk2
