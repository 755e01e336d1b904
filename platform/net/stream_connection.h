// The connection behind MakeNetConnection: HTTP (with redirects, ranges, chunked bodies and
// ICY status lines), FTP (passive mode, restart at an offset) and "raw://host:port" (the bytes
// of a TCP stream as they come).
#pragma once

#include <string>

#include "platform/net/http_response.h"
#include "platform/net/net_connection.h"
#include "platform/net/url_parts.h"

namespace vk2 {

class StreamConnection final : public NetConnection {
 public:
  int32_t Open(const std::string& url, int64_t start, int64_t end, Event* cancel) override;
  int64_t Read(void* buffer, size_t length, Event* cancel) override;
  void Close() override;

  void SetProxy(const NetProxy& proxy) override { proxy_ = proxy; }
  void SetTimeouts(const NetTimeouts& timeouts) override { timeouts_ = timeouts; }
  void SetNotifySink(NetNotifySink* sink) override { sink_ = sink; }

  uint32_t Capabilities() const override { return capabilities_; }
  int64_t ContentLength() const override { return contentLength_; }
  bool IsConnected() const override { return data_.IsOpen(); }
  int SocketHandle() const override { return data_.Handle(); }
  HeaderList& RequestHeaders() override { return requestHeaders_; }
  const HeaderList& ResponseHeaders() const override { return responseHeaders_; }

  // The status of the last HTTP response (0 before one came).
  int32_t LastStatus() const { return lastStatus_; }

 private:
  int32_t OpenHttp(const UrlParts& url, int64_t start, int64_t end, Event* cancel);
  int32_t OpenFtp(const UrlParts& url, int64_t start, int64_t end, Event* cancel);
  int32_t OpenRaw(const UrlParts& url, Event* cancel);
  // The end of one step of Open: its own limit, cut to what is left of the whole Open.
  uint64_t StepDeadline(uint32_t ownMs) const;
  uint32_t StepMs(uint32_t ownMs) const;
  // Reads a response head into `head`, keeping bytes after it in pending_.
  int32_t ReceiveHead(std::string* head, Event* cancel);
  int64_t ReadChunked(void* buffer, size_t length, Event* cancel);
  // Bytes from pending_ first, then from the socket.
  int64_t ReceiveRaw(void* buffer, size_t length, Event* cancel);

  NetProxy proxy_;
  NetTimeouts timeouts_;
  NetNotifySink* sink_ = nullptr;
  HeaderList requestHeaders_;
  HeaderList responseHeaders_;
  TcpSocket data_;
  TcpSocket control_;  // FTP's command connection
  std::string pending_;
  uint32_t capabilities_ = 0;
  int64_t contentLength_ = -1;
  int64_t remaining_ = -1;  // body bytes still to come; -1 unknown
  bool chunked_ = false;
  ChunkedDecoder chunks_;
  int32_t lastStatus_ = 0;
  uint64_t openDeadline_ = 0;  // on the current clock, while Open runs
};

}  // namespace vk2
