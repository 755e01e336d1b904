#include "platform/file_claim.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace vk2 {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool TryLock(int fd) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EINTR) return false;
  }
}

// True when `path` still names the file open as `fd`.
bool StillNamed(int fd, const std::string& path) {
  struct stat open {};
  struct stat named {};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && SameFile(open, named);
}

}  // namespace

bool ClaimNewFile(int fd, const std::string& path) {
  // A sweeper holds the lock only while it unlinks, so a refusal means the file is gone or
  // somebody else's: either way not ours to use.
  return fd >= 0 && TryLock(fd) && StillNamed(fd, path);
}

size_t RemoveUnclaimedFiles(const std::string& folder,
                            const std::function<bool(std::string_view name)>& matches) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  size_t removed = 0;
  while (dirent* entry = ::readdir(dir)) {
    std::string_view name = entry->d_name;
    if (name == "." || name == ".." || !matches(name)) continue;
    const std::string path = folder + "/" + std::string(name);
    // Non-blocking: a FIFO or device planted under a matching name must not stall the sweep.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    struct stat st {};
    // Holding the lock while unlinking: an owner that claims after us sees its name gone.
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && TryLock(fd) && StillNamed(fd, path) &&
        ::unlink(path.c_str()) == 0) {
      ++removed;
    }
    ::close(fd);
  }
  ::closedir(dir);
  return removed;
}

}  // namespace vk2
