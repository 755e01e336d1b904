// Opening an FTP URL: log in, binary mode, the file's size, a passive data connection, a
// restart at the offset, and the retrieval.
#include <algorithm>
#include <string>

#include "platform/clock.h"
#include "platform/net/ftp_reply.h"
#include "platform/net/stream_connection.h"

namespace vk2 {
namespace {

// The command connection. Each reply has one time limit for all of its bytes (a server
// trickling a reply cannot renew it byte by byte), cut to what is left of the whole Open.
class ControlChannel {
 public:
  ControlChannel(TcpSocket& socket, const NetTimeouts& timeouts, uint64_t openDeadline,
                 Event* cancel)
      : socket_(socket), timeouts_(timeouts), openDeadline_(openDeadline), cancel_(cancel) {}

  // The next reply, or a NetResult in its code.
  FtpReply Next() { return NextBefore(ReplyDeadline()); }
  FtpReply Command(const std::string& line) {
    const uint64_t deadline = ReplyDeadline();
    const int32_t r = socket_.SendAll(line + "\r\n", MsUntil(CurrentClock(), deadline), cancel_);
    if (r != kNetOk) return {r, {}};
    return NextBefore(deadline);
  }

 private:
  uint64_t ReplyDeadline() const {
    return std::min(DeadlineAfter(CurrentClock(), timeouts_.responseMs), openDeadline_);
  }
  FtpReply NextBefore(uint64_t deadline) {
    for (;;) {
      if (auto reply = TakeFtpReply(buffer_)) {
        if (reply->code < 0) return {kNetBadResponse, {}};
        return *reply;
      }
      if (buffer_.size() > 64 * 1024) return {kNetBadResponse, {}};
      const uint32_t left = MsUntil(CurrentClock(), deadline);
      if (left == 0) return {kNetTimedOut, {}};
      char chunk[1024];
      const int64_t n = socket_.Receive(chunk, sizeof(chunk), left, cancel_);
      if (n < 0) return {static_cast<int32_t>(n), {}};
      if (n == 0) return {kNetDisconnected, {}};
      buffer_.append(chunk, static_cast<size_t>(n));
    }
  }

  TcpSocket& socket_;
  const NetTimeouts& timeouts_;
  uint64_t openDeadline_;
  Event* cancel_;
  std::string buffer_;
};

bool Positive(const FtpReply& r) {
  return r.code >= 100 && r.code < 400;
}

int32_t Failure(const FtpReply& r) {
  return r.code < 0 ? r.code : kNetRefused;
}

}  // namespace

int32_t StreamConnection::OpenFtp(const UrlParts& url, int64_t start, int64_t end, Event* cancel) {
  for (const std::string* text : {&url.user, &url.password, &url.path}) {
    if (text->find_first_of("\r\n") != std::string::npos) return kNetFailed;
  }
  int32_t r = control_.Connect(url.host, url.port, StepMs(timeouts_.connectMs), cancel);
  if (r != kNetOk) return r;
  ControlChannel control(control_, timeouts_, openDeadline_, cancel);
  FtpReply reply = control.Next();
  if (reply.code != 220) return Failure(reply);
  reply = control.Command("USER " + (url.user.empty() ? std::string("anonymous") : url.user));
  if (reply.code == 331) {
    reply = control.Command("PASS " + (url.user.empty() ? std::string("velkora2@") : url.password));
  }
  if (reply.code != 230 && reply.code != 202) return Failure(reply);
  reply = control.Command("TYPE I");
  if (!Positive(reply)) return Failure(reply);
  // The path relative to the login folder, as the URL gives it.
  const std::string path = url.path.size() > 1 ? url.path.substr(1) : url.path;
  int64_t size = -1;
  reply = control.Command("SIZE " + path);
  if (reply.code == 213) {
    if (const auto n = ParseDecimal(reply.text)) size = *n;
  } else if (reply.code < 0) {
    return reply.code;
  }
  reply = control.Command("EPSV");
  auto port = PassivePort(reply.code, reply.text);
  if (!port) {
    if (reply.code < 0) return reply.code;
    reply = control.Command("PASV");
    port = PassivePort(reply.code, reply.text);
    if (!port) return Failure(reply);
  }
  if (sink_) sink_->OnNotify(kNetNotifyPreparingRequest, *this);
  // The data connection goes to the host the commands went to.
  r = data_.Connect(url.host, *port, StepMs(timeouts_.connectMs), cancel);
  if (r != kNetOk) return r;
  if (start > 0) {
    reply = control.Command("REST " + std::to_string(start));
    if (reply.code != 350) return Failure(reply);
  }
  reply = control.Command("RETR " + path);
  if (reply.code != 150 && reply.code != 125) return Failure(reply);
  contentLength_ = size >= 0 ? std::max<int64_t>(size - start, 0) : -1;
  if (end >= 0) {
    const int64_t wanted = end - start + 1;
    contentLength_ = contentLength_ >= 0 ? std::min(contentLength_, wanted) : wanted;
  }
  remaining_ = contentLength_;
  capabilities_ = kNetCanOpenAtOffset;
  responseHeaders_.Clear();
  if (sink_) sink_->OnNotify(kNetNotifyResponseHeaders, *this);
  return kNetOk;
}

}  // namespace vk2
