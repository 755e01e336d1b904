#include "audio/outputs/dsound/direct_sound_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "audio/common/format_record.h"
#include "platform/event.h"
#include "tests/audio/outputs/capture_devices.h"

namespace vk2 {
namespace {

class DirectSoundOutputTest : public ::testing::Test {
 protected:
  // Real threads on a clock `speed` times faster than real time, or (speed 0) no drain thread
  // and a virtual clock the test moves.
  void Make(double speed) {
    if (speed > 0) {
      clock_ = std::make_shared<ScaledClock>(speed);
    } else {
      virtual_ = std::make_shared<FakeClock>();
      clock_ = virtual_;
    }
    DsBufferOptions options;
    options.startThread = speed > 0;
    device_ = RefPtr<DirectSoundOutput>(
        new DirectSoundOutput(test::CaptureFactory(clock_, {"Speakers", "HDMI"}), options));
  }
  CaptureSink& Sink() { return static_cast<CaptureSink&>(device_->Buffer()->Sink()); }
  std::vector<uint8_t> BufferBytes() {
    auto buffer = device_->Buffer();
    void *p1, *p2;
    uint32_t n1, n2;
    EXPECT_EQ(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, kDsLockEntireBuffer), kDsOk);
    std::vector<uint8_t> out(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
    buffer->Unlock(p1, 0, p2, 0);
    return out;
  }

  std::shared_ptr<Clock> clock_;
  std::shared_ptr<FakeClock> virtual_;
  RefPtr<DirectSoundOutput> device_;
};

TEST_F(DirectSoundOutputTest, BufferSizeFollowsTheLengthAndFormat) {
  Make(0);
  auto format = MakePcmFormat(44100, 2, 16);
  EXPECT_EQ(device_->CanOpen(format.Get()), 1);
  ASSERT_TRUE(device_->Open(format.Get(), 1.2));
  EXPECT_EQ(device_->BufferSize(), 211680u);
  EXPECT_EQ(device_->BytesPerSecond(), 176400u);
  EXPECT_EQ(device_->Channels(), 2u);
  EXPECT_EQ(device_->SampleRate(), 44100u);
  EXPECT_FALSE(device_->NoPollDelay());
  EXPECT_EQ(device_->FormatDiffers(format.Get()), 0);
  EXPECT_NE(device_->FormatDiffers(MakePcmFormat(48000, 2, 16).Get()), 0);
  EXPECT_NE(device_->FormatDiffers(MakePcmFormat(44100, 2, 16, false, false).Get()), 0);
  EXPECT_EQ(DirectSoundOutput::BufferBytesFor({44100, 2, 16, false}, 1200), 211680u);
  // 64-bit arithmetic: no wrap for long buffers at high rates.
  EXPECT_EQ(DirectSoundOutput::BufferBytesFor({384000, 8, 32, false}, 10000), 122880000u);
}

TEST_F(DirectSoundOutputTest, FloatNeedsTheSettingAndOddLayoutsAreRefused) {
  Make(0);
  auto floats = MakePcmFormat(48000, 2, 32, true);
  EXPECT_EQ(device_->CanOpen(floats.Get()), 0);
  EXPECT_FALSE(device_->Open(floats.Get(), 0.5));
  ASSERT_EQ(device_->SetInteger(u"enablefloatingpoint", 5), 0);
  int32_t v = 0;
  EXPECT_EQ(device_->GetInteger(u"enablefloatingpoint", &v), 0);
  EXPECT_EQ(v, 1);
  EXPECT_EQ(device_->CanOpen(floats.Get()), 1);
  ASSERT_TRUE(device_->Open(floats.Get(), 0.5));
  WaveFormat wave;
  ASSERT_EQ(device_->Buffer()->GetFormat(&wave), kDsOk);
  EXPECT_EQ(wave.formatTag, kWaveFormatIeeeFloat);
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(44100, 2, 8, false, true).Get()), 0);  // signed 8
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(44100, 2, 16, false, false).Get()), 0);
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(44100, 2, 20).Get()), 0);
  EXPECT_EQ(device_->CanOpen(MakePcmFormat(44100, 2, 24).Get()), 1);
}

TEST_F(DirectSoundOutputTest, EightBitSilenceIsTheMidpoint) {
  Make(0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 8, false, false).Get(), 0.5));
  auto bytes = BufferBytes();
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0x80; }));
  std::vector<uint8_t> loud(1000, 0xF0);
  ASSERT_TRUE(device_->Write(loud.data(), 1000));
  ASSERT_TRUE(device_->Flush());
  bytes = BufferBytes();
  EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t b) { return b == 0x80; }));
}

