// The DirectSound stand-in's buffer on a capture sink with a virtual clock, pumped by hand so
// every cursor position is exact.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "platform/audio/dsound/direct_sound.h"
#include "platform/audio/sink/capture_sink.h"
#include "platform/fake_clock.h"

namespace vk2 {
namespace {

constexpr PcmFormat kStereo48k{48000, 2, 16, false};
constexpr uint32_t kBufferBytes = 4800;  // 25 ms
constexpr uint32_t kSinkMillis = 10;     // 480 frames, 1920 bytes
constexpr uint32_t kSinkBytes = 1920;

class DsBufferTest : public ::testing::Test {
 protected:
  void SetUp() override { Create(kStereo48k, kBufferBytes); }

  void Create(const PcmFormat& format, uint32_t bytes, bool thread = false) {
    buffer_.reset();
    clock_ = std::make_shared<FakeClock>();
    CaptureSinkOptions options;
    options.clock = clock_;
    auto sink = std::make_unique<CaptureSink>(options);
    sink_ = sink.get();
    DsBufferDesc desc;
    desc.bufferBytes = bytes;
    desc.format = PcmToWaveFormat(format);
    DsBufferOptions bufferOptions;
    bufferOptions.sinkMillis = kSinkMillis;
    bufferOptions.startThread = thread;
    ASSERT_EQ(DsBuffer::Create(desc, std::move(sink), bufferOptions, buffer_), kDsOk);
  }

  // Writes `bytes` of a pattern at `offset` through Lock/Unlock.
  void Fill(uint32_t offset, const std::vector<uint8_t>& bytes) {
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(buffer_->Lock(offset, static_cast<uint32_t>(bytes.size()), &p1, &n1, &p2, &n2, 0),
              kDsOk);
    std::memcpy(p1, bytes.data(), n1);
    if (n2) std::memcpy(p2, bytes.data() + n1, n2);
    ASSERT_EQ(buffer_->Unlock(p1, n1, p2, n2), kDsOk);
  }

  std::vector<uint8_t> Contents() {
    void *p1, *p2;
    uint32_t n1, n2;
    EXPECT_EQ(buffer_->Lock(0, 0, &p1, &n1, &p2, &n2, kDsLockEntireBuffer), kDsOk);
    std::vector<uint8_t> out(static_cast<uint8_t*>(p1), static_cast<uint8_t*>(p1) + n1);
    EXPECT_EQ(buffer_->Unlock(p1, 0, p2, 0), kDsOk);
    return out;
  }

  std::pair<uint32_t, uint32_t> Cursors() {
    uint32_t play = 0, write = 0;
    EXPECT_EQ(buffer_->GetCurrentPosition(&play, &write), kDsOk);
    return {play, write};
  }

  static std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i)
      v[i] = static_cast<uint8_t>(seed + i * 7);
    return v;
  }

  std::shared_ptr<FakeClock> clock_;
  CaptureSink* sink_ = nullptr;
  std::unique_ptr<DsBuffer> buffer_;
};

TEST_F(DsBufferTest, ANewBufferIsStoppedAndSilent) {
  uint32_t status = 99;
  ASSERT_EQ(buffer_->GetStatus(&status), kDsOk);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(buffer_->Size(), kBufferBytes);
  EXPECT_EQ(Contents(), std::vector<uint8_t>(kBufferBytes, 0));
  EXPECT_EQ(Cursors(), std::make_pair(0u, 0u));
  EXPECT_EQ(buffer_->Pump(), 0u);

  // 8-bit samples are unsigned: silence is 0x80.
  Create({8000, 1, 8, false}, 800);
  EXPECT_EQ(Contents(), std::vector<uint8_t>(800, 0x80));
}

TEST_F(DsBufferTest, LockSplitsARegionAcrossTheWrap) {
  void *p1, *p2;
  uint32_t n1, n2;
  ASSERT_EQ(buffer_->Lock(4000, 1600, &p1, &n1, &p2, &n2, 0), kDsOk);
  EXPECT_EQ(n1, 800u);
  EXPECT_EQ(n2, 800u);
  ASSERT_NE(p2, nullptr);
  std::memset(p1, 0x11, n1);
  std::memset(p2, 0x22, n2);
  // Until Unlock, the buffer keeps its old contents.
  void *q1, *q2;
  uint32_t m1, m2;
  ASSERT_EQ(buffer_->Lock(0, 0, &q1, &m1, &q2, &m2, kDsLockEntireBuffer), kDsOk);
  EXPECT_EQ(static_cast<uint8_t*>(q1)[4000], 0);
  ASSERT_EQ(buffer_->Unlock(q1, 0, nullptr, 0), kDsOk);
  ASSERT_EQ(buffer_->Unlock(p1, n1, p2, n2), kDsOk);

  const std::vector<uint8_t> all = Contents();
  EXPECT_EQ(all[3999], 0);
  EXPECT_EQ(all[4000], 0x11);
  EXPECT_EQ(all[4799], 0x11);
  EXPECT_EQ(all[0], 0x22);
  EXPECT_EQ(all[799], 0x22);
  EXPECT_EQ(all[800], 0);

  // A region that fits is one piece.
  ASSERT_EQ(buffer_->Lock(100, 200, &p1, &n1, &p2, &n2, 0), kDsOk);
  EXPECT_EQ(n1, 200u);
  EXPECT_EQ(n2, 0u);
  EXPECT_EQ(p2, nullptr);
  // Only what Unlock says was written is copied back.
  std::memset(p1, 0x33, 200);
  ASSERT_EQ(buffer_->Unlock(p1, 50, nullptr, 0), kDsOk);
  EXPECT_EQ(Contents()[149], 0x33);
  EXPECT_EQ(Contents()[150], 0x22);
}

