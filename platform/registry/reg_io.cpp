#include "platform/registry/reg_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace vk2::regio {
namespace {

std::string EnvOr(const char* name, const char* homeRelative) {
  const char* v = std::getenv(name);
  if (v && *v == '/') return v;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : "/tmp") + homeRelative;
}

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void SleepMs(int ms) {
  timespec ts{ms / 1000, (ms % 1000) * 1000000L};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

int64_t NowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return ts.tv_sec * 1000LL + ts.tv_nsec / 1000000;
}

// Temporary files of writers that died before their rename are of no use to anyone.
void RemoveAbandonedTemporaries(const std::string& folder, const std::string& name) {
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  const std::string prefix = name + ".tmp.";
  while (dirent* e = ::readdir(dir)) {
    std::string entry = e->d_name;
    if (entry.compare(0, prefix.size(), prefix) != 0) continue;
    long pid = std::strtol(entry.c_str() + prefix.size(), nullptr, 10);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      ::unlink((folder + "/" + entry).c_str());
    }
  }
  ::closedir(dir);
}

}  // namespace

std::string UserConfigDir() {
  return EnvOr("XDG_CONFIG_HOME", "/.config") + "/velkora2";
}
std::string UserStateDir() {
  return EnvOr("XDG_STATE_HOME", "/.local/state") + "/velkora2";
}

std::string ParentFolder(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  std::string partial;
  size_t pos = 0;
  while (pos <= path.size()) {
    size_t next = path.find('/', pos);
    if (next == std::string::npos) next = path.size();
    partial = path.substr(0, next);
    if (!partial.empty() && ::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST) return false;
    pos = next + 1;
  }
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadWholeFile(const std::string& path, std::string* out, int* error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (error) *error = errno;
    return false;
  }
  std::string data;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (error) *error = errno;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  *out = std::move(data);
  return true;
}

bool ReplaceFileAtomically(const std::string& path, std::string_view data, std::string* error) {
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + " " + path + ": " + std::strerror(errno);
    return false;
  };
  const std::string folder = ParentFolder(path);
  if (!MakeFolders(folder)) return fail("cannot create the folder of");
  RemoveAbandonedTemporaries(folder, path.substr(path.find_last_of('/') + 1));
  // Unique per process and call, so concurrent writers never share a temporary file.
  static std::atomic<uint32_t> serial{0};
  std::string temp = path + ".tmp." + std::to_string(::getpid()) + "." +
                     std::to_string(serial.fetch_add(1, std::memory_order_relaxed));
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return fail("cannot create a temporary file for");
  if (!WriteAll(fd, data) || ::fsync(fd) != 0) {
    int saved = errno;
    ::close(fd);
    ::unlink(temp.c_str());
    errno = saved;
    return fail("cannot write");
  }
  ::close(fd);
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    int saved = errno;
    ::unlink(temp.c_str());
    errno = saved;
    return fail("cannot replace");
  }
  // The rename itself reaches the disk with the folder.
  int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  FileStamp s;
  s.device = st.st_dev;
  s.inode = st.st_ino;
  s.size = static_cast<uint64_t>(st.st_size);
  s.modifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return s;
}

bool FileLock::Acquire(const std::string& path, int timeoutMs) {
  Release();
  if (!MakeFolders(ParentFolder(path))) return false;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  // Polled so that a stuck holder costs a bounded wait, never a hang.
  const int64_t deadline = NowMs() + timeoutMs;
  int pause = 1;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if ((errno != EWOULDBLOCK && errno != EINTR) || NowMs() >= deadline) {
      ::close(fd);
      return false;
    }
    SleepMs(pause);
    if (pause < 16) pause *= 2;
  }
  fd_ = fd;
  return true;
}

void FileLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

}  // namespace vk2::regio
