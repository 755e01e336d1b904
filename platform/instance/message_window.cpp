#include "platform/instance/message_window.h"

#include "platform/instance/instance_paths.h"

namespace vk2::instance {

std::unique_ptr<MessageWindow> MessageWindow::Create(std::string_view className,
                                                     std::string_view title,
                                                     std::error_code* error) {
  std::error_code ec;
  const std::string path = WindowSocketPath(className, title, &ec);
  std::unique_ptr<MessageWindow> window(new MessageWindow);
  if (!path.empty()) ec = ListenAt(path, &window->socket_);
  if (ec) {
    if (error) *error = ec;
    return nullptr;
  }
  return window;
}

bool MessageWindow::Serve(WindowProcedure procedure) {
  if (!procedure || !socket_.fd.Valid()) return false;
  return server_.Start(
      socket_.fd.Get(),
      [procedure = std::move(procedure)](Conversation&,
                                         const Request& request) -> std::optional<int64_t> {
        if (request.kind != RequestKind::kWindowMessage) return std::nullopt;
        WindowMessage message{request.message, request.wParam, request.lParam, request.bytes};
        return procedure(message);
      });
}

void MessageWindow::Close() {
  server_.Stop();
  CloseListening(&socket_);
}

std::unique_ptr<WindowLink> WindowLink::Find(std::string_view className, std::string_view title) {
  const std::string path = WindowSocketPath(className, title);
  if (path.empty()) return nullptr;
  UniqueFd fd;
  if (ConnectTo(path, &fd)) return nullptr;
  return std::unique_ptr<WindowLink>(new WindowLink(std::move(fd)));
}

std::optional<int64_t> WindowLink::Send(uint32_t message, uint64_t wParam, int64_t lParam,
                                        std::string_view data, uint32_t timeoutMs) {
  Request request;
  request.kind = RequestKind::kWindowMessage;
  request.message = message;
  request.wParam = wParam;
  request.lParam = lParam;
  request.bytes.assign(data);
  return Transact(fd_.Get(), request, timeoutMs);
}

std::optional<int64_t> Transact(int fd, const Request& request, uint32_t timeoutMs) {
  std::string frame;
  if (fd < 0 || !EncodeRequest(request, &frame)) return std::nullopt;
  const uint64_t deadline = SocketNowMs() + timeoutMs;
  if (!WriteAll(fd, frame.data(), frame.size(), deadline)) return std::nullopt;
  char reply[kReplyBytes];
  if (!ReadExact(fd, reply, sizeof reply, deadline)) return std::nullopt;
  return DecodeReply(reply);
}

}  // namespace vk2::instance