TEST_F(DsBufferTest, LockAndUnlockRefuseBadArguments) {
  void *p1, *p2;
  uint32_t n1, n2;
  EXPECT_EQ(buffer_->Lock(0, kBufferBytes + 1, &p1, &n1, &p2, &n2, 0), kDsErrInvalidParam);
  EXPECT_EQ(buffer_->Lock(kBufferBytes, 4, &p1, &n1, &p2, &n2, 0), kDsErrInvalidParam);
  EXPECT_EQ(buffer_->Lock(0, 0, &p1, &n1, &p2, &n2, 0), kDsErrInvalidParam);
  EXPECT_EQ(buffer_->Lock(4000, 1600, &p1, &n1, nullptr, nullptr, 0), kDsErrInvalidParam);
  uint8_t stray[4];
  EXPECT_EQ(buffer_->Unlock(stray, 4, nullptr, 0), kDsErrInvalidParam);
  ASSERT_EQ(buffer_->Lock(4000, 1600, &p1, &n1, &p2, &n2, 0), kDsOk);
  EXPECT_EQ(buffer_->Unlock(p1, n1 + 1, p2, n2), kDsErrInvalidParam);
  EXPECT_EQ(buffer_->Unlock(p1, n1, p2, n2 + 1), kDsErrInvalidParam);
  EXPECT_EQ(buffer_->Unlock(p1, n1, p2, n2), kDsOk);
  EXPECT_EQ(buffer_->Unlock(p1, n1, p2, n2), kDsErrInvalidParam);  // only once
}

TEST_F(DsBufferTest, PlayCursorTrailsTheWriteCursorByWhatTheSinkHolds) {
  const std::vector<uint8_t> data = Pattern(kBufferBytes, 3);
  Fill(0, data);
  ASSERT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsOk);
  uint32_t status;
  ASSERT_EQ(buffer_->GetStatus(&status), kDsOk);
  EXPECT_EQ(status, kDsStatusPlaying | kDsStatusLooping);

  EXPECT_EQ(buffer_->Pump(), kSinkBytes);
  EXPECT_EQ(Cursors(), std::make_pair(0u, kSinkBytes));
  clock_->Advance(5);  // 240 frames
  EXPECT_EQ(Cursors(), std::make_pair(960u, kSinkBytes));
  EXPECT_EQ(buffer_->Pump(), 960u);
  EXPECT_EQ(Cursors(), std::make_pair(960u, kSinkBytes + 960));

  // Round and round: both cursors wrap, and the sink hears the buffer over and over.
  for (int i = 0; i < 12; ++i) {
    clock_->Advance(5);
    buffer_->Pump();
  }
  const auto [play, write] = Cursors();
  EXPECT_EQ(play, (960u + 12 * 960) % kBufferBytes);
  EXPECT_EQ(write, (play + kSinkBytes) % kBufferBytes);
  const std::vector<uint8_t> heard = sink_->Captured();
  ASSERT_EQ(heard.size(), 13u * 960);
  for (size_t i = 0; i < heard.size(); ++i)
    ASSERT_EQ(heard[i], data[i % kBufferBytes]) << i;
}

TEST_F(DsBufferTest, StopHoldsThePlayCursorAndPlayGoesOn) {
  Fill(0, Pattern(kBufferBytes, 9));
  ASSERT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsOk);
  buffer_->Pump();
  clock_->Advance(5);
  ASSERT_EQ(buffer_->Stop(), kDsOk);
  const auto held = Cursors();
  clock_->Advance(50);
  EXPECT_EQ(buffer_->Pump(), 0u);
  EXPECT_EQ(Cursors(), held);
  uint32_t status;
  buffer_->GetStatus(&status);
  EXPECT_EQ(status, 0u);
  ASSERT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsOk);
  clock_->Advance(5);
  EXPECT_EQ(Cursors().first, held.first + 960);
}

