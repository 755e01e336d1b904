// A TCP connection with bounded waits: connecting, sending and receiving each end when their
// time limit (on the platform clock) runs out or when the caller's cancel event is set, so no
// network wait can hold a thread for ever.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vk2 {

class Event;

// Results besides byte counts.
enum NetResult : int32_t {
  kNetOk = 0,
  kNetFailed = -1,        // the name did not resolve, the peer refused, a socket call failed
  kNetTimedOut = -2,      // the time limit ran out
  kNetCancelled = -3,     // the cancel event was set
  kNetDisconnected = -4,  // the peer closed before all that was announced had come
  kNetBadResponse = -5,   // the server's answer makes no sense
  kNetRefused = -6,       // the server answered with an error (HTTP status, FTP reply)
  kNetNotOpen = -7,
};

class TcpSocket {
 public:
  TcpSocket() = default;
  TcpSocket(const TcpSocket&) = delete;
  TcpSocket& operator=(const TcpSocket&) = delete;
  ~TcpSocket() { Close(); }

  // Resolves `host` (numeric addresses need no lookup) and connects to the first address that
  // answers; the lookup, too, ends at the time limit or the cancel. kNetOk or a NetResult.
  int32_t Connect(const std::string& host, uint16_t port, uint32_t timeoutMs, Event* cancel);
  // Sends all of `data`.
  int32_t SendAll(std::string_view data, uint32_t timeoutMs, Event* cancel);
  // Up to `length` bytes once some are there: the count, 0 when the peer closed, or a
  // NetResult.
  int64_t Receive(void* buffer, size_t length, uint32_t timeoutMs, Event* cancel);
  void Close();
  bool IsOpen() const { return fd_ >= 0; }
  int Handle() const { return fd_; }

 private:
  // Waits until the socket is ready for `events`; kNetOk or a NetResult.
  int32_t WaitReady(short events, uint64_t deadline, Event* cancel);

  int fd_ = -1;
};

}  // namespace vk2
