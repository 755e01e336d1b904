// The capture sink on a virtual clock: buffer room, played position and captured data follow the
// clock exactly; pause holds time; flush drops what was not heard.
#include <gtest/gtest.h>

#include <numeric>

#include "foundation/bytes/byte_source.h"
#include "platform/audio/riff/riff_reader.h"
#include "platform/audio/sink/capture_sink.h"
#include "platform/fake_clock.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

constexpr PcmFormat kStereo48k{48000, 2, 16, false};

std::vector<uint8_t> Ramp(size_t bytes) {
  std::vector<uint8_t> v(bytes);
  std::iota(v.begin(), v.end(), uint8_t{1});
  return v;
}

class CaptureSinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_ = std::make_shared<FakeClock>();
    CaptureSinkOptions options;
    options.clock = clock_;
    options.extraDeviceDescriptions = {"Speakers", "Speakers"};
    sink_ = std::make_unique<CaptureSink>(options);
  }
  std::shared_ptr<FakeClock> clock_;
  std::unique_ptr<CaptureSink> sink_;
};

TEST_F(CaptureSinkTest, BufferFillsAndPlaysOutAtTheSampleRate) {
  ASSERT_TRUE(sink_->Open("", kStereo48k, 100));
  EXPECT_EQ(sink_->WritableBytes(), 4800u * 4);
  const std::vector<uint8_t> data = Ramp(30000);
  // Only whole frames of what fits are taken.
  EXPECT_EQ(sink_->Write(data.data(), data.size()), 19200);
  EXPECT_EQ(sink_->Write(data.data(), 3), 0);
  EXPECT_EQ(sink_->WritableBytes(), 0u);
  EXPECT_EQ(sink_->FramesPlayed(), 0u);

  clock_->Advance(50);
  EXPECT_EQ(sink_->FramesPlayed(), 2400u);
  EXPECT_EQ(sink_->WritableBytes(), 9600u);
  const std::vector<uint8_t> heard = sink_->Captured();
  EXPECT_EQ(heard, std::vector<uint8_t>(data.begin(), data.begin() + 9600));

  // Time beyond the data plays nothing more, and leaves no credit for later data.
  clock_->Advance(1000);
  EXPECT_EQ(sink_->FramesPlayed(), 4800u);
  ASSERT_EQ(sink_->Write(data.data(), 400), 400);
  EXPECT_EQ(sink_->FramesPlayed(), 4800u);
  clock_->AdvanceUs(1000);  // 48 frames
  EXPECT_EQ(sink_->FramesPlayed(), 4848u);
  EXPECT_EQ(sink_->FramesWritten(), 4900u);
}

TEST_F(CaptureSinkTest, FractionalFramesAddUpWithoutDrift) {
  ASSERT_TRUE(sink_->Open("", {44100, 1, 16, false}, 2000));
  const std::vector<uint8_t> data(44100 * 2, 0);
  ASSERT_EQ(sink_->Write(data.data(), data.size()), static_cast<int64_t>(data.size()));
  for (int i = 0; i < 1000; ++i)
    clock_->Advance(1);
  EXPECT_EQ(sink_->FramesPlayed(), 44100u);
}

TEST_F(CaptureSinkTest, PauseHoldsTimeAndFlushDropsWhatWasNotHeard) {
  ASSERT_TRUE(sink_->Open("", kStereo48k, 100));
  const std::vector<uint8_t> data = Ramp(19200);
  ASSERT_EQ(sink_->Write(data.data(), data.size()), 19200);
  clock_->Advance(10);
  ASSERT_TRUE(sink_->Pause(true));
  EXPECT_TRUE(sink_->IsPaused());
  clock_->Advance(500);
  EXPECT_EQ(sink_->FramesPlayed(), 480u);
  EXPECT_FALSE(sink_->Drain(0));  // a paused sink does not drain
  ASSERT_TRUE(sink_->Pause(false));
  clock_->Advance(10);
  EXPECT_EQ(sink_->FramesPlayed(), 960u);

  ASSERT_TRUE(sink_->Flush());
  EXPECT_EQ(sink_->FramesWritten(), 960u);
  EXPECT_EQ(sink_->WritableBytes(), 19200u);
  clock_->Advance(100);
  EXPECT_EQ(sink_->FramesPlayed(), 960u);
  EXPECT_EQ(sink_->Captured(), std::vector<uint8_t>(data.begin(), data.begin() + 960 * 4));
  EXPECT_TRUE(sink_->Drain(0));
}

