#include "platform/instance/local_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace vk2::instance {
namespace {

constexpr int kBacklog = 64;

std::error_code LastError() {
  return {errno, std::generic_category()};
}

bool MakeAddress(const std::string& path, sockaddr_un* address) {
  std::memset(address, 0, sizeof *address);
  address->sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address->sun_path) return false;
  std::memcpy(address->sun_path, path.c_str(), path.size() + 1);
  return true;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Holds an exclusive flock on a folder for one scope.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder)
      : fd_(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (fd_.Valid()) {
      while (::flock(fd_.Get(), LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }

 private:
  UniqueFd fd_;
};

bool Answers(const sockaddr_un& address) {
  UniqueFd probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!probe.Valid()) return false;
  return ::connect(probe.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

int BindAndListen(int fd, const sockaddr_un& address) {
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) return -1;
  return ::listen(fd, kBacklog);
}

bool WaitFor(int fd, short events, uint64_t deadlineMs) {
  for (;;) {
    const uint64_t now = SocketNowMs();
    if (now >= deadlineMs) return false;
    pollfd p{fd, events, 0};
    const uint64_t left = deadlineMs - now;
    const int r = ::poll(&p, 1, static_cast<int>(left > 60'000 ? 60'000 : left));
    if (r > 0) return true;
    if (r < 0 && errno != EINTR) return false;
  }
}

}  // namespace

void UniqueFd::Reset() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

uint64_t SocketNowMs() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<uint64_t>(ts.tv_sec) * 1000 + static_cast<uint64_t>(ts.tv_nsec) / 1'000'000;
}

std::error_code ListenAt(const std::string& path, ListeningSocket* out) {
  sockaddr_un address;
  if (!MakeAddress(path, &address)) return std::make_error_code(std::errc::filename_too_long);
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd.Valid()) return LastError();
  FolderLock lock(FolderOf(path));
  if (BindAndListen(fd.Get(), address) != 0) {
    if (errno != EADDRINUSE) return LastError();
    if (Answers(address)) return std::make_error_code(std::errc::address_in_use);
    // Nobody answers: a file left by a process that died. Only a socket is removed.
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode))
      return std::make_error_code(std::errc::address_in_use);
    if (::unlink(path.c_str()) != 0) return LastError();
    if (BindAndListen(fd.Get(), address) != 0) return LastError();
  }
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return LastError();
  ::chmod(path.c_str(), 0600);
  out->fd = std::move(fd);
  out->path = path;
  out->device = st.st_dev;
  out->inode = st.st_ino;
  return {};
}

void CloseListening(ListeningSocket* socket) {
  if (!socket->fd.Valid()) return;
  FolderLock lock(FolderOf(socket->path));
  struct stat st {};
  if (::lstat(socket->path.c_str(), &st) == 0 && st.st_dev == socket->device &&
      st.st_ino == socket->inode) {
    ::unlink(socket->path.c_str());
  }
  socket->fd.Reset();
}

std::error_code ConnectTo(const std::string& path, UniqueFd* out) {
  sockaddr_un address;
  if (!MakeAddress(path, &address)) return std::make_error_code(std::errc::filename_too_long);
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (!fd.Valid()) return LastError();
  int r;
  do {
    r = ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address);
  } while (r != 0 && errno == EINTR);
  if (r != 0) return LastError();
  if (!PeerIsSameUser(fd.Get())) return std::make_error_code(std::errc::permission_denied);
  *out = std::move(fd);
  return {};
}

bool PeerIsSameUser(int fd) {
  ucred credentials{};
  socklen_t size = sizeof credentials;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0) return false;
  return credentials.uid == ::geteuid();
}

bool WriteAll(int fd, const char* data, size_t size, uint64_t deadlineMs) {
  while (size > 0) {
    const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      if (!WaitFor(fd, POLLOUT, deadlineMs)) return false;
      continue;
    }
    return false;
  }
  return true;
}

bool ReadExact(int fd, char* data, size_t size, uint64_t deadlineMs) {
  while (size > 0) {
    if (!WaitFor(fd, POLLIN, deadlineMs)) return false;
    const ssize_t n = ::recv(fd, data, size, MSG_DONTWAIT);
    if (n > 0) {
      data += n;
      size -= static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) continue;
    return false;  // end of stream or a broken connection
  }
  return true;
}

}  // namespace vk2::instance
