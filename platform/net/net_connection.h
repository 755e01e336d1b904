// One URL connection ("http://", "ftp://", "raw://"): opened at a byte offset, read in order,
// with the response's headers and length. Every wait has a time limit and watches the
// caller's cancel event. A notification sink hears when a request is being prepared (it may
// still change the request headers) and when the response headers have arrived.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/net/header_list.h"
#include "platform/net/tcp_socket.h"

namespace vk2 {

class Event;
class NetConnection;

// Points of a transfer a sink hears about.
inline constexpr int32_t kNetNotifyResponseHeaders = 11;
inline constexpr int32_t kNetNotifyPreparingRequest = 13;

// Capabilities(): the connection can be opened at an offset (HTTP ranges, FTP restarts).
inline constexpr uint32_t kNetCanOpenAtOffset = 4;

class NetNotifySink {
 public:
  virtual void OnNotify(int32_t code, NetConnection& connection) = 0;

 protected:
  ~NetNotifySink() = default;
};

// An HTTP proxy; an empty host means a direct connection. A user name sends basic
// authorization to the proxy.
struct NetProxy {
  std::string host;
  uint16_t port = 0;
  std::string user;
  std::string password;
};

struct NetTimeouts {
  uint32_t connectMs = 10000;
  uint32_t responseMs = 15000;  // from the request to the end of the response head
  uint32_t readMs = 30000;      // longest silence while reading the body
  // The whole of Open: every redirect and, for FTP, both channels, so that a server answering
  // each step just inside its own limit cannot hold Open for minutes. The body is not covered:
  // a stream may trickle for as long as it lives.
  uint32_t openMs = 30000;
};

class NetConnection {
 public:
  virtual ~NetConnection() = default;

  // Opens `url` (UTF-8, as given) from byte `start` to byte `end` inclusive (-1: to the end).
  // A server that would send the bytes from elsewhere than `start` is refused (kNetRefused).
  // kNetOk or a NetResult (kNetTimedOut once `openMs` has passed, kNetCancelled).
  virtual int32_t Open(const std::string& url, int64_t start, int64_t end, Event* cancel) = 0;
  // The next bytes of the body, waiting until some are there: the count, 0 at the end, or a
  // NetResult (kNetDisconnected when the peer closed before the announced length).
  virtual int64_t Read(void* buffer, size_t length, Event* cancel) = 0;
  virtual void Close() = 0;

  virtual void SetProxy(const NetProxy& proxy) = 0;
  virtual void SetTimeouts(const NetTimeouts& timeouts) = 0;
  // Not owned; null for none.
  virtual void SetNotifySink(NetNotifySink* sink) = 0;

  virtual uint32_t Capabilities() const = 0;
  // The body's length as the server announced it, or -1.
  virtual int64_t ContentLength() const = 0;
  virtual bool IsConnected() const = 0;
  // The socket the body comes through (-1 when closed), for side channels that need its
  // addresses.
  virtual int SocketHandle() const = 0;
  // Extra request headers; a sink changes them at kNetNotifyPreparingRequest.
  virtual HeaderList& RequestHeaders() = 0;
  virtual const HeaderList& ResponseHeaders() const = 0;
};

std::unique_ptr<NetConnection> MakeNetConnection();

}  // namespace vk2