TEST_F(DsBufferTest, AOneShotPlayStopsAfterTheLastByte) {
  Fill(0, Pattern(kBufferBytes, 5));
  ASSERT_EQ(buffer_->Play(0, 0, 0), kDsOk);
  for (int i = 0; i < 20; ++i) {
    buffer_->Pump();
    clock_->Advance(5);
  }
  buffer_->Pump();
  uint32_t status;
  buffer_->GetStatus(&status);
  EXPECT_EQ(status, 0u);
  EXPECT_EQ(sink_->Captured().size(), kBufferBytes);
}

TEST_F(DsBufferTest, SetCurrentPositionDropsWhatTheSinkHolds) {
  Fill(0, Pattern(kBufferBytes, 1));
  ASSERT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsOk);
  buffer_->Pump();
  ASSERT_EQ(buffer_->SetCurrentPosition(2402), kDsOk);  // rounded down to a frame
  EXPECT_EQ(Cursors(), std::make_pair(2400u, 2400u));
  EXPECT_EQ(buffer_->SetCurrentPosition(kBufferBytes), kDsErrInvalidParam);
}

struct GainCase {
  int32_t volume;
  int32_t pan;
  double left;
  double right;
};

class DsGainTest : public DsBufferTest, public ::testing::WithParamInterface<GainCase> {};

TEST_P(DsGainTest, VolumeAndPanScaleTheChannels) {
  const GainCase c = GetParam();
  std::vector<int16_t> frames(kBufferBytes / 2);
  for (size_t i = 0; i < frames.size(); ++i)
    frames[i] = (i % 2) ? -20000 : 20000;
  std::vector<uint8_t> bytes(kBufferBytes);
  std::memcpy(bytes.data(), frames.data(), bytes.size());
  Fill(0, bytes);
  ASSERT_EQ(buffer_->SetVolume(c.volume), kDsOk);
  ASSERT_EQ(buffer_->SetPan(c.pan), kDsOk);
  ASSERT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsOk);
  buffer_->Pump();
  clock_->Advance(1);
  const std::vector<uint8_t> heard = sink_->Captured();
  ASSERT_GE(heard.size(), 4u);
  int16_t s[2];
  std::memcpy(s, heard.data(), 4);
  EXPECT_EQ(s[0], static_cast<int16_t>(std::lround(20000 * c.left)));
  EXPECT_EQ(s[1], static_cast<int16_t>(std::lround(-20000 * c.right)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, DsGainTest,
    ::testing::Values(GainCase{0, 0, 1.0, 1.0},
                      // -10 dB per 1000: the device maps a halving of its volume there.
                      GainCase{-1000, 0, 0.316227766, 0.316227766},
                      GainCase{-600, 0, 0.501187234, 0.501187234}, GainCase{-10000, 0, 0.0, 0.0},
                      // Positive pan lowers the left channel: +1 balance is the right alone.
                      GainCase{0, 10000, 0.0, 1.0}, GainCase{0, -10000, 1.0, 0.0},
                      GainCase{0, 600, 0.501187234, 1.0},
                      GainCase{-600, -600, 0.501187234, 0.251188643}));

TEST_F(DsBufferTest, VolumeAndPanRefuseValuesOutOfRange) {
  EXPECT_EQ(buffer_->SetVolume(1), kDsErrInvalidParam);
  EXPECT_EQ(buffer_->SetVolume(-10001), kDsErrInvalidParam);
  EXPECT_EQ(buffer_->SetPan(10001), kDsErrInvalidParam);
  EXPECT_EQ(buffer_->SetPan(-10001), kDsErrInvalidParam);
  int32_t v = 1, p = 1;
  ASSERT_EQ(buffer_->SetVolume(-2500), kDsOk);
  ASSERT_EQ(buffer_->SetPan(-300), kDsOk);
  buffer_->GetVolume(&v);
  buffer_->GetPan(&p);
  EXPECT_EQ(v, -2500);
  EXPECT_EQ(p, -300);
}

TEST_F(DsBufferTest, SetFormatReopensTheSinkWithSilenceInTheNewFormat) {
  Fill(0, Pattern(kBufferBytes, 2));
  ASSERT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsOk);
  buffer_->Pump();
  const PcmFormat mono8{22050, 1, 8, false};
  ASSERT_EQ(buffer_->SetFormat(PcmToWaveFormat(mono8)), kDsOk);
  EXPECT_EQ(sink_->Format(), mono8);
  EXPECT_EQ(buffer_->Size(), kBufferBytes);
  EXPECT_EQ(Contents(), std::vector<uint8_t>(kBufferBytes, 0x80));
  EXPECT_EQ(Cursors(), std::make_pair(0u, 0u));
  uint32_t status;
  buffer_->GetStatus(&status);
  EXPECT_TRUE(status & kDsStatusPlaying);

  // 24-bit stereo frames are 6 bytes: the size rounds down to whole frames.
  ASSERT_EQ(buffer_->SetFormat(PcmToWaveFormat({48000, 2, 24, false})), kDsOk);
  EXPECT_EQ(buffer_->Size(), kBufferBytes / 6 * 6);

  WaveFormat adpcm = PcmToWaveFormat(kStereo48k);
  adpcm.formatTag = kWaveFormatImaAdpcm;
  EXPECT_EQ(buffer_->SetFormat(adpcm), kDsErrBadFormat);
  void *p1, *p2;
  uint32_t n1, n2;
  ASSERT_EQ(buffer_->Lock(0, 6, &p1, &n1, &p2, &n2, 0), kDsOk);
  EXPECT_EQ(buffer_->SetFormat(PcmToWaveFormat(kStereo48k)), kDsErrInvalidCall);
  buffer_->Unlock(p1, 0, p2, 0);
}

