// Raw streams, proxies, what the reader describes, and a stop while a reconnect waits.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "tests/audio/readers/url/url_reader_env.h"

namespace vk2::test {
namespace {

// Sends `body` to the first client and closes.
class RawServer {
 public:
  explicit RawServer(std::string body) : body_(std::move(body)) {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof(a));
    listen(fd_, 4);
    socklen_t size = sizeof(a);
    getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] {
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, 5000) <= 0) return;
      const int client = accept(fd_, nullptr, nullptr);
      size_t done = 0;
      while (done < body_.size()) {
        const ssize_t n = send(client, body_.data() + done, body_.size() - done, MSG_NOSIGNAL);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
      }
      close(client);
    });
  }
  ~RawServer() {
    thread_.join();
    close(fd_);
  }
  std::string Url() const { return "raw://127.0.0.1:" + std::to_string(port_); }

 private:
  std::string body_;
  int fd_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
};

class FixedProxy final : public ProxySource {
 public:
  explicit FixedProxy(uint16_t port) : url_("127.0.0.1:" + std::to_string(port)) {}
  void ApplyTo(MNetwork& connection) override {
    NetworkProxySettings settings;
    settings.url = url_.c_str();
    connection.SetProxy(settings);
  }

 private:
  std::string url_;
};

using UrlReaderPathsTest = UrlReaderEnv;

TEST_F(UrlReaderPathsTest, RawStreamIsReadAsItComes) {
  const std::string body = PatternText(12345);
  RawServer server(body);
  ASSERT_EQ(Open(server.Url()), 0);
  EXPECT_FALSE(reader_->IsSeekable());
  EXPECT_TRUE(IsSoundIo(reader_->GetSize(nullptr, nullptr), kSoundIoUnknownSize));
  char at[10];
  uint32_t count = 0;
  EXPECT_EQ(reader_->ReadAt(0, at, sizeof(at), &count), kErrFailed);
  // No offsets on a raw stream, so no stream texts either.
  EXPECT_EQ(Text(u"url"), "<none>");
  Play();
  EXPECT_TRUE(Drain() == body);
}

TEST_F(UrlReaderPathsTest, ConnectionsGoThroughTheGivenProxy) {
  const std::string body = PatternText(3000);
  HttpTestServer proxy([&](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = body;
    return a;
  });
  reader_->SetProxySource(std::make_shared<FixedProxy>(proxy.Port()));
  Configure(0, 0);
  ASSERT_EQ(Open("http://stream.invalid:8000/live.ogg"), 0);
  EXPECT_TRUE(Drain() == body);
  ASSERT_FALSE(proxy.Requests().empty());
  EXPECT_EQ(proxy.Requests()[0].rfind("GET http://stream.invalid:8000/live.ogg ", 0), 0u);
}

TEST_F(UrlReaderPathsTest, DescribesStreamPropertiesOnlyWhileOffsetsWork) {
  auto describe = [&] {
    PropertyDescriptionList list;
    EXPECT_EQ(props_->Describe(&list), 0);
    return list;
  };
  PropertyDescriptionList closed = describe();
  EXPECT_EQ(closed.Count(), 6u);
  EXPECT_GE(closed.Find(u"inprebuffer"), 0);
  EXPECT_LT(closed.Find(u"streamtitle"), 0);
  HttpTestServer server([](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = "abc";
    return a;
  });
  ASSERT_EQ(Open(server.Url("/a")), 0);
  PropertyDescriptionList open = describe();
  EXPECT_EQ(open.Count(), 15u);
  const int32_t title = open.Find(u"streamtitle");
  ASSERT_GE(title, 0);
  EXPECT_EQ(open.At(static_cast<uint32_t>(title)).flags, 145u);
  EXPECT_EQ(open.At(static_cast<uint32_t>(open.Find(u"prebuffer"))).flags, 67u);
  EXPECT_EQ(open.At(static_cast<uint32_t>(open.Find(u"bufferlevel"))).flags, 3u);
}

TEST_F(UrlReaderPathsTest, StopEndsAReconnectThatGetsNoAnswer) {
  const std::string body = PatternText(100000);
  HttpTestServer server([&](const std::string&, const std::string& request) {
    HttpAnswer a;
    a.body = body;
    a.stall = request.find("Range: bytes=60000-") != std::string::npos;
    return a;
  });
  Configure(0, 0);
  ASSERT_EQ(Open(server.Url("/a")), 0);
  Play();
  Next();
  std::thread stopper([&] {
    for (int i = 0; i < 5000; ++i) {
      const auto requests = server.Requests();
      if (!requests.empty() && requests.back().find("bytes=60000-") != std::string::npos) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    chain_->AbortEvent()->Set();
  });
  EXPECT_TRUE(IsEntry(reader_->SetPosition(60000), kMsCannotSeek));
  stopper.join();
  // The failed move leaves no position to read from.
  EXPECT_TRUE(IsEntry(Next().result, kMsCannotSeek));
}

}  // namespace
}  // namespace vk2::test

namespace vk2::test {
namespace {

// The download thread waits on a server that has gone quiet; a far seek takes the connection
// from it at once rather than after the read's time limit.
TEST_F(UrlReaderPathsTest, ReconnectDoesNotWaitForASilentDownload) {
  const std::string body = PatternText(100000);
  HttpTestServer server([&](const std::string&, const std::string& request) {
    HttpAnswer a;
    a.body = body;
    if (request.find("bytes=60000-") == std::string::npos) a.stallAfter = 3000;
    return a;
  });
  NetworkTimeouts patient;
  patient.readMs = 600000;
  reader_->SetTimeouts(patient);
  Configure(0, 8192);
  ASSERT_EQ(Open(server.Url("/a")), 0);
  Play();
  EXPECT_TRUE(Next().bytes == body.substr(0, 1024));
  ASSERT_EQ(reader_->SetPosition(60000), 0);
  EXPECT_TRUE(Drain() == body.substr(60000));
}

}  // namespace
}  // namespace vk2::test
