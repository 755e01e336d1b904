#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "platform/event.h"
#include "platform/net/net_connection.h"
#include "tests/platform/net/http_test_server.h"
#include "tests/platform/net/trickle_server.h"

namespace vk2 {
namespace {

using test::HttpAnswer;
using test::HttpTestServer;
using test::PatternText;
using test::TrickleServer;

int64_t MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

// Reads to the end: the bytes, and the result that ended the read (0 or a NetResult).
std::string ReadAll(NetConnection& c, int64_t* ended, Event* cancel = nullptr) {
  std::string out;
  char buffer[3000];
  for (;;) {
    const int64_t n = c.Read(buffer, sizeof(buffer), cancel);
    if (n <= 0) {
      *ended = n;
      return out;
    }
    out.append(buffer, static_cast<size_t>(n));
  }
}

class StreamConnectionTest : public ::testing::Test {
 protected:
  const std::string body_ = PatternText(100000);
  std::unique_ptr<NetConnection> c_ = MakeNetConnection();
};

TEST_F(StreamConnectionTest, ReadsWholeBodiesAndRangesBitExact) {
  struct Case {
    const char* name;
    bool ranges, sendLength, chunked, icy;
    int64_t start, end;
  };
  const Case cases[] = {
      {"plain", true, true, false, false, 0, -1},
      {"range to end", true, true, false, false, 12345, -1},
      {"one byte", true, true, false, false, 0, 0},
      {"bounded range", true, true, false, false, 500, 4499},
      {"no length", false, false, false, false, 0, -1},
      {"chunked", false, false, true, false, 0, -1},
      {"icy status", false, true, false, true, 0, -1},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    HttpTestServer server([&](const std::string&, const std::string&) {
      HttpAnswer a;
      a.body = body_;
      a.ranges = k.ranges;
      a.sendLength = k.sendLength;
      a.chunked = k.chunked;
      a.icyStatus = k.icy;
      return a;
    });
    ASSERT_EQ(c_->Open(server.Url("/s.ogg"), k.start, k.end, nullptr), kNetOk);
    const int64_t last = k.end >= 0 ? k.end : static_cast<int64_t>(body_.size()) - 1;
    const int64_t length = last - k.start + 1;
    EXPECT_EQ(c_->ContentLength(), k.sendLength && !k.chunked ? length : -1);
    EXPECT_EQ(c_->Capabilities() & kNetCanOpenAtOffset, kNetCanOpenAtOffset);
    int64_t ended = 1;
    const std::string got = ReadAll(*c_, &ended);
    EXPECT_EQ(ended, 0);
    EXPECT_TRUE(got == body_.substr(static_cast<size_t>(k.start), static_cast<size_t>(length)));
    c_->Close();
  }
}

TEST_F(StreamConnectionTest, FollowsRedirectsAndRefusesErrorsAndIgnoredRanges) {
  HttpTestServer server([&](const std::string& path, const std::string&) {
    HttpAnswer a;
    a.body = body_;
    if (path == "/moved") {
      a.status = 302;
      a.location = "/dir/target";
    } else if (path == "/dir/target") {
      a.status = 301;
      a.location = "final";
    } else if (path == "/loop") {
      a.status = 302;
      a.location = "/loop";
    } else if (path == "/whole") {
      a.ranges = false;
    } else if (path != "/dir/final") {
      a.status = 404;
    }
    return a;
  });
  ASSERT_EQ(c_->Open(server.Url("/moved"), 0, -1, nullptr), kNetOk);
  int64_t ended = 1;
  EXPECT_TRUE(ReadAll(*c_, &ended) == body_);
  // A name, looked up before connecting.
  const std::string named = "http://localhost:" + std::to_string(server.Port()) + "/dir/final";
  ASSERT_EQ(c_->Open(named, 0, 99, nullptr), kNetOk);
  EXPECT_TRUE(ReadAll(*c_, &ended) == body_.substr(0, 100));
  EXPECT_EQ(c_->Open(server.Url("/missing"), 0, -1, nullptr), kNetRefused);
  EXPECT_EQ(c_->Open(server.Url("/loop"), 0, -1, nullptr), kNetBadResponse);
  // Bytes from the start when bytes from the middle were asked for would be wrong bytes.
  EXPECT_EQ(c_->Open(server.Url("/whole"), 10, -1, nullptr), kNetRefused);
  EXPECT_FALSE(c_->IsConnected());
}

TEST_F(StreamConnectionTest, ServerClosingEarlyIsAnErrorNotAnEnd) {
  for (bool chunked : {false, true}) {
    SCOPED_TRACE(chunked);
    HttpTestServer server([&](const std::string&, const std::string&) {
      HttpAnswer a;
      a.body = body_;
      a.chunked = chunked;
      a.closeAfter = 7000;
      return a;
    });
    ASSERT_EQ(c_->Open(server.Url("/x"), 0, -1, nullptr), kNetOk);
    int64_t ended = 0;
    const std::string got = ReadAll(*c_, &ended);
    EXPECT_EQ(ended, kNetDisconnected);
    EXPECT_LE(got.size(), 7000u);
    EXPECT_TRUE(got == body_.substr(0, got.size()));
  }
}

TEST_F(StreamConnectionTest, RefusedConnectionFailsAtOnce) {
  uint16_t port;
  {
    HttpTestServer closed([](const std::string&, const std::string&) { return HttpAnswer{}; });
    port = closed.Port();
  }
  EXPECT_EQ(c_->Open("http://127.0.0.1:" + std::to_string(port) + "/", 0, -1, nullptr), kNetFailed);
  EXPECT_EQ(c_->Open("gopher://127.0.0.1/", 0, -1, nullptr), kNetFailed);
  EXPECT_EQ(c_->Open("not a url", 0, -1, nullptr), kNetFailed);
}

TEST_F(StreamConnectionTest, SilentServerEndsByCancelOrTimeLimit) {
  HttpTestServer server([](const std::string&, const std::string&) {
    HttpAnswer a;
    a.stall = true;
    return a;
  });
  Event cancel(EventReset::kManual);
  std::thread canceller([&] {
    while (server.RequestCount() == 0)
      std::this_thread::yield();
    cancel.Set();
  });
  EXPECT_EQ(c_->Open(server.Url("/"), 0, -1, &cancel), kNetCancelled);
  canceller.join();

  NetTimeouts quick;
  quick.responseMs = 50;
  c_->SetTimeouts(quick);
  EXPECT_EQ(c_->Open(server.Url("/"), 0, -1, nullptr), kNetTimedOut);
}

// Each step of these opens stays inside its own limit, or renews it byte by byte; only the
// limit on the whole of Open (or on a whole FTP reply) ends them.
TEST_F(StreamConnectionTest, OpenEndsAtItsDeadlineHoweverSlowlyTheServerAnswers) {
  // Five redirects, each answered after 150 ms, then the body: 900 ms in all.
  HttpTestServer redirects([](const std::string& path, const std::string&) {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    HttpAnswer a;
    const int hop = path.size() > 1 ? path[1] - '0' : 0;
    if (hop < 5) {
      a.status = 302;
      a.location = '/' + std::to_string(hop + 1);
    } else {
      a.body = "done";
    }
    return a;
  });
  TrickleServer trickledHead("HTTP/1.0 200 OK\r\nX-Slow: ", "a", 20);
  TrickleServer trickledGreeting("", "220-welcome\r\n", 20);
  struct Case {
    const char* name;
    std::string url;
    uint32_t responseMs, openMs;
  };
  const Case cases[] = {
      {"slow redirects", redirects.Url("/0"), 60000, 400},
      {"trickled HTTP head", trickledHead.Url("http"), 60000, 400},
      {"trickled FTP greeting", trickledGreeting.Url("ftp"), 60000, 400},
      // One limit for a whole reply, not a fresh one for each byte of it.
      {"trickled FTP greeting, reply limit", trickledGreeting.Url("ftp"), 400, 60000},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    NetTimeouts limits;
    limits.responseMs = k.responseMs;
    limits.openMs = k.openMs;
    c_->SetTimeouts(limits);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(c_->Open(k.url, 0, -1, nullptr), kNetTimedOut);
    const int64_t took = MsSince(start);
    EXPECT_GE(took, 350);
    EXPECT_LT(took, 1500);
  }
  // With time enough, the same redirects lead to the body.
  c_->SetTimeouts(NetTimeouts{});
  ASSERT_EQ(c_->Open(redirects.Url("/0"), 0, -1, nullptr), kNetOk);
  int64_t ended = 1;
  EXPECT_EQ(ReadAll(*c_, &ended), "done");
}

TEST_F(StreamConnectionTest, TrickledBodyOutlivesTheOpenLimitButNotACancel) {
  TrickleServer live("HTTP/1.0 200 OK\r\n\r\n", "0123456789", 20);
  NetTimeouts limits;
  limits.openMs = 100;
  c_->SetTimeouts(limits);
  ASSERT_EQ(c_->Open(live.Url("http"), 0, -1, nullptr), kNetOk);
  std::string got;
  const auto start = std::chrono::steady_clock::now();
  while (MsSince(start) < 400) {
    char c = 0;
    ASSERT_EQ(c_->Read(&c, 1, nullptr), 1);
    got += c;
  }
  std::string expected;
  while (expected.size() < got.size())
    expected += "0123456789";
  expected.resize(got.size());
  EXPECT_EQ(got, expected);
  EXPECT_GE(got.size(), 10u);

  // The stream stays open as long as the reader wants; its cancel ends a wait at once.
  Event cancel(EventReset::kManual);
  std::thread canceller([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    cancel.Set();
  });
  const auto cancelStart = std::chrono::steady_clock::now();
  int64_t ended = 1;
  ReadAll(*c_, &ended, &cancel);
  canceller.join();
  EXPECT_EQ(ended, kNetCancelled);
  EXPECT_LT(MsSince(cancelStart), 500);
}

TEST_F(StreamConnectionTest, ProxyGetsTheWholeUrl) {
  HttpTestServer proxy([&](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = "via proxy";
    return a;
  });
  c_->SetProxy({"127.0.0.1", proxy.Port(), "", ""});
  ASSERT_EQ(c_->Open("http://radio.invalid:8000/live show", 0, -1, nullptr), kNetOk);
  int64_t ended = 1;
  EXPECT_EQ(ReadAll(*c_, &ended), "via proxy");
  ASSERT_EQ(proxy.RequestCount(), 1u);
  EXPECT_EQ(proxy.Requests()[0].rfind("GET http://radio.invalid:8000/live%20show HTTP/1.0\r\n", 0),
            0u);
  EXPECT_EQ(proxy.Requests()[0].find("Proxy-Authorization"), std::string::npos);
  // A user name for the proxy goes to the proxy as basic authorization.
  c_->SetProxy({"127.0.0.1", proxy.Port(), "ann", "s3cret"});
  ASSERT_EQ(c_->Open("http://radio.invalid:8000/", 0, -1, nullptr), kNetOk);
  ASSERT_EQ(proxy.RequestCount(), 2u);
  EXPECT_NE(proxy.Requests()[1].find("\r\nProxy-Authorization: Basic YW5uOnMzY3JldA==\r\n"),
            std::string::npos);
}

TEST_F(StreamConnectionTest, SinkMayAddRequestHeadersAndSeesTheResponse) {
  struct Sink : NetNotifySink {
    void OnNotify(int32_t code, NetConnection& c) override {
      codes.push_back(code);
      if (code == kNetNotifyPreparingRequest) {
        EXPECT_GE(c.SocketHandle(), 0);
        c.RequestHeaders().Set("x-test", "1");
        c.RequestHeaders().Set("bad\r\nheader", "2");
      } else {
        title = *c.ResponseHeaders().Find("icy-title");
      }
    }
    std::vector<int32_t> codes;
    std::string title;
  } sink;
  HttpTestServer server([](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = "x";
    a.headers = "icy-title: Song\r\n";
    return a;
  });
  c_->SetNotifySink(&sink);
  ASSERT_EQ(c_->Open(server.Url("/"), 0, -1, nullptr), kNetOk);
  EXPECT_EQ(sink.codes,
            (std::vector<int32_t>{kNetNotifyPreparingRequest, kNetNotifyResponseHeaders}));
  EXPECT_EQ(sink.title, "Song");
  const std::string request = server.Requests()[0];
  EXPECT_NE(request.find("\r\nx-test: 1\r\n"), std::string::npos);
  EXPECT_EQ(request.find("Authorization"), std::string::npos);
  c_->Close();
  // Credentials in the URL go as basic authorization.
  for (const auto& [user, expected] : {std::pair{"user:pw", "dXNlcjpwdw=="},
                                       std::pair{"a:", "YTo="}, std::pair{"ab:c", "YWI6Yw=="}}) {
    const std::string url =
        "http://" + std::string(user) + "@127.0.0.1:" + std::to_string(server.Port()) + "/";
    ASSERT_EQ(c_->Open(url, 0, -1, nullptr), kNetOk);
    EXPECT_NE(
        server.Requests().back().find("\r\nAuthorization: Basic " + std::string(expected) + "\r\n"),
        std::string::npos)
        << user;
  }
  EXPECT_EQ(request.find("bad"), std::string::npos);
}

}  // namespace
}  // namespace vk2
