// Serves the requests that arrive on one listening socket, on a thread of its own: connections
// from other users are closed unread, frames are read without blocking (a slow or silent
// client holds up nobody), each complete request goes to the handler and its answer is written
// back. Requests are handled one at a time, in arrival order per connection.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <thread>

#include "platform/instance/local_socket.h"
#include "platform/instance/request_frame.h"

namespace vk2::instance {

// What one connection has said so far (a DDE conversation is one connection).
struct Conversation {
  bool connected = false;
  std::string topic;
};

class RequestServer {
 public:
  // The answer to write back, or nothing to close the connection unanswered.
  using Handler = std::function<std::optional<int64_t>(Conversation&, const Request&)>;

  static constexpr uint32_t kMaxConnections = 64;
  // A connection that has sent part of a frame and then nothing for this long is closed.
  static constexpr uint64_t kPartialFrameLimitMs = 10'000;
  static constexpr uint64_t kReplyLimitMs = 5'000;

  RequestServer() = default;
  ~RequestServer() { Stop(); }
  RequestServer(const RequestServer&) = delete;
  RequestServer& operator=(const RequestServer&) = delete;

  // Starts serving `listener` (nonblocking, listening). False when the thread cannot start.
  bool Start(int listener, Handler handler);
  // Wakes the thread, closes every connection and joins. The listener stays open.
  void Stop();
  bool Running() const { return thread_.joinable(); }

 private:
  void Serve();

  int listener_ = -1;
  Handler handler_;
  UniqueFd wakeRead_;
  UniqueFd wakeWrite_;
  std::thread thread_;
};

}  // namespace vk2::instance
