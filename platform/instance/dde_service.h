// DDE in the small: a service is a socket per service name; a conversation is one connection
// that first connects to a topic and then sends transactions. The callback answers each
// transaction on the service's serving thread; the owner decides where the work runs.
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

enum class DdeTransaction { kConnect, kExecute, kRequest, kPoke };

inline constexpr int64_t kDdeFAck = 0x8000;

struct DdeCall {
  DdeTransaction type = DdeTransaction::kConnect;
  std::string_view service;
  std::string_view topic;
  std::string_view data;  // kExecute and kPoke: exactly the bytes sent
};

// Connect: nonzero accepts the conversation. Execute: the result word (kDdeFAck when done).
using DdeCallback = std::function<int64_t(const DdeCall&)>;

class DdeService {
 public:
  // Registers the service name (binds its socket); null with `error` set when another live
  // process serves it.
  static std::unique_ptr<DdeService> Register(std::string_view service,
                                              std::error_code* error = nullptr);
  ~DdeService() { Close(); }

  bool Serve(DdeCallback callback);
  void Close();

 private:
  DdeService() = default;
  std::string service_;
  ListeningSocket socket_;
  RequestServer server_;
};

class DdeConversation {
 public:
  // Connects to the service and topic; null when no server answers or it refuses the topic.
  static std::unique_ptr<DdeConversation> Connect(std::string_view service, std::string_view topic,
                                                  uint32_t timeoutMs);
  // The server's result word; nothing when the connection broke or no answer came in time.
  std::optional<int64_t> Execute(std::string_view command, uint32_t timeoutMs);

 private:
  explicit DdeConversation(UniqueFd fd) : fd_(std::move(fd)) {}
  UniqueFd fd_;
};

}  // namespace vk2::instance
