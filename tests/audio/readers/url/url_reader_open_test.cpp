// How long an Open of the URL reader may take: a Close or Stop from another thread ends it at
// once, and its time limit covers the whole of it, whatever the server spreads its answer over.
#include <chrono>
#include <string>
#include <thread>

#include "interfaces/audio/audio_module.h"
#include "tests/audio/readers/url/url_reader_env.h"
#include "tests/fixtures/audio/capture_device.h"
#include "tests/platform/net/trickle_server.h"

namespace vk2::test {
namespace {

using Ms = std::chrono::milliseconds;

int64_t MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<Ms>(std::chrono::steady_clock::now() - start).count();
}

class UrlReaderOpenTest : public UrlReaderEnv {
 protected:
  const std::string body_ = PatternText(20000);
};

TEST_F(UrlReaderOpenTest, CloseOrStopFromAnotherThreadEndsAnOpenUnderWay) {
  HttpTestServer server([&](const std::string& path, const std::string&) {
    HttpAnswer a;
    a.body = body_;
    a.stall = path == "/silent";
    return a;
  });
  // As the chain asks a reader to open before it holds the reader.
  reader_->SetChain(nullptr);
  Configure(0, 8192);
  struct Case {
    const char* name;
    bool close;  // else a Stop
  };
  for (const Case k : {Case{"close", true}, Case{"stop", false}}) {
    SCOPED_TRACE(k.name);
    const size_t requestsBefore = server.RequestCount();
    std::chrono::steady_clock::time_point cancelledAt;
    int32_t cancelResult = -1;
    std::thread canceller([&] {
      while (server.RequestCount() == requestsBefore)
        std::this_thread::sleep_for(Ms(1));
      std::this_thread::sleep_for(Ms(100));
      cancelledAt = std::chrono::steady_clock::now();
      cancelResult = k.close ? reader_->Close() : reader_->StateChange(kChainStopped);
    });
    const int32_t opened = Open(server.Url("/silent"));
    canceller.join();
    EXPECT_TRUE(IsEntry(opened, kMsWrongState)) << opened;
    EXPECT_EQ(cancelResult, 0);
    EXPECT_LT(MsSince(cancelledAt), 1000);
    int64_t total = 0;
    EXPECT_EQ(reader_->GetSize(&total, nullptr), kReaderNotOpen);
    // The cancel belonged to that Open alone.
    ASSERT_EQ(Open(server.Url("/a")), 0);
    EXPECT_EQ(reader_->Close(), 0);
  }
}

// The chain asks its reader to open before the reader is one of its modules; a Close of the
// chain meanwhile still reaches it.
TEST_F(UrlReaderOpenTest, ClosingTheChainEndsItsReaderOpen) {
  HttpTestServer server([](const std::string&, const std::string&) {
    HttpAnswer a;
    a.stall = true;
    return a;
  });
  reader_->SetChain(nullptr);
  RefPtr<MMediaChain> chain = RefPtr<MMediaChain>::Adopt(registry_.System()->CreateChain());
  ASSERT_TRUE(chain);
  RefPtr<AudioEndpoint> endpoint = MakeCaptureEndpoint(std::make_shared<CaptureState>());
  ASSERT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
  ASSERT_EQ(chain->AddStreamReader(reader_.Get()), 0);
  std::chrono::steady_clock::time_point closedAt;
  std::thread closer([&] {
    while (server.RequestCount() == 0)
      std::this_thread::sleep_for(Ms(1));
    std::this_thread::sleep_for(Ms(100));
    closedAt = std::chrono::steady_clock::now();
    chain->Close();
  });
  const int32_t opened = chain->Open(Utf16(server.Url("/silent")).c_str(), 0x7FFFFFFF);
  closer.join();
  EXPECT_TRUE(IsEntry(opened, kMsWrongState)) << opened;
  EXPECT_LT(MsSince(closedAt), 1000);
  int64_t total = 0;
  EXPECT_EQ(reader_->GetSize(&total, nullptr), kReaderNotOpen);
}

TEST_F(UrlReaderOpenTest, OpenEndsAtItsTimeLimitAcrossEveryStep) {
  // Five redirects, each answered after 150 ms, then the body.
  HttpTestServer redirects([&](const std::string& path, const std::string&) {
    std::this_thread::sleep_for(Ms(150));
    HttpAnswer a;
    const int hop = path.size() > 1 ? path[1] - '0' : 0;
    if (hop < 5) {
      a.status = 302;
      a.location = '/' + std::to_string(hop + 1);
    } else {
      a.body = body_;
    }
    return a;
  });
  // Each request answered after 300 ms: the probe and the request that follows it share one
  // limit.
  HttpTestServer slow([&](const std::string&, const std::string&) {
    std::this_thread::sleep_for(Ms(300));
    HttpAnswer a;
    a.body = body_;
    return a;
  });
  TrickleServer trickledGreeting("", "220-welcome\r\n", 20);
  Configure(0, 8192);
  struct Case {
    const char* name;
    std::string url;
    uint32_t openMs;
  };
  const Case cases[] = {
      {"slow redirects", redirects.Url("/0"), 400},
      {"slow probe and request", slow.Url("/a"), 450},
      {"trickled FTP greeting", trickledGreeting.Url("ftp"), 400},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    NetworkTimeouts limits;
    limits.openMs = k.openMs;
    reader_->SetTimeouts(limits);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Open(k.url), kReaderCannotOpen);
    const int64_t took = MsSince(start);
    EXPECT_GE(took, k.openMs - 50);
    EXPECT_LT(took, 1500);
  }
  // Given the time, both HTTP servers lead to the body.
  reader_->SetTimeouts(NetworkTimeouts{});
  for (const std::string& url : {redirects.Url("/0"), slow.Url("/a")}) {
    SCOPED_TRACE(url);
    ASSERT_EQ(Open(url), 0);
    EXPECT_TRUE(reader_->IsSeekable());
    Play();
    EXPECT_TRUE(Drain() == body_);
    reader_->StateChange(kChainStopped);
    EXPECT_EQ(reader_->Close(), 0);
  }
}

}  // namespace
}  // namespace vk2::test
