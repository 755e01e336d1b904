// Unix stream sockets between processes of one user: listening with safe take-over of a stale
// socket file, connecting with the server's uid checked, and bounded reads and writes.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>
#include <utility>

namespace vk2::instance {

// One owned descriptor.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  int Release() { return std::exchange(fd_, -1); }
  void Reset();

 private:
  int fd_ = -1;
};

// A bound, listening socket and the identity of the file it made, so that only that file is
// removed again (never one that a later instance put in its place).
struct ListeningSocket {
  UniqueFd fd;
  std::string path;
  dev_t device = 0;
  ino_t inode = 0;
};

// Binds and listens at `path`. A socket file already there is taken over only when nothing
// answers on it (left by a crashed process); while another process answers, the result is
// std::errc::address_in_use and the file is left alone. Checks and take-over run under a lock
// on the folder, so two starts never remove each other's fresh socket.
std::error_code ListenAt(const std::string& path, ListeningSocket* out);
// Closes the socket and removes its file when it is still the one we made.
void CloseListening(ListeningSocket* socket);

// Connects to `path`; fails with std::errc::permission_denied when the server runs as another
// user. std::errc::no_such_file_or_directory / connection_refused when nobody listens.
std::error_code ConnectTo(const std::string& path, UniqueFd* out);

// True when the process at the other end runs as this process's user.
bool PeerIsSameUser(int fd);

// Monotonic milliseconds (real time: the peer is another process).
uint64_t SocketNowMs();

// Writes or reads exactly `size` bytes before the monotonic `deadlineMs`. Reads fail at end of
// stream. A broken connection never raises SIGPIPE.
bool WriteAll(int fd, const char* data, size_t size, uint64_t deadlineMs);
bool ReadExact(int fd, char* data, size_t size, uint64_t deadlineMs);

}  // namespace vk2::instance
