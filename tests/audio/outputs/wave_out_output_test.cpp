#include "audio/outputs/waveout/wave_out_output.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "audio/common/format_record.h"
#include "tests/audio/outputs/capture_devices.h"

namespace vk2 {
namespace {

class WaveOutOutputTest : public ::testing::Test {
 protected:
  void Make(double speed) {
    device_ = RefPtr<WaveOutOutput>(
        new WaveOutOutput(test::CaptureFactory(std::make_shared<ScaledClock>(speed))));
  }
  CaptureSink& Sink() { return *static_cast<CaptureSink*>(device_->SinkForTesting()); }

  RefPtr<WaveOutOutput> device_;
};

TEST_F(WaveOutOutputTest, BuffersAreWholeBlocksAndAtLeastTwo) {
  Make(1.0);
  auto cd = MakePcmFormat(44100, 2, 16);
  EXPECT_EQ(WaveOutOutput::BlocksFor({44100, 2, 16, false}, 30), 1u);  // 5292 bytes
  EXPECT_FALSE(device_->Open(cd.Get(), 0.03));
  ASSERT_TRUE(device_->Open(cd.Get(), 0.05));  // 8820 bytes
  EXPECT_EQ(device_->BufferSize(), 8192u);
  EXPECT_TRUE(device_->NoPollDelay());
  EXPECT_EQ(device_->BytesPerSecond(), 176400u);
}

TEST_F(WaveOutOutputTest, OnlyUnsignedEightAndSignedSixteenBitOpen) {
  Make(1.0);
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(8000, 1, 8, false, false).Get()), 1);
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(44100, 2, 16).Get()), 1);
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(44100, 2, 32, true).Get()), 0);
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(44100, 2, 20).Get()), 0);
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(44100, 2, 24).Get()), 0);
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(44100, 2, 8, false, true).Get()), 0);
  EXPECT_FALSE(device_->Open(MakePcmFormat(44100, 2, 32, true).Get(), 1.0));
}

TEST_F(WaveOutOutputTest, LevelsPutTheBalanceOnTheSideItNames) {
  struct Case {
    double volume, balance;
    uint32_t left, right;
  };
  for (const Case& c :
       {Case{1.0, 0.0, 65535, 65535}, Case{1.0, 1.0, 0, 65535}, Case{1.0, -1.0, 65535, 0},
        Case{0.5, 0.0, 32767, 32767}, Case{1.0, 0.5, 32767, 65535}, Case{0.0, 0.3, 0, 0}}) {
    const uint32_t levels = WaveOutOutput::Levels(c.volume, c.balance);
    EXPECT_EQ(levels & 0xFFFF, c.left) << c.volume << " " << c.balance;
    EXPECT_EQ(levels >> 16, c.right) << c.volume << " " << c.balance;
  }
}

TEST_F(WaveOutOutputTest, FreeSpaceCountsThePartBlockAndNeverReadsFullAsEmpty) {
  Make(1.0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 8, false, false).Get(), 1.0));
  ASSERT_EQ(device_->BufferSize(), 8192u);  // (8000 + 2048) / 4096 = 2 blocks
  EXPECT_EQ(device_->FreeSpace(), 8192u);
  std::vector<uint8_t> bytes(4096, 0x90);
  ASSERT_TRUE(device_->Write(bytes.data(), 4096));  // one block queued (the device is paused)
  EXPECT_EQ(device_->FreeSpace(), 4096u);
  ASSERT_TRUE(device_->Write(bytes.data(), 1000));
  EXPECT_EQ(device_->FreeSpace(), 3096u);
  ASSERT_TRUE(device_->Write(bytes.data(), 3096));
  EXPECT_EQ(device_->FreeSpace(), 0u);
}

TEST_F(WaveOutOutputTest, PlaysWhatWasWrittenAndPadsTheLastBlockWithSilence) {
  Make(20.0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 8, false, false).Get(), 1.0));
  std::vector<uint8_t> tone(6000);
  for (size_t i = 0; i < tone.size(); ++i)
    tone[i] = static_cast<uint8_t>(0x40 + i % 0x80);
  ASSERT_TRUE(device_->Write(tone.data(), 4000));
  ASSERT_TRUE(device_->Play());
  ASSERT_TRUE(device_->Write(tone.data() + 4000, 2000));
  ASSERT_TRUE(device_->Drain(nullptr));
  const auto heard = Sink().Captured();
  ASSERT_EQ(heard.size(), 8192u);
  EXPECT_TRUE(std::equal(tone.begin(), tone.end(), heard.begin()));
  EXPECT_TRUE(std::all_of(heard.begin() + 6000, heard.end(), [](uint8_t b) { return b == 0x80; }));
  // Drained and reset: the whole buffer is free again.
  EXPECT_EQ(device_->FreeSpace(), 8192u);
}

TEST_F(WaveOutOutputTest, FlushKeepsAPausedDevicePaused) {
  Make(20.0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 16).Get(), 1.0));
  std::vector<uint8_t> bytes(8192, 0x11);
  ASSERT_TRUE(device_->Write(bytes.data(), 6000));
  ASSERT_TRUE(device_->Flush());
  EXPECT_EQ(device_->FreeSpace(), device_->BufferSize());
  EXPECT_TRUE(Sink().IsPaused());
  ASSERT_TRUE(device_->Play());
  EXPECT_FALSE(Sink().IsPaused());
  ASSERT_TRUE(device_->Flush());
  EXPECT_FALSE(Sink().IsPaused());
  EXPECT_TRUE(Sink().Captured().empty() || Sink().Captured()[0] != 0x11);
}

TEST_F(WaveOutOutputTest, ChangeFormatGoesOnPlayingUnlessPaused) {
  Make(20.0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 16).Get(), 1.0));
  ASSERT_TRUE(device_->Play());
  std::vector<uint8_t> bytes(3000, 0x22);
  ASSERT_TRUE(device_->Write(bytes.data(), 3000));
  auto stereo = MakePcmFormat(16000, 2, 16);
  ASSERT_TRUE(device_->ChangeFormat(stereo.Get()));
  EXPECT_EQ(device_->FormatDiffers(stereo.Get()), 0);
  EXPECT_EQ(device_->Channels(), 2u);
  EXPECT_FALSE(Sink().IsPaused());
  ASSERT_TRUE(device_->Pause());
  ASSERT_TRUE(device_->ChangeFormat(MakePcmFormat(8000, 1, 16).Get()));
  EXPECT_TRUE(Sink().IsPaused());
}

TEST_F(WaveOutOutputTest, CloseWithBlocksQueuedIsSafe) {
  Make(0.1);
  ASSERT_TRUE(device_->Open(MakePcmFormat(44100, 2, 16).Get(), 0.2));
  ASSERT_TRUE(device_->Play());
  std::vector<uint8_t> bytes(16384, 0x33);
  ASSERT_TRUE(device_->Write(bytes.data(), 16384));
  device_->Close();
  EXPECT_EQ(device_->FreeSpace(), 0u);
  EXPECT_FALSE(device_->Write(bytes.data(), 10));
  EXPECT_TRUE(device_->SetVolume(0.5) == false);
}

}  // namespace
}  // namespace vk2
