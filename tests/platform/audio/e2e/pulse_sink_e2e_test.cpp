// The PulseAudio back end against a real server: a known signal played into the null sink is
// found in the sink's monitor, whole and at the same level; the played position, pause and
// flush agree with the server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/audio/sink/pulse_sink.h"
#include "platform/registry/registry_file.h"
#include "tests/support/audio_compare.h"
#include "tests/support/monitor_recorder.h"
#include "tests/support/private_null_sink.h"

namespace vk2 {
namespace {

constexpr PcmFormat kFormat{48000, 2, 16, false};

class PulseSinkE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PulseServerAnswers(2000)) GTEST_SKIP() << "no PulseAudio server";
    ASSERT_TRUE(nullSink_.Loaded()) << nullSink_.Error();
  }

  // Writes all of `bytes`, waiting for room as a device thread would.
  static void Play(PcmSink& sink, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (done < bytes.size() && std::chrono::steady_clock::now() < deadline) {
      sink.WaitWritable(100);
      const int64_t n = sink.Write(bytes.data() + done, bytes.size() - done);
      ASSERT_GE(n, 0) << sink.LastError();
      done += static_cast<size_t>(n);
    }
    ASSERT_EQ(done, bytes.size());
  }

  test::PrivateNullSink nullSink_;
};

TEST_F(PulseSinkE2eTest, ListsTheServersSinksWithDescriptions) {
  PulseSink sink;
  std::vector<SinkDevice> devices;
  ASSERT_TRUE(sink.Enumerate(devices)) << sink.LastError();
  ASSERT_GE(devices.size(), 2u);
  EXPECT_EQ(devices[0].id, kDefaultSinkDevice);
  for (const SinkDevice& d : devices)
    EXPECT_FALSE(d.description.empty()) << d.id;
}

TEST_F(PulseSinkE2eTest, ASignalReachesTheSinkWholeAndAtItsLevel) {
  if (!test::HaveTool("parec")) GTEST_SKIP() << "parec not installed";
  PulseSink sink;
  ASSERT_TRUE(sink.Open("", kFormat, 100)) << sink.LastError();
  test::MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sink.ConnectedSinkName(), kFormat.sampleRate, 2));

  const std::vector<int16_t> signal = test::MakeSignal(48000, 2, 48000, 0.5);
  Play(sink, test::FromS16(signal));
  ASSERT_TRUE(sink.Drain(5000)) << sink.LastError();
  EXPECT_EQ(sink.FramesWritten(), 48000u);
  EXPECT_EQ(sink.FramesPlayed(), 48000u);

  const std::vector<int16_t> heard = recorder.Stop();
  // The monitor may miss a few milliseconds at the very start (the server rewinds to start the
  // stream at once); from there on the sound must be all there.
  for (uint32_t channel : {0u, 1u}) {
    const test::Match m = test::FindSignal(heard, signal, 2, channel, 4800, 4800);
    EXPECT_GT(m.correlation, 0.999) << "channel " << channel;
    ASSERT_GE(m.frame + 4800, 0);
    ASSERT_LE(static_cast<size_t>(m.frame + 48000) * 2, heard.size());
    EXPECT_NEAR(test::EnergyRatioDb(heard, m.frame + 4800, signal, 4800, 2), 0.0, 0.1);
  }
}

TEST_F(PulseSinkE2eTest, PauseHoldsThePlayedPositionAndFlushDropsTheRest) {
  PulseSink sink;
  ASSERT_TRUE(sink.Open("", kFormat, 2000)) << sink.LastError();
  const std::vector<uint8_t> bytes = test::FromS16(test::MakeSignal(48000, 2, 48000, 0.3));
  ASSERT_GT(sink.Write(bytes.data(), bytes.size()), 0);
  // Let some of it play, then hold.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (sink.FramesPlayed() < 2400 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_TRUE(sink.Pause(true)) << sink.LastError();
  EXPECT_TRUE(sink.IsPaused());
  const uint64_t held = sink.FramesPlayed();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_EQ(sink.FramesPlayed(), held);
  EXPECT_FALSE(sink.Drain(100));  // a paused stream does not drain
  ASSERT_TRUE(sink.Pause(false));

  ASSERT_TRUE(sink.Flush()) << sink.LastError();
  EXPECT_LE(sink.FramesWritten(), held + 48000 / 2);
  EXPECT_LT(sink.FramesWritten(), 48000u);
  ASSERT_TRUE(sink.Drain(3000));
  EXPECT_EQ(sink.FramesPlayed(), sink.FramesWritten());
}