TEST_F(DirectSoundOutputTest, VolumeAndBalanceInHundredthsOfADecibel) {
  Make(0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(44100, 2, 16).Get(), 0.5));
  struct Case {
    double volume;
    int32_t centibels;
  };
  for (const Case& c :
       {Case{0.0, -10000}, Case{1.0, 0}, Case{0.5, -1000}, Case{0.25, -2000}, Case{1e-9, -10000}}) {
    ASSERT_TRUE(device_->SetVolume(c.volume));
    int32_t cb = 1;
    device_->Buffer()->GetVolume(&cb);
    EXPECT_EQ(cb, c.centibels) << c.volume;
  }
  for (const auto& [balance, pan] :
       {std::pair{1.0, 10000}, std::pair{-0.5, -5000}, std::pair{0.0, 0}}) {
    ASSERT_TRUE(device_->SetBalance(balance));
    int32_t p = 1;
    device_->Buffer()->GetPan(&p);
    EXPECT_EQ(p, pan);
  }
}

TEST_F(DirectSoundOutputTest, FreeSpaceFollowsThePlayCursorAndFlushMovesTheWriteCursor) {
  Make(0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 16).Get(), 1.0));
  const uint32_t size = device_->BufferSize();
  ASSERT_EQ(size, 16000u);
  EXPECT_EQ(device_->FreeSpace(), size);
  const auto tone = test::Tone16(2000, 1);
  ASSERT_TRUE(device_->Write(tone.data(), 4000));
  EXPECT_EQ(device_->FreeSpace(), size - 4000);
  ASSERT_TRUE(device_->Play());
  auto buffer = device_->Buffer();
  buffer->Pump();  // the sink takes its share; nothing is heard yet
  EXPECT_EQ(device_->FreeSpace(), size - 4000);
  virtual_->Advance(50);  // 400 frames heard
  buffer->Pump();
  EXPECT_EQ(device_->FreeSpace(), size - 4000 + 800);
  uint32_t dsWrite = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(nullptr, &dsWrite), kDsOk);
  ASSERT_TRUE(device_->Flush());
  // The next write lands a safe margin past the position the buffer reported, and the room is
  // what lies from there to the play cursor.
  const uint32_t margin = DirectSoundOutput::RestartMargin({8000, 1, 16, false}, size);
  EXPECT_EQ(margin, 1120u);  // 70 ms
  uint32_t play = 0;
  ASSERT_EQ(buffer->GetCurrentPosition(&play, nullptr), kDsOk);
  EXPECT_EQ(device_->FreeSpace(), (play + 2 * size - dsWrite - margin) % size);
  const auto marker = std::vector<uint8_t>(2, 0x7F);
  ASSERT_TRUE(device_->Write(marker.data(), 2));
  const auto bytes = BufferBytes();
  EXPECT_EQ(bytes[(dsWrite + margin) % size], 0x7F);
  EXPECT_EQ(bytes[(dsWrite + margin + 2) % size], 0x00);
  EXPECT_EQ(bytes[dsWrite], 0x00);
}

TEST_F(DirectSoundOutputTest, DrainPlaysTheDataThenSilenceAndEnds) {
  Make(20.0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 16).Get(), 0.5));
  const auto tone = test::Tone16(2000, 1);  // a quarter second
  ASSERT_TRUE(device_->Write(tone.data(), static_cast<uint32_t>(tone.size())));
  ASSERT_TRUE(device_->Play());
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(device_->Drain(nullptr));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  ASSERT_TRUE(device_->Pause());
  const auto heard = Sink().Captured();
  ASSERT_GE(heard.size(), tone.size());
  EXPECT_TRUE(std::equal(tone.begin(), tone.end(), heard.begin()));
  // After the data: silence, never the old contents again.
  EXPECT_TRUE(
      std::all_of(heard.begin() + tone.size(), heard.end(), [](uint8_t b) { return b == 0; }));
}

TEST_F(DirectSoundOutputTest, DrainEndsAtOnceWhenStoppedWokenOrPaused) {
  Make(0.5);  // slower than real time: the buffer never plays out during the test
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 16).Get(), 1.0));
  const auto tone = test::Tone16(4000, 1);
  ASSERT_TRUE(device_->Write(tone.data(), static_cast<uint32_t>(tone.size())));
  // Not playing: nothing would ever drain.
  EXPECT_TRUE(device_->Drain(nullptr));
  ASSERT_TRUE(device_->Play());
  Event wake;
  std::thread waker([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    wake.Set();
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(device_->Drain(&wake));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  waker.join();
  std::thread pauser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_TRUE(device_->Pause());
  });
  start = std::chrono::steady_clock::now();
  EXPECT_TRUE(device_->Drain(nullptr));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(900));
  pauser.join();
  uint32_t status = 0;
  device_->Buffer()->GetStatus(&status);
  EXPECT_EQ(status & kDsStatusPlaying, 0u);
}

