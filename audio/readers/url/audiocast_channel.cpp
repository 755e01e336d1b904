#include "audio/readers/url/audiocast_channel.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "audio/readers/url/audiocast_datagram.h"
#include "foundation/util/result.h"
#include "platform/clock.h"

namespace vk2 {
namespace {

constexpr char kPortHeader[] = "x-audiocast-udpport";
constexpr char kSequenceHeader[] = "x-audiocast-udpseqnr";
constexpr int kBindAttempts = 11;
constexpr size_t kDatagramBytes = 512;

}  // namespace

AudiocastUdpChannel::~AudiocastUdpChannel() {
  CloseSocket();
}

void AudiocastUdpChannel::CloseSocket() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

uint16_t AudiocastUdpChannel::LocalPort() const {
  std::lock_guard lock(mutex_);
  return localPort_;
}

uint16_t AudiocastUdpChannel::ServerPort() const {
  std::lock_guard lock(mutex_);
  return serverPort_;
}

HeaderList AudiocastUdpChannel::Headers() const {
  std::lock_guard lock(mutex_);
  return headers_;
}

void AudiocastUdpChannel::OnNotify(int32_t code, MNetwork* connection) {
  if (!connection) return;
  std::lock_guard lock(mutex_);
  if (code == kNetworkNotifyPreparingRequest) {
    CloseSocket();
    serverPort_ = 0;
    announced_ = false;
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_storage local{};
    socklen_t size = sizeof(local);
    const int tcp = connection->SocketHandle();
    const bool haveAddress = tcp >= 0 &&
                             getsockname(tcp, reinterpret_cast<sockaddr*>(&local), &size) == 0 &&
                             local.ss_family == AF_INET && size == sizeof(sockaddr_in);
    if (!haveAddress || fd_ < 0) {
      // The offer needs an IPv4 address beside the connection's.
      CloseSocket();
      connection->SetRequestHeader(kPortHeader, nullptr);
      return;
    }
    sockaddr_in address;
    std::memcpy(&address, &local, sizeof(address));
    uint32_t port = ntohs(address.sin_port);
    for (int attempt = 0; attempt < kBindAttempts; ++attempt) {
      port = port >= 65535 ? 1024 : port + 1;
      address.sin_port = htons(static_cast<uint16_t>(port));
      if (bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) break;
    }
    // A failed bind leaves the offer at the last port tried.
    localPort_ = static_cast<uint16_t>(port);
    connection->SetRequestHeader(kPortHeader, std::to_string(port).c_str());
    return;
  }
  if (code == kNetworkNotifyResponseHeaders) {
    NarrowString value;
    if (fd_ < 0 || connection->GetResponseHeader(kPortHeader, &value) != kOk) return;
    const auto port = ParseDecimal(value.c_str());
    if (!port || *port <= 0 || *port > 65535) return;
    sockaddr_storage peer{};
    socklen_t size = sizeof(peer);
    const int tcp = connection->SocketHandle();
    if (tcp < 0 || getpeername(tcp, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
        peer.ss_family != AF_INET) {
      return;
    }
    sockaddr_in address;
    std::memcpy(&address, &peer, sizeof(address));
    address.sin_port = htons(static_cast<uint16_t>(*port));
    if (connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) return;
    serverPort_ = static_cast<uint16_t>(*port);
    lastActivity_ = TickCount();
    announced_ = false;
  }
}

void AudiocastUdpChannel::Send(std::string_view text) {
  // A failed send counts as nothing sent.
  if (fd_ >= 0) (void)send(fd_, text.data(), text.size(), MSG_NOSIGNAL);
}

bool AudiocastUdpChannel::Take(std::string_view datagram) {
  bool stored = false;
  ForEachAudiocastHeader(datagram, [&](std::string_view name, std::string_view value) {
    headers_.Set(name, value);
    stored = true;
    if (const std::string* sequence = headers_.Find(kSequenceHeader)) {
      std::string ack = "x-audiocast-ack: " + *sequence;
      Send(std::string_view(ack.c_str(), ack.size() + 1));  // with its terminating zero
      headers_.Remove(kSequenceHeader);
    }
  });
  return stored;
}

bool AudiocastUdpChannel::Poll(bool connected) {
  std::lock_guard lock(mutex_);
  if (fd_ < 0) return false;
  if (!announced_ && serverPort_ != 0) {
    if (!connected) return false;
    sockaddr_in local{};
    socklen_t size = sizeof(local);
    if (getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size) == 0) {
      const std::string text = "x-audiocast-udpport: " + std::to_string(ntohs(local.sin_port));
      Send(std::string_view(text.c_str(), text.size() + 1));
    }
    announced_ = true;
    lastActivity_ = TickCount();
  }
  char buffer[kDatagramBytes + 1];
  bool received = false;
  bool stored = false;
  for (;;) {
    const ssize_t n = recv(fd_, buffer, kDatagramBytes, 0);
    if (n < 0) break;  // nothing waiting, or a failure: nothing received
    received = true;
    buffer[n] = '\0';
    stored = Take(std::string_view(buffer, static_cast<size_t>(n))) || stored;
  }
  const uint32_t now = TickCount();
  if (!received) {
    if (TickElapsed(now, lastActivity_) > kAudiocastKeepAliveMs) {
      if (announced_) Send(std::string_view("\0", 1));
      lastActivity_ = now;
    }
    return false;
  }
  lastActivity_ = now;
  return stored;
}

}  // namespace vk2