TEST_F(PulseSinkE2eTest, AnUnknownSinkFailsWithAReason) {
  PulseSink sink;
  EXPECT_FALSE(sink.Open("vk2_no_such_sink", kFormat, 100));
  EXPECT_FALSE(sink.IsOpen());
  EXPECT_FALSE(sink.LastError().empty());
  // The sink is missing; the format was never in question.
  EXPECT_FALSE(sink.RefusedFormat());
  EXPECT_EQ(sink.Write("abcd", 4), -1);
}

TEST_F(PulseSinkE2eTest, FormatsTheServerCannotCarryAreRefusedAsFormats) {
  // 20-bit samples no sink takes; 768 kHz is ours to describe but above the server's limit.
  const PcmFormat formats[] = {{48000, 2, 20, false}, {768000, 2, 16, false}};
  for (const PcmFormat& f : formats) {
    PulseSink sink;
    EXPECT_FALSE(sink.Open("", f, 50)) << DescribePcmFormat(f);
    EXPECT_TRUE(sink.RefusedFormat()) << DescribePcmFormat(f);
  }
}

TEST_F(PulseSinkE2eTest, EveryFormatOpens) {
  const PcmFormat formats[] = {{8000, 1, 8, false},   {44100, 2, 16, false}, {96000, 2, 24, false},
                               {48000, 6, 16, false}, {48000, 2, 32, false}, {48000, 8, 32, true}};
  for (const PcmFormat& f : formats) {
    PulseSink sink;
    EXPECT_TRUE(sink.Open("", f, 50)) << DescribePcmFormat(f) << ": " << sink.LastError();
  }
}

TEST(SinkChoiceTest, TheEnvironmentPicksTheBackEnd) {
  setenv("VK2_AUDIO_BACKEND", "capture", 1);
  EXPECT_EQ(ChooseSinkBackend(SinkBackend::kPulse), SinkBackend::kCapture);
  EXPECT_STREQ(CreatePcmSink()->BackendName(), "capture");
  setenv("VK2_AUDIO_BACKEND", "alsa", 1);
  EXPECT_STREQ(CreatePcmSink()->BackendName(), "alsa");
  setenv("VK2_AUDIO_BACKEND", "bogus", 1);
  EXPECT_EQ(ChooseSinkBackend(SinkBackend::kCapture), SinkBackend::kCapture);
  unsetenv("VK2_AUDIO_BACKEND");
  EXPECT_EQ(ChooseSinkBackend(SinkBackend::kAlsa), SinkBackend::kAlsa);
  // Left to itself it takes PulseAudio when a server answers.
  EXPECT_EQ(ChooseSinkBackend(), PulseServerAnswers() ? SinkBackend::kPulse : SinkBackend::kAlsa);
  SinkBackend b;
  EXPECT_TRUE(ParseSinkBackend("pipewire", b));
  EXPECT_EQ(b, SinkBackend::kPulse);
  EXPECT_FALSE(ParseSinkBackend("oss", b));
}

TEST(SinkChoiceTest, TheStoredSettingPicksTheBackEndUnlessTheEnvironmentDoes) {
  char folder[] = "/tmp/vk2-sink-choice-XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string registryPath = std::string(folder) + "/registry.xml";
  setenv("VK2_REGISTRY", registryPath.c_str(), 1);
  unsetenv("VK2_AUDIO_BACKEND");
  using registry::RegWriteString;
  using registry::RootKey;
  EXPECT_EQ(ConfiguredSinkBackend(), SinkBackend::kAuto);  // nothing stored
  const struct {
    const char* stored;
    SinkBackend expected;
  } cases[] = {{"alsa", SinkBackend::kAlsa},
               {"capture", SinkBackend::kCapture},
               {"pipewire", SinkBackend::kPulse},
               {"oss", SinkBackend::kAuto}};
  for (const auto& c : cases) {
    ASSERT_TRUE(
        RegWriteString(RootKey::kCurrentUser, "Software\\Velkora2\\Sound", "backend", c.stored));
    EXPECT_EQ(ConfiguredSinkBackend(), c.expected) << c.stored;
  }
  ASSERT_TRUE(
      RegWriteString(RootKey::kCurrentUser, "Software\\Velkora2\\Sound", "backend", "capture"));
  EXPECT_STREQ(DefaultPcmSinkFactory()()->BackendName(), "capture");
  setenv("VK2_AUDIO_BACKEND", "alsa", 1);
  EXPECT_STREQ(DefaultPcmSinkFactory()()->BackendName(), "alsa");
  unsetenv("VK2_AUDIO_BACKEND");
  unsetenv("VK2_REGISTRY");
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vk2
