#include <filesystem>
#include <string>
#include <thread>

#include "tests/audio/readers/url/url_reader_env.h"

namespace vk2::test {
namespace {

constexpr size_t kBody = 50000;

HttpTestServer::Handler Serve(const std::string& body, bool ranges, bool length = true) {
  return [body, ranges, length](const std::string& path, const std::string&) {
    HttpAnswer a;
    a.body = body;
    a.ranges = ranges;
    a.sendLength = length;
    if (path == "/missing") a.status = 404;
    return a;
  };
}

class UrlReaderTest : public UrlReaderEnv {
 protected:
  const std::string body_ = PatternText(kBody);
};

TEST_F(UrlReaderTest, ClaimsStreamSchemesInAnyCase) {
  struct Case {
    const char16_t* url;
    uint32_t score;
    int32_t cost;
  };
  const Case cases[] = {{u"http://h/a", 100, 768}, {u"HTTP://h/a", 100, 768},
                        {u"raw://h:1", 100, 768},  {u"Ftp://h/a", 100, 1024},
                        {u"file:///x.ogg", 0, 0},  {u"https://h/a", 0, 0}};
  for (const Case& c : cases) {
    uint32_t s1 = 9, s2 = 9;
    EXPECT_EQ(reader_->CanRead(c.url, &s1, &s2), 0);
    EXPECT_EQ(s1, c.score);
    EXPECT_EQ(s2, c.score);
    EXPECT_EQ(reader_->GetAccessCost(c.url), c.cost);
  }
  EXPECT_EQ(reader_->Open(u"file:///x"), kReaderWrongScheme);
}

// Every way the bytes can come: straight from the connection, through the download ring,
// through the disk cache; from a server that honours ranges and from one that does not.
TEST_F(UrlReaderTest, ReadsBodiesBitExactEveryWay) {
  struct Case {
    const char* name;
    bool ranges;
    int32_t diskBuffer;
    int32_t bufferSize;
    bool play;
  };
  const Case cases[] = {{"direct", true, 0, 0, true},
                        {"ring", true, 0, 8192, true},
                        {"cache", true, 1, 65536, true},
                        {"no ranges, ring", false, 0, 65536, true},
                        {"format detection", false, 0, 65536, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HttpTestServer server(Serve(body_, c.ranges));
    Configure(c.diskBuffer, c.bufferSize, 0.5);
    ASSERT_EQ(Open(server.Url("/a.ogg")), 0);
    EXPECT_EQ(reader_->IsSeekable(), c.ranges);
    EXPECT_EQ(reader_->IsCaching(), c.diskBuffer != 0);
    int64_t total = 0;
    EXPECT_EQ(reader_->GetSize(&total, nullptr), 0);
    EXPECT_EQ(total, static_cast<int64_t>(kBody));
    if (c.play) {
      Play();
    } else {
      ASSERT_EQ(reader_->StateChange(kChainFormatDetection), 0);
    }
    EXPECT_EQ(reader_->IsRingInUse(), c.play && c.bufferSize > 0 && c.diskBuffer == 0);
    const Packet first = Next();
    EXPECT_EQ(first.flags & kPacketFirst, kPacketFirst);
    EXPECT_EQ(first.position, 0.0);
    Packet end;
    const std::string rest = Drain(&end);
    EXPECT_TRUE(first.bytes + rest == body_);
    EXPECT_TRUE(IsEntry(end.result, kMsEndOfData));
    int64_t position = 0;
    reader_->GetPosition(&position);
    EXPECT_EQ(position, static_cast<int64_t>(kBody));
    const std::string cachePath = reader_->CachePath();
    reader_->StateChange(kChainStopped);
    EXPECT_EQ(reader_->Close(), 0);
    if (c.diskBuffer) {
      EXPECT_FALSE(std::filesystem::exists(cachePath));
    }
  }
}

TEST_F(UrlReaderTest, LastShortPacketEndsTheStream) {
  HttpTestServer server(Serve(body_.substr(0, 2500), true));
  Configure(0, 0);
  ASSERT_EQ(Open(server.Url("/a")), 0);
  EXPECT_EQ(Next().flags, static_cast<uint32_t>(kPacketFirst));
  EXPECT_EQ(Next().flags, 0u);
  const Packet last = Next();
  EXPECT_EQ(last.bytes.size(), 452u);
  EXPECT_EQ(last.flags, static_cast<uint32_t>(kPacketLast));
  EXPECT_TRUE(IsEntry(Next().result, kMsEndOfData));
}

TEST_F(UrlReaderTest, LiveStreamIsNeitherSeekableNorCachedButRewindsToItsStart) {
  HttpTestServer server(Serve(body_, false, false));
  ASSERT_EQ(Open(server.Url("/live")), 0);  // disk cache on by default
  EXPECT_FALSE(reader_->IsSeekable());
  EXPECT_FALSE(reader_->IsCaching());
  EXPECT_TRUE(IsSoundIo(reader_->GetSize(nullptr, nullptr), kSoundIoUnknownSize));
  EXPECT_TRUE(IsEntry(reader_->SetPosition(100), kMsCannotSeek));
  // A decoder probes the headers, then the chain rewinds for the real open.
  ASSERT_EQ(reader_->StateChange(kChainFormatDetection), 0);
  std::string probed;
  for (int i = 0; i < 20; ++i)
    probed += Next().bytes;
  ASSERT_EQ(reader_->StateChange(kChainStopped), 0);
  const size_t requests = server.RequestCount();
  ASSERT_EQ(reader_->SetPosition(0), 0);
  Play();
  const Packet again = Next();
  EXPECT_EQ(again.position, 0.0);
  EXPECT_EQ(again.flags & kPacketDiscontinuity, kPacketDiscontinuity);
  EXPECT_TRUE(again.bytes + Drain() == body_);
  EXPECT_EQ(server.RequestCount(), requests);
}

TEST_F(UrlReaderTest, SmallStepsUseHistoryOrReadOnLargeOnesReconnect) {
  HttpTestServer server(Serve(body_, true));
  Configure(0, 0);
  ASSERT_EQ(Open(server.Url("/a")), 0);
  for (int i = 0; i < 10; ++i)
    Next();
  const int32_t opened = reader_->ConnectionsOpened();
  struct Step {
    int64_t to;
    bool reconnects;
  };
  const Step steps[] = {
      {10240 - 4000, false}, {6240 + 10000, false}, {16240 + 20000, true}, {100, true}};
  int32_t expected = opened;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.to);
    ASSERT_EQ(reader_->SetPosition(s.to), 0);
    if (s.reconnects) ++expected;
    EXPECT_EQ(reader_->ConnectionsOpened(), expected);
    const Packet p = Next();
    EXPECT_EQ(p.position, static_cast<double>(s.to));
    EXPECT_EQ(p.flags & kPacketDiscontinuity, kPacketDiscontinuity);
    EXPECT_TRUE(p.bytes == body_.substr(static_cast<size_t>(s.to), 1024));
  }
  EXPECT_EQ(reader_->SetPosition(static_cast<int64_t>(kBody) + 5), kReaderOutOfRange);
}

// A reconnect while the download thread waits on a full ring: nothing of the old connection
// and nothing of the new one is lost or misplaced.
TEST_F(UrlReaderTest, ReconnectWithAFullRingKeepsTheOrder) {
  HttpTestServer server(Serve(body_, true));
  Configure(0, 8192);
  ASSERT_EQ(Open(server.Url("/a")), 0);
  Play();
  EXPECT_TRUE(Next().bytes == body_.substr(0, 1024));
  for (int64_t to : {int64_t{45000}, int64_t{30000}, int64_t{2000}}) {
    SCOPED_TRACE(to);
    // Let the thread fill the ring first.
    for (int i = 0; i < 2000 && reader_->ConnectionsOpened() > 0; ++i) {
      double level = 0;
      props_->GetNumber(u"bufferlevel", &level);
      if (level > 0.4) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(reader_->SetPosition(to), 0);
    const Packet p = Next();
    EXPECT_EQ(p.position, static_cast<double>(to));
    EXPECT_TRUE(p.bytes == body_.substr(static_cast<size_t>(to), 1024));
  }
  EXPECT_TRUE(Drain() == body_.substr(3024));
}

TEST_F(UrlReaderTest, SeeksInTheCacheAndReadsAtOffsetsWithoutMovingTheStream) {
  HttpTestServer server(Serve(body_, true));
  ASSERT_EQ(Open(server.Url("/a")), 0);
  ASSERT_TRUE(reader_->IsCaching());
  Play();
  Next();
  // The cache fills in the background.
  int64_t total = 0, available = 0;
  for (int i = 0; i < 5000 && available < total + 1; ++i) {
    reader_->GetSize(&total, &available);
    if (available == total) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_EQ(available, static_cast<int64_t>(kBody));
  ASSERT_EQ(reader_->SetPosition(40000), 0);
  EXPECT_TRUE(Next().bytes == body_.substr(40000, 1024));
  ASSERT_EQ(reader_->SetPosition(3), 0);
  char at[100];
  uint32_t count = 0;
  ASSERT_EQ(reader_->ReadAt(30000, at, sizeof(at), &count), 0);
  EXPECT_EQ(count, sizeof(at));
  EXPECT_EQ(std::string(at, sizeof(at)), body_.substr(30000, 100));
  EXPECT_TRUE(Next().bytes == body_.substr(3, 1024));
}

TEST_F(UrlReaderTest, ReadAtLeavesALiveRingAlone) {
  HttpTestServer server(Serve(body_, true));
  Configure(0, 16384);
  ASSERT_EQ(Open(server.Url("/a")), 0);
  Play();
  std::string got = Next().bytes;
  char at[3000];
  uint32_t count = 0;
  ASSERT_EQ(reader_->ReadAt(kBody - 3000, at, sizeof(at), &count), 0);
  ASSERT_EQ(count, sizeof(at));
  EXPECT_EQ(std::string(at, count), body_.substr(kBody - 3000));
  EXPECT_TRUE(got + Drain() == body_);
}

TEST_F(UrlReaderTest, OpenFailuresAreClear) {
  HttpTestServer server(Serve(body_, true));
  EXPECT_EQ(Open(server.Url("/missing")), kReaderCannotOpen);
  uint16_t port;
  {
    HttpTestServer gone(Serve(body_, true));
    port = gone.Port();
  }
  EXPECT_EQ(Open("http://127.0.0.1:" + std::to_string(port) + "/a"), kReaderCannotOpen);
  EXPECT_EQ(reader_->Close(), kReaderNotOpen);
  ASSERT_EQ(Open(server.Url("/a")), 0);
  EXPECT_EQ(Open(server.Url("/a")), kReaderAlreadyOpen);
}

// A server that goes away part way: the bytes that came are delivered, without the end mark,
// and the next packet reports the lost connection, never the end of the stream.
TEST_F(UrlReaderTest, ServerClosingMidStreamIsReportedNotEnded) {
  struct Case {
    const char* name;
    int32_t bufferSize;
    int32_t diskBuffer;
  };
  for (const Case& c : {Case{"ring", 65536, 0}, Case{"direct", 0, 0}, Case{"cache", 65536, 1}}) {
    SCOPED_TRACE(c.name);
    HttpTestServer server([&](const std::string&, const std::string&) {
      HttpAnswer a;
      a.body = body_;
      a.ranges = false;
      a.closeAfter = 5000;
      return a;
    });
    Configure(c.diskBuffer, c.bufferSize);
    ASSERT_EQ(Open(server.Url("/a")), 0);
    EXPECT_EQ(reader_->IsCaching(), c.diskBuffer != 0);
    Play();
    std::string got;
    Packet p;
    for (int i = 0; i < 100; ++i) {
      p = Next();
      if (p.result < 0) break;
      EXPECT_EQ(p.flags & kPacketLast, 0u);
      got += p.bytes;
    }
    EXPECT_TRUE(IsSoundIo(p.result, kSoundIoDisconnected)) << p.result;
    EXPECT_TRUE(got == body_.substr(0, 5000));
    reader_->StateChange(kChainStopped);
    reader_->Close();
  }
}

TEST_F(UrlReaderTest, StoppingTheChainEndsAPrebufferWaitAndABlockedRead) {
  HttpTestServer server([&](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = body_;
    a.ranges = false;
    a.sendLength = false;
    a.stallAfter = 3000;
    return a;
  });
  Configure(0, 65536, 0.75);
  ASSERT_EQ(Open(server.Url("/slow")), 0);
  std::thread stopper([&] {
    while (props_ && [&] {
      int32_t v = 0;
      props_->GetInteger(u"inprebuffer", &v);
      return v == 0;
    }()) {
      std::this_thread::yield();
    }
    chain_->AbortEvent()->Set();
  });
  ASSERT_EQ(reader_->StateChange(kChainPlaying), 0);
  stopper.join();
  // Abort still set: the read that would wait for more bytes gives up.
  std::string got;
  Packet p;
  for (int i = 0; i < 10; ++i) {
    p = Next();
    if (p.result < 0) break;
    got += p.bytes;
  }
  EXPECT_TRUE(IsEntry(p.result, kMsWrongState));
  EXPECT_TRUE(got == body_.substr(0, got.size()));
}

TEST_F(UrlReaderTest, SettingsKeepTheirLimits) {
  EXPECT_EQ(props_->SetInteger(u"buffersize", 4096), kReaderOutOfRange);
  EXPECT_EQ(props_->SetInteger(u"buffersize", 0), 0);
  EXPECT_EQ(props_->SetInteger(u"buffersize", 8192), 0);
  EXPECT_EQ(props_->SetNumber(u"prebuffer", 1.5), kReaderOutOfRange);
  EXPECT_EQ(props_->SetNumber(u"prebuffer", -0.1), kReaderOutOfRange);
  EXPECT_EQ(props_->SetNumber(u"prebuffer", 1.0), 0);
  EXPECT_EQ(Text(u"modulename"), "URLReader");
  EXPECT_EQ(Text(u"moduledescription"), "Internet Stream Reader");
  double warmup = 0;
  EXPECT_EQ(props_->GetNumber(u"warmuptime", &warmup), 0);
  EXPECT_EQ(warmup, 10.0);
  EXPECT_EQ(Text(u"url"), "<none>");
}

TEST_F(UrlReaderTest, MetadataComesFromTheResponseIcyNamesFirst) {
  HttpTestServer server([&](const std::string& path, const std::string&) {
    HttpAnswer a;
    a.body = body_;
    a.ranges = false;
    a.sendLength = false;
    a.icyStatus = true;
    a.headers = path == "/icy"
                    ? "icy-title: Night Radio\r\nicy-genre: Jazz\r\nicy-url: http://r/\r\n"
                      "x-audiocast-name: Other\r\n"
                    : "x-audiocast-name: Cast\r\nx-audiocast-genre: Rock\r\n";
    return a;
  });
  ASSERT_EQ(Open(server.Url("/icy")), 0);
  EXPECT_EQ(Text(u"streamtitle"), "Night Radio");
  EXPECT_EQ(Text(u"genre"), "Jazz");
  EXPECT_EQ(Text(u"streamurl"), "http://r/");
  EXPECT_EQ(Text(u"url"), server.Url("/icy"));
  reader_->Close();
  ASSERT_EQ(Open(server.Url("/cast")), 0);
  EXPECT_EQ(Text(u"streamtitle"), "Cast");
  EXPECT_EQ(Text(u"genre"), "Rock");
  EXPECT_EQ(Text(u"streamurl"), "<none>");
}

}  // namespace
}  // namespace vk2::test
