#include "platform/net/tcp_socket.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "platform/clock.h"
#include "platform/event.h"

namespace vk2 {
namespace {

// How often a wait looks at its cancel event and its deadline.
constexpr int kSliceMs = 20;

bool Cancelled(Event* cancel) {
  return cancel && cancel->Wait(0);
}

// A name lookup on a thread of its own, so that the caller's wait for it has a time limit and
// a cancel. A lookup the caller gave up on frees its result when it ends.
struct Lookup {
  std::mutex mutex;
  bool done = false;
  bool abandoned = false;
  addrinfo* result = nullptr;
};

int32_t Resolve(const std::string& host, const std::string& service, uint64_t deadline,
                Event* cancel, addrinfo** found) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV | AI_NUMERICHOST;
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, found) == 0) return kNetOk;
  auto lookup = std::make_shared<Lookup>();
  try {
    std::thread([lookup, host, service] {
      addrinfo hints{};
      hints.ai_family = AF_UNSPEC;
      hints.ai_socktype = SOCK_STREAM;
      hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
      addrinfo* result = nullptr;
      if (getaddrinfo(host.c_str(), service.c_str(), &hints, &result) != 0) result = nullptr;
      std::lock_guard lock(lookup->mutex);
      if (lookup->abandoned) {
        if (result) freeaddrinfo(result);
        return;
      }
      lookup->result = result;
      lookup->done = true;
    }).detach();
  } catch (const std::system_error&) {
    return kNetFailed;
  }
  Clock& clock = CurrentClock();
  for (;;) {
    {
      std::lock_guard lock(lookup->mutex);
      if (lookup->done) {
        *found = lookup->result;
        return *found ? kNetOk : kNetFailed;
      }
      const bool cancelled = Cancelled(cancel);
      const bool late = deadline != kNoDeadline && clock.NowMs() >= deadline;
      if (cancelled || late) {
        lookup->abandoned = true;
        return cancelled ? kNetCancelled : kNetTimedOut;
      }
    }
    poll(nullptr, 0, kSliceMs);
  }
}

}  // namespace

int32_t TcpSocket::WaitReady(short events, uint64_t deadline, Event* cancel) {
  Clock& clock = CurrentClock();
  for (;;) {
    if (Cancelled(cancel)) return kNetCancelled;
    pollfd p{fd_, events, 0};
    const int r = poll(&p, 1, kSliceMs);
    if (r > 0) return kNetOk;  // readiness or an error: the next call tells which
    if (r < 0 && errno != EINTR) return kNetFailed;
    if (deadline != kNoDeadline && clock.NowMs() >= deadline) return kNetTimedOut;
  }
}

int32_t TcpSocket::Connect(const std::string& host, uint16_t port, uint32_t timeoutMs,
                           Event* cancel) {
  Close();
  const uint64_t deadline = DeadlineAfter(CurrentClock(), timeoutMs);
  addrinfo* found = nullptr;
  int32_t result = Resolve(host, std::to_string(port), deadline, cancel, &found);
  if (result != kNetOk) return result;
  result = kNetFailed;
  for (addrinfo* a = found; a; a = a->ai_next) {
    fd_ = socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd_ < 0) continue;
    if (connect(fd_, a->ai_addr, a->ai_addrlen) == 0) {
      result = kNetOk;
      break;
    }
    if (errno == EINPROGRESS) {
      result = WaitReady(POLLOUT, deadline, cancel);
      if (result == kNetOk) {
        int error = 0;
        socklen_t size = sizeof(error);
        if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) break;
        result = kNetFailed;
      }
    }
    Close();
    if (result == kNetCancelled || result == kNetTimedOut) break;
  }
  freeaddrinfo(found);
  if (result != kNetOk) {
    Close();
    return result;
  }
  const int one = 1;
  setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
  return kNetOk;
}

int32_t TcpSocket::SendAll(std::string_view data, uint32_t timeoutMs, Event* cancel) {
  if (fd_ < 0) return kNetNotOpen;
  const uint64_t deadline = DeadlineAfter(CurrentClock(), timeoutMs);
  while (!data.empty()) {
    const ssize_t n = send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
    if (n > 0) {
      data.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      const int32_t r = WaitReady(POLLOUT, deadline, cancel);
      if (r != kNetOk) return r;
      continue;
    }
    return kNetDisconnected;
  }
  return kNetOk;
}

int64_t TcpSocket::Receive(void* buffer, size_t length, uint32_t timeoutMs, Event* cancel) {
  if (fd_ < 0) return kNetNotOpen;
  if (length == 0) return 0;
  const uint64_t deadline = DeadlineAfter(CurrentClock(), timeoutMs);
  for (;;) {
    const ssize_t n = recv(fd_, buffer, length, 0);
    if (n >= 0) return n;
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return kNetDisconnected;
    const int32_t r = WaitReady(POLLIN, deadline, cancel);
    if (r != kNetOk) return r;
  }
}

void TcpSocket::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace vk2