TEST_F(DsBufferTest, ALostSinkLosesTheBufferUntilRestored) {
  ASSERT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsOk);
  sink_->SetFailed(true);
  buffer_->Pump();
  uint32_t status;
  buffer_->GetStatus(&status);
  EXPECT_EQ(status, kDsStatusBufferLost);
  void *p1, *p2;
  uint32_t n1, n2;
  EXPECT_EQ(buffer_->Lock(0, 4, &p1, &n1, &p2, &n2, 0), kDsErrBufferLost);
  EXPECT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsErrBufferLost);
  ASSERT_EQ(buffer_->Restore(), kDsOk);
  EXPECT_EQ(buffer_->Lock(0, 4, &p1, &n1, &p2, &n2, 0), kDsOk);
  buffer_->Unlock(p1, 0, p2, 0);
  EXPECT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsOk);
}

TEST_F(DsBufferTest, CreateRefusesBadDescriptions) {
  std::unique_ptr<DsBuffer> b;
  DsBufferDesc desc;
  desc.format = PcmToWaveFormat(kStereo48k);
  desc.bufferBytes = 2;
  EXPECT_EQ(DsBuffer::Create(desc, std::make_unique<CaptureSink>(), {}, b), kDsErrInvalidParam);
  desc.bufferBytes = 4096;
  desc.format.formatTag = kWaveFormatAdpcm;
  EXPECT_EQ(DsBuffer::Create(desc, std::make_unique<CaptureSink>(), {}, b), kDsErrBadFormat);
  EXPECT_EQ(b, nullptr);
}

TEST_F(DsBufferTest, TheDrainThreadFeedsTheSinkByItself) {
  Create(kStereo48k, kBufferBytes, /*thread=*/true);
  Fill(0, Pattern(kBufferBytes, 4));
  ASSERT_EQ(buffer_->Play(0, 0, kDsPlayLooping), kDsOk);
  // Waits for a state, not for a time: the thread must hand over the first sink buffer.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (Cursors().second != kSinkBytes && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(Cursors(), std::make_pair(0u, kSinkBytes));
  clock_->Advance(5);
  while (Cursors().second != kSinkBytes + 960 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_EQ(Cursors(), std::make_pair(960u, kSinkBytes + 960));
  buffer_.reset();  // stops the thread
}

TEST(DirectSoundTest, CreatesOnListedDevicesOnly) {
  const PcmSinkFactory factory = [] {
    CaptureSinkOptions options;
    options.extraDeviceDescriptions = {"Headphones"};
    return std::make_unique<CaptureSink>(options);
  };
  std::vector<SinkDevice> devices;
  ASSERT_TRUE(DirectSound::Enumerate(devices, factory));
  ASSERT_EQ(devices.size(), 2u);
  std::unique_ptr<DirectSound> ds;
  EXPECT_EQ(DirectSound::Create("nowhere", factory, ds), kDsErrNoDriver);
  ASSERT_EQ(DirectSound::Create(devices[1].id, factory, ds), kDsOk);
  EXPECT_EQ(ds->SetCooperativeLevel(0, 2), kDsOk);
  DsBufferDesc desc;
  desc.bufferBytes = 44100 * 1200 / 1000 * 4;
  desc.format = PcmToWaveFormat({44100, 2, 16, false});
  std::unique_ptr<DsBuffer> buffer;
  ASSERT_EQ(ds->CreateSoundBuffer(desc, buffer), kDsOk);
  EXPECT_EQ(buffer->Size(), 211680u);
  EXPECT_EQ(static_cast<CaptureSink&>(buffer->Sink()).OpenedDevice(), devices[1].id);
}

}  // namespace
}  // namespace vk2
