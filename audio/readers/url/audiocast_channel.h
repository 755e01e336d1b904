// `AudiocastUdpChannel`: the URL reader's end of the audiocast metadata side channel. It
// offers a UDP port in the request, connects to the port the server answers with, announces
// itself, keeps the exchange alive, collects the "x-audiocast-" headers that arrive by
// datagram and acknowledges numbered ones. It has no thread: the reader polls it.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

#include "interfaces/runtime/network.h"
#include "platform/net/header_list.h"

namespace vk2 {

// Longest silence before a keep-alive byte goes out.
inline constexpr uint32_t kAudiocastKeepAliveMs = 119999;

class AudiocastUdpChannel final : public MNetworkNotifySink {
 public:
  AudiocastUdpChannel() = default;
  AudiocastUdpChannel(const AudiocastUdpChannel&) = delete;
  AudiocastUdpChannel& operator=(const AudiocastUdpChannel&) = delete;
  ~AudiocastUdpChannel();

  // Request being prepared: a new UDP socket beside the connection's, offered in the request.
  // Response headers: the server's port, if it names one.
  void OnNotify(int32_t code, MNetwork* connection) override;

  // Announces the channel once the server's port is known (and `connected`), sends a
  // keep-alive after a long silence, and takes in every datagram waiting. True when at least
  // one "x-audiocast-" header was stored.
  bool Poll(bool connected);
  // The headers collected so far.
  HeaderList Headers() const;

  // For tests: the UDP port offered (0 before a request) and the server's port.
  uint16_t LocalPort() const;
  uint16_t ServerPort() const;

 private:
  void CloseSocket();
  void Send(std::string_view text);
  // Takes in one datagram's headers; true when one was stored.
  bool Take(std::string_view datagram);

  mutable std::mutex mutex_;
  int fd_ = -1;
  uint16_t localPort_ = 0;
  uint16_t serverPort_ = 0;
  uint32_t lastActivity_ = 0;
  bool announced_ = false;
  HeaderList headers_;
};

}  // namespace vk2
