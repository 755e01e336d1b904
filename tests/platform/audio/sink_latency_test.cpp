// The latency a device stand-in asks of its sink: short until the stream has played a second,
// then the full length, once; an explicit latency never changes; a back end that cannot change
// it keeps the short one and is not asked again.
#include "platform/audio/sink/sink_latency.h"

#include <gtest/gtest.h>

#include <vector>

namespace vk2 {
namespace {

// Plays what the test says it has played; records the latencies asked of it.
class LatencySink final : public PcmSink {
 public:
  const char* BackendName() const override { return "test"; }
  bool Enumerate(std::vector<SinkDevice>&) override { return false; }
  bool Open(const std::string&, const PcmFormat& f, uint32_t) override {
    format_ = f;
    return open_ = true;
  }
  void Close() override { open_ = false; }
  bool SetBufferMillis(uint32_t millis) override {
    asked.push_back(millis);
    return canChange;
  }
  bool IsOpen() const override { return open_; }
  bool HasFailed() override { return false; }
  const PcmFormat& Format() const override { return format_; }
  size_t WritableBytes() override { return 0; }
  int64_t Write(const void*, size_t) override { return 0; }
  bool WaitWritable(uint32_t) override { return false; }
  uint64_t FramesWritten() override { return played; }
  uint64_t FramesPlayed() override { return played; }
  bool Pause(bool) override { return true; }
  bool IsPaused() const override { return false; }
  bool Flush() override { return true; }
  bool Drain(uint32_t) override { return true; }
  std::string LastError() const override { return {}; }

  uint64_t played = 0;
  bool canChange = true;
  std::vector<uint32_t> asked;

 private:
  PcmFormat format_;
  bool open_ = false;
};

TEST(SinkLatencyTest, StartsShortAndGrowsOnceAfterASecondPlayed) {
  struct Case {
    uint32_t asked, full, start, end;
  };
  for (const Case c : {Case{0, 250, 100, 250}, Case{0, 30, 30, 30}, Case{40, 250, 40, 40}}) {
    SCOPED_TRACE(c.asked * 1000 + c.full);
    LatencySink sink;
    sink.Open("", {8000, 1, 16, false}, 0);
    SinkLatency latency(c.asked, c.full);
    EXPECT_EQ(latency.Current(), c.start);
    sink.played = 7999;
    EXPECT_FALSE(latency.Step(sink));
    EXPECT_EQ(latency.Current(), c.start);
    sink.played = 8000;
    EXPECT_EQ(latency.Step(sink), c.start != c.end);
    EXPECT_EQ(latency.Current(), c.end);
    EXPECT_FALSE(latency.Step(sink));
    EXPECT_EQ(sink.asked.size(), c.start != c.end ? 1u : 0u);
    latency.Restart();
    EXPECT_EQ(latency.Current(), c.start);
  }
}

TEST(SinkLatencyTest, ABackEndThatCannotChangeItKeepsTheShortOne) {
  LatencySink sink;
  sink.canChange = false;
  sink.Open("", {8000, 1, 16, false}, 0);
  SinkLatency latency(0, 250);
  sink.played = 8000;
  EXPECT_FALSE(latency.Step(sink));
  EXPECT_FALSE(latency.Step(sink));
  EXPECT_EQ(latency.Current(), 100u);
  EXPECT_EQ(sink.asked, std::vector<uint32_t>{250});
  latency.Restart();
  EXPECT_EQ(latency.Current(), 100u);
}

}  // namespace
}  // namespace vk2
