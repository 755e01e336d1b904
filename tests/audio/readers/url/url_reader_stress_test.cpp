// The puller, the download thread, seeks and property readers at once: every packet still
// holds the bytes its position names. Opens and Closes racing on two threads: every Open ends
// opened or cancelled, and the reader is left closed.
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "tests/audio/readers/url/url_reader_env.h"

namespace vk2::test {
namespace {

using UrlReaderStressTest = UrlReaderEnv;

TEST_F(UrlReaderStressTest, SeeksBesideTheDownloadKeepEveryByteInPlace) {
  const std::string body = PatternText(300000);
  HttpTestServer server([&](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body = body;
    a.headers = "icy-title: Busy\r\n";
    return a;
  });
  Configure(0, 8192);
  ASSERT_EQ(Open(server.Url("/a")), 0);
  Play();
  std::atomic<bool> done{false};
  std::thread watcher([&] {
    while (!done) {
      double level = 0;
      props_->GetNumber(u"bufferlevel", &level);
      TString title;
      props_->GetString(u"streamtitle", &title);
      int64_t size = 0;
      reader_->GetSize(&size, nullptr);
    }
  });
  std::mt19937 random(7);
  for (int round = 0; round < 40; ++round) {
    int64_t position = 0;
    reader_->GetPosition(&position);
    int64_t to = position;
    switch (round % 4) {
      case 0:
        to = std::max<int64_t>(0, position - static_cast<int64_t>(random() % 6000));
        break;
      case 1:
        to = position + static_cast<int64_t>(random() % 12000);
        break;
      case 2:
        to = static_cast<int64_t>(random() % (body.size() - 5000));
        break;
      case 3:
        break;
    }
    to = std::min<int64_t>(to, static_cast<int64_t>(body.size()) - 5000);
    ASSERT_EQ(reader_->SetPosition(to), 0) << round;
    for (int i = 0; i < 3; ++i) {
      const Packet p = Next();
      ASSERT_EQ(p.result, 0);
      ASSERT_TRUE(p.bytes == body.substr(static_cast<size_t>(p.position), p.bytes.size()))
          << round << " at " << p.position;
    }
    if (round % 10 == 9) {
      // Stop and play again: what the ring held still comes next.
      ASSERT_EQ(reader_->StateChange(kChainStopped), 0);
      Play();
    }
  }
  done = true;
  watcher.join();
}

TEST_F(UrlReaderStressTest, ClosesRacingOpensLeaveNothingOpen) {
  const std::string body = PatternText(20000);
  HttpTestServer server([&](const std::string&, const std::string&) {
    // Long enough that some Closes land inside an Open, short enough that some miss it.
    std::this_thread::sleep_for(std::chrono::milliseconds(3));
    HttpAnswer a;
    a.body = body;
    return a;
  });
  reader_->SetChain(nullptr);
  Configure(0, 8192);
  std::mt19937 random(11);
  for (int round = 0; round < 30; ++round) {
    const int delayUs = static_cast<int>(random() % 12000);
    std::thread closer([&] {
      std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
      const int32_t r = reader_->Close();
      EXPECT_TRUE(r == 0 || r == kReaderNotOpen) << r;
    });
    const int32_t opened = Open(server.Url("/a"));
    closer.join();
    EXPECT_TRUE(opened == 0 || IsEntry(opened, kMsWrongState)) << opened;
    // A Close that came after the Open found it open; one that came before found nothing.
    const int32_t last = reader_->Close();
    EXPECT_TRUE(last == 0 || last == kReaderNotOpen) << last;
    int64_t total = 0;
    EXPECT_EQ(reader_->GetSize(&total, nullptr), kReaderNotOpen);
  }
}

}  // namespace
}  // namespace vk2::test
