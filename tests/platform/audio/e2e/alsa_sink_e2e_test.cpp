// The ALSA back end on ALSA's own "null" device: it takes sound at the device's pace, drains,
// pauses and flushes without error, and reports devices it cannot open.
#include <gtest/gtest.h>

#include <chrono>

#include "platform/audio/sink/alsa_sink.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

constexpr PcmFormat kFormat{44100, 2, 16, false};

TEST(AlsaSinkE2eTest, ListsTheNullDevice) {
  AlsaSink sink;
  std::vector<SinkDevice> devices;
  ASSERT_TRUE(sink.Enumerate(devices)) << sink.LastError();
  ASSERT_FALSE(devices.empty());
  EXPECT_EQ(devices[0].id, kDefaultSinkDevice);
  bool null = false;
  for (const SinkDevice& d : devices) {
    null = null || d.id == "null";
    EXPECT_EQ(d.description.find('\n'), std::string::npos) << d.id;
  }
  EXPECT_TRUE(null);
}

TEST(AlsaSinkE2eTest, PlaysIntoTheNullDevice) {
  AlsaSink sink;
  ASSERT_TRUE(sink.Open("null", kFormat, 100)) << sink.LastError();
  const std::vector<uint8_t> bytes = test::FromS16(test::MakeSignal(22050, 2, 44100, 0.5));
  size_t done = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (done < bytes.size() && std::chrono::steady_clock::now() < deadline) {
    ASSERT_FALSE(sink.HasFailed()) << sink.LastError();
    sink.WaitWritable(100);
    const int64_t n = sink.Write(bytes.data() + done, bytes.size() - done);
    ASSERT_GE(n, 0) << sink.LastError();
    done += static_cast<size_t>(n);
  }
  ASSERT_EQ(done, bytes.size());
  ASSERT_TRUE(sink.Drain(5000)) << sink.LastError();
  EXPECT_EQ(sink.FramesWritten(), 22050u);
  EXPECT_EQ(sink.FramesPlayed(), 22050u);
  EXPECT_FALSE(sink.HasFailed());
}

TEST(AlsaSinkE2eTest, PauseFlushAndResumeWork) {
  AlsaSink sink;
  ASSERT_TRUE(sink.Open("null", kFormat, 200)) << sink.LastError();
  const std::vector<uint8_t> bytes(4000, 0);
  ASSERT_TRUE(sink.Pause(true));
  EXPECT_TRUE(sink.IsPaused());
  ASSERT_EQ(sink.Write(bytes.data(), bytes.size()), 4000);
  EXPECT_FALSE(sink.Drain(50));  // paused: not drained
  ASSERT_TRUE(sink.Flush());
  EXPECT_EQ(sink.FramesWritten(), sink.FramesPlayed());
  ASSERT_TRUE(sink.Pause(false));
  ASSERT_EQ(sink.Write(bytes.data(), bytes.size()), 4000);
  EXPECT_TRUE(sink.Drain(5000)) << sink.LastError();
  EXPECT_EQ(sink.FramesPlayed(), sink.FramesWritten());
}

TEST(AlsaSinkE2eTest, EveryFormatOpensOnNull) {
  const PcmFormat formats[] = {{8000, 1, 8, false},   {44100, 2, 16, false}, {96000, 2, 24, false},
                               {48000, 6, 16, false}, {48000, 2, 32, false}, {48000, 2, 32, true}};
  for (const PcmFormat& f : formats) {
    AlsaSink sink;
    EXPECT_TRUE(sink.Open("null", f, 50)) << DescribePcmFormat(f) << ": " << sink.LastError();
  }
}

TEST(AlsaSinkE2eTest, AMissingDeviceFailsWithAReason) {
  AlsaSink sink;
  EXPECT_FALSE(sink.Open("hw:97,0", kFormat, 50));
  EXPECT_FALSE(sink.IsOpen());
  EXPECT_NE(sink.LastError().find("hw:97,0"), std::string::npos);
  // Not reached: no answer about the format.
  EXPECT_FALSE(sink.RefusedFormat());
  EXPECT_EQ(sink.Write("abcd", 4), -1);
}

TEST(AlsaSinkE2eTest, AFormatNoSinkCarriesIsRefusedAsAFormat) {
  AlsaSink sink;
  EXPECT_FALSE(sink.Open("null", {48000, 2, 20, false}, 50));
  EXPECT_TRUE(sink.RefusedFormat());
  // A later failure of another kind is not taken for a refusal.
  EXPECT_FALSE(sink.Open("hw:97,0", kFormat, 50));
  EXPECT_FALSE(sink.RefusedFormat());
}

}  // namespace
}  // namespace vk2
