// The audiocast side channel through real sockets: the stream's request offers a UDP port, the
// server's answer names its own, and datagrams go both ways on loopback.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "audio/common/audio_runtime.h"
#include "interfaces/runtime/network.h"
#include "platform/fake_clock.h"
#include "tests/audio/readers/url/url_reader_env.h"

namespace vk2::test {
namespace {

// The server's end of the side channel.
class UdpPeer {
 public:
  UdpPeer() {
    fd_ = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    socklen_t size = sizeof(a);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
    port_ = ntohs(a.sin_port);
  }
  ~UdpPeer() { close(fd_); }
  uint16_t Port() const { return port_; }
  // The next datagram within two seconds, with the sender's port; empty when none came.
  std::string Receive(uint16_t* from = nullptr) {
    pollfd p{fd_, POLLIN, 0};
    if (poll(&p, 1, 2000) <= 0) return {};
    char buffer[1024];
    sockaddr_in a{};
    socklen_t size = sizeof(a);
    const ssize_t n =
        recvfrom(fd_, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&a), &size);
    if (from) *from = ntohs(a.sin_port);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
  }
  bool Waiting() {
    pollfd p{fd_, POLLIN, 0};
    return poll(&p, 1, 0) > 0;
  }
  void SendTo(uint16_t port, const std::string& text) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    sendto(fd_, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&a), sizeof(a));
  }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

HttpTestServer::Handler Audiocast(uint16_t udpPort) {
  return [udpPort](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = PatternText(20000);
    a.ranges = false;
    a.sendLength = false;
    a.headers =
        "x-audiocast-name: From Headers\r\nx-audiocast-udpport: " + std::to_string(udpPort) +
        "\r\n";
    return a;
  };
}

using AudiocastTest = UrlReaderEnv;

TEST_F(AudiocastTest, TitlesArriveByDatagramAndNumberedOnesAreAcknowledged) {
  UdpPeer peer;
  HttpTestServer server(Audiocast(peer.Port()));
  ASSERT_EQ(Open(server.Url("/cast")), 0);
  const uint16_t offered = reader_->AudiocastLocalPort();
  ASSERT_NE(offered, 0);
  const std::string request = server.Requests().back();
  EXPECT_NE(request.find("\r\nx-audiocast-udpport: " + std::to_string(offered) + "\r\n"),
            std::string::npos);

  // Before any datagram, the response's header answers; the first poll announces the channel.
  EXPECT_EQ(Text(u"streamtitle"), "From Headers");
  uint16_t from = 0;
  const std::string announce = peer.Receive(&from);
  EXPECT_EQ(announce, "x-audiocast-udpport: " + std::to_string(from) + std::string(1, '\0'));

  peer.SendTo(from,
              "x-audiocast-name: Song Two\nno colon here\nicy-title: ignored\n"
              "x-audiocast-udpseqnr: 7\nx-audiocast-genre: cut off");
  // The datagram may take a moment on loopback.
  std::string title;
  for (int i = 0; i < 200 && title != "Song Two"; ++i) {
    title = Text(u"streamtitle");
    if (title != "Song Two") usleep(5000);
  }
  EXPECT_EQ(title, "Song Two");
  EXPECT_EQ(peer.Receive(), std::string("x-audiocast-ack: 7") + std::string(1, '\0'));
  EXPECT_FALSE(peer.Waiting());         // acknowledged once
  EXPECT_EQ(Text(u"genre"), "<none>");  // text after the last line feed is no line
}

TEST_F(AudiocastTest, LongSilenceSendsOneKeepAlive) {
  UdpPeer peer;
  HttpTestServer server(Audiocast(peer.Port()));
  AudiocastUdpChannel channel;
  RefPtr<MNetwork> connection = AudioCreate<MNetwork>(kNetworkClass, kIID_MNetwork);
  ASSERT_TRUE(connection);
  connection->SetNotifySink(&channel);
  FakeClock clock(1000);
  ScopedClock scoped(clock);
  ASSERT_EQ(connection->Open(server.Url("/cast").c_str(), kNetworkOpenRead, 0, -1, nullptr),
            kNetworkOk);
  EXPECT_EQ(channel.ServerPort(), peer.Port());
  EXPECT_FALSE(channel.Poll(false));  // not announced while the stream is down
  EXPECT_FALSE(peer.Waiting());
  EXPECT_FALSE(channel.Poll(true));
  EXPECT_FALSE(peer.Receive().empty());  // the announcement
  clock.Advance(kAudiocastKeepAliveMs);
  channel.Poll(true);
  EXPECT_FALSE(peer.Waiting());
  clock.Advance(1);
  channel.Poll(true);
  EXPECT_EQ(peer.Receive(), std::string(1, '\0'));
  channel.Poll(true);
  EXPECT_FALSE(peer.Waiting());
  connection->Close();
}

}  // namespace
}  // namespace vk2::test