TEST_F(CaptureSinkTest, DrainEndsWhenTheClockPlaysTheRest) {
  ASSERT_TRUE(sink_->Open("", kStereo48k, 100));
  const std::vector<uint8_t> data(4000, 7);
  ASSERT_EQ(sink_->Write(data.data(), data.size()), 4000);
  EXPECT_FALSE(sink_->Drain(0));
  clock_->Advance(21);
  EXPECT_TRUE(sink_->Drain(0));
  EXPECT_EQ(sink_->FramesPlayed(), sink_->FramesWritten());
}

TEST_F(CaptureSinkTest, ListsItsDevicesAndRefusesUnknownOnes) {
  std::vector<SinkDevice> devices;
  ASSERT_TRUE(sink_->Enumerate(devices));
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0].id, kDefaultSinkDevice);
  EXPECT_EQ(devices[1].description, "Speakers");
  EXPECT_EQ(devices[2].id, "capture2");
  EXPECT_TRUE(sink_->Open("capture2", kStereo48k, 50));
  EXPECT_EQ(sink_->OpenedDevice(), "capture2");
  EXPECT_FALSE(sink_->Open("capture9", kStereo48k, 50));
  EXPECT_FALSE(sink_->IsOpen());
  EXPECT_NE(sink_->LastError().find("capture9"), std::string::npos);
}

TEST_F(CaptureSinkTest, RefusesFormatsNoBackEndCarries) {
  const PcmFormat bad[] = {{48000, 2, 12, false},
                           {48000, 0, 16, false},
                           {48000, 2, 16, true},
                           {0, 2, 16, false},
                           {48000, 33, 16, false}};
  for (const PcmFormat& f : bad)
    EXPECT_FALSE(sink_->Open("", f, 50)) << DescribePcmFormat(f);
}

TEST_F(CaptureSinkTest, AFailedSinkRefusesWrites) {
  ASSERT_TRUE(sink_->Open("", kStereo48k, 50));
  sink_->SetFailed(true);
  const uint8_t frame[4] = {};
  EXPECT_EQ(sink_->Write(frame, 4), -1);
  EXPECT_EQ(sink_->WritableBytes(), 0u);
  EXPECT_FALSE(sink_->WaitWritable(0));
}

TEST_F(CaptureSinkTest, WritesWhatWasHeardToAWaveFile) {
  test::TempFolder dir;
  CaptureSinkOptions options;
  options.clock = clock_;
  options.wavPath = dir.File("out.wav");
  CaptureSink sink(options);
  ASSERT_TRUE(sink.Open("", {22050, 1, 8, false}, 100));
  const std::vector<uint8_t> data = Ramp(1001);
  ASSERT_EQ(sink.Write(data.data(), data.size()), 1001);
  clock_->Advance(1000);
  sink.Close();

  FileByteSource file;
  ASSERT_TRUE(file.Open(options.wavPath));
  RiffReader riff(file);
  RiffChunk wave;
  wave.formType = kFourCCWave;
  ASSERT_EQ(riff.Descend(&wave, nullptr, kRiffFindRiff), kRiffOk);
  EXPECT_EQ(wave.flags & kRiffChunkTruncated, 0u);
  RiffChunk chunk;
  chunk.id = kFourCCData;
  ASSERT_EQ(riff.Descend(&chunk, &wave, kRiffFindChunk), kRiffOk);
  ASSERT_EQ(chunk.size, 1001u);
  std::vector<uint8_t> read(chunk.size);
  ASSERT_EQ(riff.Read(read.data(), chunk.size), 1001);
  EXPECT_EQ(read, data);
}

}  // namespace
}  // namespace vk2
