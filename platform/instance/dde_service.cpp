#include "platform/instance/dde_service.h"

#include "platform/instance/instance_paths.h"
#include "platform/instance/message_window.h"

namespace vk2::instance {
namespace {

// A conversation that has not connected is answered with 0 (nothing done) and kept open.
std::optional<int64_t> Dispatch(const std::string& service, const DdeCallback& callback,
                                Conversation& conversation, const Request& request,
                                std::string* topic) {
  DdeCall call;
  call.service = service;
  switch (request.kind) {
    case RequestKind::kDdeConnect: {
      std::string_view askedService, askedTopic;
      if (!ParseDdeNames(request.bytes, &askedService, &askedTopic)) return std::nullopt;
      call.type = DdeTransaction::kConnect;
      call.topic = askedTopic;
      const int64_t accepted = callback(call);
      conversation.connected = accepted != 0;
      if (conversation.connected) topic->assign(askedTopic);
      return accepted != 0 ? 1 : 0;
    }
    case RequestKind::kDdeExecute:
      call.type = DdeTransaction::kExecute;
      break;
    case RequestKind::kDdeRequest:
      call.type = DdeTransaction::kRequest;
      break;
    case RequestKind::kDdePoke:
      call.type = DdeTransaction::kPoke;
      break;
    default:
      return std::nullopt;
  }
  if (!conversation.connected) return 0;
  call.topic = *topic;
  call.data = request.bytes;
  return callback(call);
}

}  // namespace

std::unique_ptr<DdeService> DdeService::Register(std::string_view service, std::error_code* error) {
  std::error_code ec;
  const std::string path = DdeSocketPath(service, &ec);
  std::unique_ptr<DdeService> result(new DdeService);
  if (!path.empty()) ec = ListenAt(path, &result->socket_);
  if (ec) {
    if (error) *error = ec;
    return nullptr;
  }
  result->service_.assign(service);
  return result;
}

bool DdeService::Serve(DdeCallback callback) {
  if (!callback || !socket_.fd.Valid()) return false;
  return server_.Start(socket_.fd.Get(), [service = service_, callback = std::move(callback)](
                                             Conversation& conversation, const Request& request) {
    return Dispatch(service, callback, conversation, request, &conversation.topic);
  });
}

void DdeService::Close() {
  server_.Stop();
  CloseListening(&socket_);
}

std::unique_ptr<DdeConversation> DdeConversation::Connect(std::string_view service,
                                                          std::string_view topic,
                                                          uint32_t timeoutMs) {
  const std::string path = DdeSocketPath(service);
  if (path.empty()) return nullptr;
  UniqueFd fd;
  if (ConnectTo(path, &fd)) return nullptr;
  Request request;
  request.kind = RequestKind::kDdeConnect;
  request.bytes = EncodeDdeNames(service, topic);
  const std::optional<int64_t> accepted = Transact(fd.Get(), request, timeoutMs);
  if (!accepted || *accepted == 0) return nullptr;
  return std::unique_ptr<DdeConversation>(new DdeConversation(std::move(fd)));
}

std::optional<int64_t> DdeConversation::Execute(std::string_view command, uint32_t timeoutMs) {
  Request request;
  request.kind = RequestKind::kDdeExecute;
  request.bytes.assign(command);
  return Transact(fd_.Get(), request, timeoutMs);
}

}  // namespace vk2::instance
