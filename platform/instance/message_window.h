// The hidden window of a running instance, as other processes see it: a socket named after
// the window's class and title. Finding the window is connecting to it; sending it a message
// is one framed request answered with the window procedure's result. The procedure is called
// on the window's serving thread; the owner decides where the work runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/instance/local_socket.h"
#include "platform/instance/request_server.h"

namespace vk2::instance {

inline constexpr uint32_t kWmCopyData = 0x004A;
inline constexpr uint32_t kWmUser = 0x0400;

struct WindowMessage {
  uint32_t message = 0;
  uint64_t wParam = 0;
  int64_t lParam = 0;
  std::string_view data;  // the copy-data bytes, exactly as many as were sent
};

using WindowProcedure = std::function<int64_t(const WindowMessage&)>;

class MessageWindow {
 public:
  // Binds the window's socket, so that senders can connect from now on; their messages wait
  // until Serve. Null with `error` set when another live instance owns the name.
  static std::unique_ptr<MessageWindow> Create(std::string_view className, std::string_view title,
                                               std::error_code* error = nullptr);
  ~MessageWindow() { Close(); }

  // Starts answering messages with `procedure` (on the serving thread).
  bool Serve(WindowProcedure procedure);
  // Stops answering (pending senders see the connection close) and removes the socket file.
  void Close();
  const std::string& Path() const { return socket_.path; }

 private:
  MessageWindow() = default;
  ListeningSocket socket_;
  RequestServer server_;
};

// A found window of another process.
class WindowLink {
 public:
  // Connects to the window of that class and title; null when none answers (or it runs as
  // another user).
  static std::unique_ptr<WindowLink> Find(std::string_view className, std::string_view title);

  // Sends a message and waits up to `timeoutMs` for the result. Nothing when the data is over
  // kMaxRequestBytes, the connection broke, or no answer came in time.
  std::optional<int64_t> Send(uint32_t message, uint64_t wParam, int64_t lParam,
                              std::string_view data, uint32_t timeoutMs);

 private:
  explicit WindowLink(UniqueFd fd) : fd_(std::move(fd)) {}
  UniqueFd fd_;
};

// One request on a connected socket and its answer, shared by the window and DDE clients.
std::optional<int64_t> Transact(int fd, const Request& request, uint32_t timeoutMs);

}  // namespace vk2::instance
