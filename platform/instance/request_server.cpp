#include "platform/instance/request_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace vk2::instance {
namespace {

struct Connection {
  UniqueFd fd;
  std::string buffer;
  uint64_t partialSinceMs = 0;  // 0 while no partial frame waits
  Conversation conversation;
};

constexpr int kPollSliceMs = 1000;
constexpr size_t kReadChunk = 16 * 1024;

// Reads what is there; false when the connection ended or failed.
bool ReadAvailable(Connection& c) {
  char chunk[kReadChunk];
  for (;;) {
    const ssize_t n = ::recv(c.fd.Get(), chunk, sizeof chunk, MSG_DONTWAIT);
    if (n > 0) {
      c.buffer.append(chunk, static_cast<size_t>(n));
      // Never more than one frame of the largest size waits here.
      if (c.buffer.size() > kRequestHeaderBytes + kMaxRequestBytes) return true;
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return true;
    return false;
  }
}

}  // namespace

bool RequestServer::Start(int listener, Handler handler) {
  if (thread_.joinable() || listener < 0 || !handler) return false;
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return false;
  wakeRead_ = UniqueFd(pipeFds[0]);
  wakeWrite_ = UniqueFd(pipeFds[1]);
  listener_ = listener;
  handler_ = std::move(handler);
  try {
    thread_ = std::thread(&RequestServer::Serve, this);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void RequestServer::Stop() {
  if (!thread_.joinable()) return;
  const char wake = 1;
  (void)!::write(wakeWrite_.Get(), &wake, 1);
  thread_.join();
  wakeRead_.Reset();
  wakeWrite_.Reset();
}

void RequestServer::Serve() {
  std::vector<std::unique_ptr<Connection>> connections;
  for (;;) {
    std::vector<pollfd> polls;
    polls.push_back({wakeRead_.Get(), POLLIN, 0});
    polls.push_back({listener_, POLLIN, 0});
    for (const auto& c : connections)
      polls.push_back({c->fd.Get(), POLLIN, 0});
    const int r = ::poll(polls.data(), polls.size(), kPollSliceMs);
    if (r < 0 && errno != EINTR) return;
    if (polls[0].revents) return;

    if (polls[1].revents & POLLIN) {
      for (;;) {
        UniqueFd fd(::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!fd.Valid()) break;
        // Requests can start programs: only the user's own processes are heard.
        if (!PeerIsSameUser(fd.Get()) || connections.size() >= kMaxConnections) continue;
        auto c = std::make_unique<Connection>();
        c->fd = std::move(fd);
        connections.push_back(std::move(c));
      }
    }

    const uint64_t now = SocketNowMs();
    std::vector<std::unique_ptr<Connection>> kept;
    for (size_t i = 0; i < connections.size(); ++i) {
      Connection& c = *connections[i];
      const short events = i + 2 < polls.size() && polls[i + 2].fd == c.fd.Get()
                               ? polls[i + 2].revents
                               : static_cast<short>(0);
      bool alive = true;
      if (events & (POLLIN | POLLHUP | POLLERR)) alive = ReadAvailable(c);
      // Frames already read are answered even when the peer has stopped sending.
      for (;;) {
        Request request;
        size_t used = 0;
        const ParseStatus status = ParseRequest(c.buffer, &request, &used);
        if (status == ParseStatus::kNeedMore) break;
        if (status != ParseStatus::kReady) {
          alive = false;  // a stranger's bytes or an oversized request: refused unanswered
          break;
        }
        c.buffer.erase(0, used);
        const std::optional<int64_t> answer = handler_(c.conversation, request);
        if (!answer) {
          alive = false;
          break;
        }
        const std::string reply = EncodeReply(*answer);
        if (!WriteAll(c.fd.Get(), reply.data(), reply.size(), SocketNowMs() + kReplyLimitMs)) {
          alive = false;  // the sender gave up waiting; its request has still run
          break;
        }
      }
      if (c.buffer.empty()) {
        c.partialSinceMs = 0;
      } else if (c.partialSinceMs == 0) {
        c.partialSinceMs = now ? now : 1;
      } else if (now - c.partialSinceMs > kPartialFrameLimitMs) {
        alive = false;
      }
      if (alive) kept.push_back(std::move(connections[i]));
    }
    connections = std::move(kept);
  }
}

}  // namespace vk2::instance
