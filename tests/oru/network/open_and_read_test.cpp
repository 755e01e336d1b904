// Opening at an offset and the announced length, against loopback HTTP and FTP servers; the
// notification sink, request and response headers, and reads that do not wait.
#include <memory>
#include <thread>
#include <vector>

#include "foundation/util/result.h"
#include "platform/event.h"
#include "tests/oru/network/network_env.h"
#include "tests/platform/net/ftp_test_server.h"
#include "tests/support/temp_folder.h"

namespace vk2::test {
namespace {

constexpr size_t kBodyBytes = 30000;

TEST(NetworkOpenTest, HttpOpensAtTheOffsetAskedAndTellsTheLength) {
  const std::string body = PatternText(kBodyBytes);
  struct Case {
    const char* name;
    bool ranges;
    bool sendLength;
    bool chunked;
    int64_t start;
    int64_t end;
    int32_t result;
    int64_t length;  // ContentLength() after the open
    std::string bytes;
  };
  const int64_t n = static_cast<int64_t>(kBodyBytes);
  const Case cases[] = {
      {"whole body", true, true, false, 0, -1, kNetworkOk, n, body},
      {"from an offset", true, true, false, 1000, -1, kNetworkOk, n - 1000, body.substr(1000)},
      {"a closed range", true, true, false, 1000, 1999, kNetworkOk, 1000, body.substr(1000, 1000)},
      {"one byte", true, true, false, 0, 0, kNetworkOk, 1, body.substr(0, 1)},
      {"last byte", true, true, false, n - 1, -1, kNetworkOk, 1, body.substr(kBodyBytes - 1)},
      {"no ranges, from the start", false, true, false, 0, -1, kNetworkOk, n, body},
      {"no ranges, at an offset", false, true, false, 1000, -1, kNetworkRefused, -1, ""},
      {"no length announced", true, false, false, 0, -1, kNetworkOk, -1, body},
      {"chunked body", false, true, true, 0, -1, kNetworkOk, -1, body},
      {"beyond the end", true, true, false, n + 10, -1, kNetworkRefused, -1, ""},
      {"end before start", true, true, false, 10, 5, kNetworkFailed, -1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HttpTestServer server([&](const std::string&, const std::string&) {
      HttpAnswer a;
      a.body = body;
      a.ranges = c.ranges;
      a.sendLength = c.sendLength;
      a.chunked = c.chunked;
      return a;
    });
    RefPtr<MNetwork> connection = NewConnection();
    ASSERT_EQ(connection->Open(server.Url("/a").c_str(), kNetworkOpenRead, c.start, c.end, nullptr),
              c.result);
    EXPECT_EQ(connection->ContentLength(), c.length);
    if (c.result != kNetworkOk) {
      EXPECT_FALSE(connection->IsConnected());
      continue;
    }
    EXPECT_EQ(connection->Capabilities() & kNetworkCanOpenAtOffset, kNetworkCanOpenAtOffset);
    int64_t ended = 1;
    EXPECT_TRUE(ReadAll(*connection, &ended) == c.bytes);
    EXPECT_EQ(ended, 0);
  }
}

TEST(NetworkOpenTest, FtpRestartsAtTheOffsetAndTellsTheLengthLeft) {
  if (!FtpTestServer::Available()) GTEST_SKIP() << "pyftpdlib missing";
  TempFolder folder;
  const std::string body = PatternText(kBodyBytes);
  folder.Write("tone.bin", std::vector<uint8_t>(body.begin(), body.end()));
  FtpTestServer server(folder.Path());
  ASSERT_TRUE(server.Answers());
  const int64_t n = static_cast<int64_t>(kBodyBytes);
  const struct {
    int64_t start;
    int64_t end;
    int64_t length;
  } cases[] = {{0, -1, n}, {25000, -1, n - 25000}, {1000, 1499, 500}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.start);
    RefPtr<MNetwork> connection = NewConnection();
    ASSERT_EQ(
        connection->Open(server.Url("tone.bin").c_str(), kNetworkOpenRead, c.start, c.end, nullptr),
        kNetworkOk);
    EXPECT_EQ(connection->ContentLength(), c.length);
    EXPECT_EQ(connection->Capabilities() & kNetworkCanOpenAtOffset, kNetworkCanOpenAtOffset);
    int64_t ended = 1;
    EXPECT_TRUE(ReadAll(*connection, &ended) ==
                body.substr(static_cast<size_t>(c.start), static_cast<size_t>(c.length)));
    EXPECT_EQ(ended, 0);
  }
  RefPtr<MNetwork> missing = NewConnection();
  EXPECT_EQ(missing->Open(server.Url("missing.bin").c_str(), kNetworkOpenRead, 0, -1, nullptr),
            kNetworkRefused);
}

TEST(NetworkOpenTest, RefusesWhatItCannotOpen) {
  RefPtr<MNetwork> connection = NewConnection();
  HttpTestServer server([](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = "x";
    return a;
  });
  const struct {
    const char* url;
    uint32_t mode;
    int32_t result;
  } cases[] = {
      {"", kNetworkOpenRead, kNetworkFailed},
      {"gopher://127.0.0.1/", kNetworkOpenRead, kNetworkFailed},
      {"http://", kNetworkOpenRead, kNetworkFailed},
      {"http://127.0.0.1:1/", kNetworkOpenRead, kNetworkFailed},  // nobody listens
      {nullptr, kNetworkOpenRead, kNetworkFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url ? c.url : "null");
    EXPECT_EQ(connection->Open(c.url, c.mode, 0, -1, nullptr), c.result);
    EXPECT_FALSE(connection->IsConnected());
  }
  // Reading is the only mode.
  EXPECT_EQ(connection->Open(server.Url("/").c_str(), 0, 0, -1, nullptr), kNetworkFailed);
  EXPECT_EQ(server.RequestCount(), 0u);
  char byte;
  EXPECT_EQ(connection->Read(&byte, 1, kNetworkReadWait, nullptr), kNetworkNotOpen);
}

TEST(NetworkOpenTest, SinkHearsTheRequestAndResponseAndMayAddHeaders) {
  struct Sink final : MNetworkNotifySink {
    void OnNotify(int32_t code, MNetwork* connection) override {
      codes.push_back(code);
      if (code == kNetworkNotifyPreparingRequest) {
        socketDuringRequest = connection->SocketHandle();
        connection->SetRequestHeader("x-offer", "7");
      } else {
        NarrowString value;
        if (connection->GetResponseHeader("ICY-NAME", &value) == kOk) name = value.c_str();
      }
    }
    std::vector<int32_t> codes;
    int32_t socketDuringRequest = -1;
    std::string name;
  } sink;
  HttpTestServer server([](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = "body";
    a.headers = "icy-name: Night Radio\r\nx-extra: 1\r\n";
    return a;
  });
  RefPtr<MNetwork> connection = NewConnection();
  connection->SetNotifySink(&sink);
  connection->SetRequestHeader("x-gone", "1");
  connection->SetRequestHeader("x-gone", nullptr);
  ASSERT_EQ(connection->Open(server.Url("/").c_str(), kNetworkOpenRead, 0, -1, nullptr),
            kNetworkOk);
  EXPECT_EQ(sink.codes,
            (std::vector<int32_t>{kNetworkNotifyPreparingRequest, kNetworkNotifyResponseHeaders}));
  EXPECT_GE(sink.socketDuringRequest, 0);
  EXPECT_EQ(sink.name, "Night Radio");
  const std::string request = server.Requests()[0];
  EXPECT_NE(request.find("\r\nx-offer: 7\r\n"), std::string::npos);
  EXPECT_EQ(request.find("x-gone"), std::string::npos);

  // Every response header, in order, and a clear answer past them.
  std::vector<std::string> names;
  NarrowString name, value;
  for (uint32_t i = 0; connection->GetResponseHeaderAt(i, &name, &value) == kOk; ++i) {
    names.push_back(name.c_str());
  }
  EXPECT_EQ(names.size(), connection->ResponseHeaderCount());
  EXPECT_NE(std::find(names.begin(), names.end(), "x-extra"), names.end());
  EXPECT_EQ(connection->GetResponseHeader("x-absent", &value), kErrNotFound);
  EXPECT_EQ(connection->GetResponseHeaderAt(connection->ResponseHeaderCount(), &name, &value),
            kErrNotFound);
}

TEST(NetworkOpenTest, ReadWithoutWaitingTakesOnlyWhatHasCome) {
  const std::string body = PatternText(1000);
  HttpTestServer server([&](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = body + PatternText(5000);
    a.stallAfter = static_cast<int64_t>(body.size());
    return a;
  });
  RefPtr<MNetwork> connection = NewConnection();
  ASSERT_EQ(connection->Open(server.Url("/").c_str(), kNetworkOpenRead, 0, -1, nullptr),
            kNetworkOk);
  std::string got;
  char buffer[4096];
  const auto start = std::chrono::steady_clock::now();
  while (got.size() < body.size() && MsSince(start) < 5000) {
    const int64_t n = connection->Read(buffer, sizeof(buffer), 0, nullptr);
    if (n > 0) got.append(buffer, static_cast<size_t>(n));
    if (n < 0) {
      ASSERT_EQ(n, kNetworkNothingYet);
    }
  }
  EXPECT_TRUE(got == body);
  const auto quiet = std::chrono::steady_clock::now();
  EXPECT_EQ(connection->Read(buffer, sizeof(buffer), 0, nullptr), kNetworkNothingYet);
  EXPECT_LT(MsSince(quiet), 500);
  // The connection is still good for a waiting read.
  EXPECT_TRUE(connection->IsConnected());
}

}  // namespace
}  // namespace vk2::test