TEST_F(DirectSoundOutputTest, ChangeFormatPlaysOutAndGoesOnInTheNewFormat) {
  Make(20.0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 16).Get(), 0.5));
  const auto tone = test::Tone16(800, 1);
  ASSERT_TRUE(device_->Write(tone.data(), static_cast<uint32_t>(tone.size())));
  ASSERT_TRUE(device_->Play());
  auto stereo = MakePcmFormat(16000, 2, 16);
  ASSERT_TRUE(device_->ChangeFormat(stereo.Get()));
  EXPECT_EQ(device_->FormatDiffers(stereo.Get()), 0);
  EXPECT_EQ(device_->Channels(), 2u);
  // The same length in time: four times the bytes.
  EXPECT_EQ(device_->BufferSize(), 32000u);
  EXPECT_EQ(device_->Buffer()->Size(), 32000u);
  // It plays on, in the new format, once it holds most of its length: started by the first
  // write, it would play into its silence before the next.
  uint32_t status = 0;
  device_->Buffer()->GetStatus(&status);
  EXPECT_EQ(status & kDsStatusPlaying, 0u);
  const auto tone2 = test::Tone16(1600, 2);
  ASSERT_LT(tone2.size(), device_->FreeSpace());
  ASSERT_TRUE(device_->Write(tone2.data(), static_cast<uint32_t>(tone2.size())));
  device_->Buffer()->GetStatus(&status);
  EXPECT_EQ(status & kDsStatusPlaying, 0u);
  const uint32_t toFill = (device_->FreeSpace() - device_->BufferSize() / 4) / 4 * 4;
  const std::vector<uint8_t> more(toFill, 0);
  ASSERT_TRUE(device_->Write(more.data(), toFill));
  device_->Buffer()->GetStatus(&status);
  EXPECT_NE(status & kDsStatusPlaying, 0u);
  ASSERT_TRUE(device_->Drain(nullptr));
  const auto heard = Sink().Captured();
  ASSERT_GE(heard.size(), tone2.size());
  EXPECT_TRUE(std::equal(tone2.begin(), tone2.end(), heard.begin()));
}

TEST_F(DirectSoundOutputTest, ADrainAfterAFormatChangePlaysWhatLittleWasWritten) {
  Make(20.0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 16).Get(), 0.5));
  ASSERT_TRUE(device_->Play());
  ASSERT_TRUE(device_->ChangeFormat(MakePcmFormat(16000, 2, 16).Get()));
  // The end of the stream comes before the buffer fills: all of it is still heard.
  const auto tone = test::Tone16(1600, 2);
  ASSERT_TRUE(device_->Write(tone.data(), static_cast<uint32_t>(tone.size())));
  ASSERT_TRUE(device_->Drain(nullptr));
  const auto heard = Sink().Captured();
  ASSERT_GE(heard.size(), tone.size());
  EXPECT_TRUE(std::equal(tone.begin(), tone.end(), heard.begin()));
}

TEST_F(DirectSoundOutputTest, ChangeFormatWhilePausedStaysPaused) {
  Make(20.0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 16).Get(), 0.5));
  ASSERT_TRUE(device_->ChangeFormat(MakePcmFormat(8000, 2, 16).Get()));
  const auto tone = test::Tone16(100, 2);
  ASSERT_TRUE(device_->Write(tone.data(), static_cast<uint32_t>(tone.size())));
  uint32_t status = 0;
  device_->Buffer()->GetStatus(&status);
  EXPECT_EQ(status & kDsStatusPlaying, 0u);
}

TEST_F(DirectSoundOutputTest, OpensTheSelectedDeviceOrTheDefaultWhenItIsGone) {
  Make(0);
  ASSERT_EQ(device_->SetString(u"curoutputdevice", u"HDMI"), 0);
  ASSERT_TRUE(device_->Open(MakePcmFormat(8000, 1, 16).Get(), 0.5));
  EXPECT_EQ(Sink().OpenedDevice(), "capture2");
  device_->Close();
  // A device made from a list that no longer holds HDMI falls back to the default.
  RefPtr<DirectSoundOutput> other(
      new DirectSoundOutput(test::CaptureFactory(clock_, {"Speakers"}), DsBufferOptions{}));
  ASSERT_EQ(other->SetString(u"curoutputdevice", u"HDMI"), -21);
  ASSERT_TRUE(other->Open(MakePcmFormat(8000, 1, 16).Get(), 0.5));
  EXPECT_EQ(static_cast<CaptureSink&>(other->Buffer()->Sink()).OpenedDevice(), "default");
}

}  // namespace
}  // namespace vk2
