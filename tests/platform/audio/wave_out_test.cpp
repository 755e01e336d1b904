// The waveOut stand-in on a capture sink with a virtual clock: headers play in order, are done
// once heard, and reset, pause and volume behave as the device expects.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

#include "platform/audio/sink/capture_sink.h"
#include "platform/audio/waveout/wave_out.h"
#include "platform/fake_clock.h"

namespace vk2 {
namespace {

constexpr PcmFormat kStereo48k{48000, 2, 16, false};
constexpr uint32_t kBlock = 4096;  // 1024 stereo 16-bit frames

class WaveOutTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(kStereo48k); }

  void Open(const PcmFormat& format, bool thread = false) {
    device_.reset();
    clock_ = std::make_shared<FakeClock>();
    options_.sinkFactory = [this] {
      CaptureSinkOptions o;
      o.clock = clock_;
      o.extraDeviceDescriptions = {"Line Out"};
      auto sink = std::make_unique<CaptureSink>(o);
      lastSink_ = sink.get();
      return sink;
    };
    options_.sinkMillis = 40;  // 1920 frames at 48 kHz
    options_.startThread = thread;
    ASSERT_EQ(WaveOut::Open(
                  device_, 0, PcmToWaveFormat(format), [this] { ++doneCalls_; }, 0, options_),
              kMmOk);
    sink_ = lastSink_;
  }

  struct Block {
    std::vector<uint8_t> bytes;
    WaveHeader header;
  };
  std::vector<std::unique_ptr<Block>> MakeBlocks(size_t count, size_t bytes) {
    std::vector<std::unique_ptr<Block>> blocks;
    for (size_t b = 0; b < count; ++b) {
      auto block = std::make_unique<Block>();
      block->bytes.resize(bytes);
      for (size_t i = 0; i < bytes; ++i)
        block->bytes[i] = static_cast<uint8_t>(b * 31 + i * 3);
      block->header.data = block->bytes.data();
      block->header.bufferLength = static_cast<uint32_t>(bytes);
      blocks.push_back(std::move(block));
    }
    return blocks;
  }
  void Queue(std::vector<std::unique_ptr<Block>>& blocks) {
    for (auto& b : blocks) {
      ASSERT_EQ(device_->PrepareHeader(&b->header), kMmOk);
      ASSERT_EQ(device_->Write(&b->header), kMmOk);
    }
  }
  uint64_t Position() {
    uint64_t bytes = 0;
    EXPECT_EQ(device_->GetPosition(&bytes), kMmOk);
    return bytes;
  }

  std::shared_ptr<FakeClock> clock_;
  WaveOutOptions options_;
  CaptureSink* lastSink_ = nullptr;
  CaptureSink* sink_ = nullptr;
  std::unique_ptr<WaveOut> device_;
  std::atomic<int> doneCalls_{0};
};

TEST_F(WaveOutTest, HeadersPlayInOrderAndAreDoneOnceHeard) {
  auto blocks = MakeBlocks(3, kBlock);
  Queue(blocks);
  for (auto& b : blocks)
    EXPECT_EQ(b->header.flags.load(), kWhdrPrepared | kWhdrInQueue);
  device_->Pump();
  EXPECT_EQ(doneCalls_, 0);
  EXPECT_EQ(Position(), 0u);

  clock_->AdvanceUs(21334);  // 1024 frames and a bit
  device_->Pump();
  EXPECT_EQ(Position(), 1024u * 4);
  EXPECT_EQ(blocks[0]->header.flags.load(), kWhdrPrepared | kWhdrDone);
  EXPECT_EQ(blocks[1]->header.flags & kWhdrDone, 0u);
  EXPECT_EQ(doneCalls_, 1);

  for (int i = 0; i < 10; ++i) {
    clock_->Advance(10);
    device_->Pump();
  }
  for (auto& b : blocks)
    EXPECT_EQ(b->header.flags.load(), kWhdrPrepared | kWhdrDone);
  EXPECT_EQ(Position(), 3u * kBlock);
  std::vector<uint8_t> all;
  for (auto& b : blocks)
    all.insert(all.end(), b->bytes.begin(), b->bytes.end());
  EXPECT_EQ(sink_->Captured(), all);
  EXPECT_EQ(device_->Close(), kMmOk);
}

TEST_F(WaveOutTest, BlocksThatSplitFramesPlayWhole) {
  // Six 16-bit channels are 12-byte frames; 4096-byte blocks end inside a frame.
  Open({48000, 6, 16, false});
  auto blocks = MakeBlocks(3, kBlock);
  Queue(blocks);
  for (int i = 0; i < 20; ++i) {
    device_->Pump();
    clock_->Advance(10);
  }
  device_->Pump();
  std::vector<uint8_t> all;
  for (auto& b : blocks)
    all.insert(all.end(), b->bytes.begin(), b->bytes.end());
  all.resize(all.size() / 12 * 12);  // the last partial frame has no partner
  EXPECT_EQ(sink_->Captured(), all);
  for (auto& b : blocks)
    EXPECT_TRUE(b->header.flags & kWhdrDone);
}

TEST_F(WaveOutTest, HeaderProtocolErrors) {
  auto blocks = MakeBlocks(1, kBlock);
  WaveHeader& h = blocks[0]->header;
  EXPECT_EQ(device_->Write(&h), kWaveErrUnprepared);
  ASSERT_EQ(device_->PrepareHeader(&h), kMmOk);
  ASSERT_EQ(device_->Write(&h), kMmOk);
  EXPECT_EQ(device_->Write(&h), kWaveErrStillPlaying);
  EXPECT_EQ(device_->UnprepareHeader(&h), kWaveErrStillPlaying);
  EXPECT_EQ(device_->Close(), kWaveErrStillPlaying);
  WaveHeader empty;
  EXPECT_EQ(device_->PrepareHeader(&empty), kMmErrInvalParam);
  ASSERT_EQ(device_->Reset(), kMmOk);
  EXPECT_EQ(device_->UnprepareHeader(&h), kMmOk);
  EXPECT_EQ(h.flags.load(), kWhdrDone);
  EXPECT_EQ(device_->Close(), kMmOk);
}

TEST_F(WaveOutTest, ResetHandsEveryHeaderBackAndStartsTheCountAgain) {
  auto blocks = MakeBlocks(4, kBlock);
  Queue(blocks);
  device_->Pump();
  clock_->Advance(10);
  device_->Pump();
  ASSERT_EQ(Position(), 480u * 4);
  ASSERT_EQ(device_->Reset(), kMmOk);
  EXPECT_EQ(doneCalls_, 1);
  for (auto& b : blocks)
    EXPECT_EQ(b->header.flags.load(), kWhdrPrepared | kWhdrDone);
  EXPECT_EQ(Position(), 0u);
  // What the sink held but had not played is dropped.
  clock_->Advance(100);
  device_->Pump();
  EXPECT_EQ(sink_->Captured().size(), 480u * 4);
  EXPECT_EQ(Position(), 0u);

  // The device goes on after a reset.
  auto more = MakeBlocks(1, kBlock);
  Queue(more);
  device_->Pump();
  clock_->Advance(30);
  device_->Pump();
  EXPECT_EQ(Position(), kBlock);
  EXPECT_TRUE(more[0]->header.flags & kWhdrDone);
}

TEST_F(WaveOutTest, PauseHoldsThePositionAndRestartGoesOn) {
  ASSERT_EQ(device_->Pause(), kMmOk);
  auto blocks = MakeBlocks(2, kBlock);
  Queue(blocks);
  device_->Pump();
  clock_->Advance(100);
  device_->Pump();
  EXPECT_EQ(Position(), 0u);
  EXPECT_EQ(doneCalls_, 0);
  // A paused device stays paused through a reset.
  ASSERT_EQ(device_->Reset(), kMmOk);
  Queue(blocks);
  device_->Pump();
  clock_->Advance(100);
  EXPECT_EQ(Position(), 0u);
  ASSERT_EQ(device_->Restart(), kMmOk);
  device_->Pump();
  clock_->Advance(10);
  EXPECT_EQ(Position(), 480u * 4);
  device_.reset();  // before the blocks it still holds go
}

TEST_F(WaveOutTest, VolumeScalesEachChannel) {
  ASSERT_EQ(device_->SetVolume(0x8000FFFFu), kMmOk);  // left full, right about half
  uint32_t v = 0;
  ASSERT_EQ(device_->GetVolume(&v), kMmOk);
  EXPECT_EQ(v, 0x8000FFFFu);
  auto blocks = MakeBlocks(1, kBlock);
  const int16_t frame[2] = {20000, -20000};
  for (size_t i = 0; i < kBlock; i += 4)
    std::memcpy(&blocks[0]->bytes[i], frame, 4);
  Queue(blocks);
  device_->Pump();
  clock_->Advance(1);
  const std::vector<uint8_t> heard = sink_->Captured();
  ASSERT_GE(heard.size(), 4u);
  int16_t s[2];
  std::memcpy(s, heard.data(), 4);
  EXPECT_EQ(s[0], 20000);
  EXPECT_EQ(s[1], static_cast<int16_t>(std::lround(-20000.0 * 0x8000 / 65535.0)));
  device_.reset();
}

TEST_F(WaveOutTest, ALostSinkHandsHeadersBackAndRefusesMore) {
  auto blocks = MakeBlocks(2, kBlock);
  Queue(blocks);
  sink_->SetFailed(true);
  device_->Pump();
  for (auto& b : blocks)
    EXPECT_EQ(b->header.flags.load(), kWhdrPrepared | kWhdrDone);
  EXPECT_EQ(doneCalls_, 1);
  EXPECT_EQ(device_->Write(&blocks[0]->header), kMmErrNoDriver);
  EXPECT_EQ(device_->Close(), kMmOk);
}

TEST_F(WaveOutTest, OpenChecksDeviceAndFormat) {
  std::unique_ptr<WaveOut> other;
  EXPECT_EQ(WaveOut::Open(other, 5, PcmToWaveFormat(kStereo48k), {}, 0, options_),
            kMmErrBadDeviceId);
  WaveFormat adpcm = PcmToWaveFormat(kStereo48k);
  adpcm.formatTag = kWaveFormatImaAdpcm;
  EXPECT_EQ(WaveOut::Open(other, 0, adpcm, {}, 0, options_), kWaveErrBadFormat);
  EXPECT_EQ(WaveOut::Open(other, kWaveMapper, PcmToWaveFormat({44100, 1, 8, false}), {},
                          kWaveFormatQuery, options_),
            kMmOk);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(WaveOut::GetNumDevs(options_.sinkFactory), 2u);
  std::vector<SinkDevice> devices;
  ASSERT_TRUE(WaveOut::Enumerate(devices, options_.sinkFactory));
  ASSERT_EQ(devices.size(), 2u);
  EXPECT_EQ(devices[1].description, "Line Out");
  WaveOutCaps caps;
  ASSERT_EQ(WaveOut::GetDevCaps(1, &caps, options_.sinkFactory), kMmOk);
  EXPECT_EQ(caps.productName, "Line Out");
  EXPECT_EQ(WaveOut::GetDevCaps(2, &caps, options_.sinkFactory), kMmErrBadDeviceId);
}

TEST_F(WaveOutTest, TheDeviceThreadCompletesHeadersByItself) {
  Open(kStereo48k, /*thread=*/true);
  auto blocks = MakeBlocks(2, kBlock);
  Queue(blocks);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  // Waits for states, not times: the clock only moves when the test moves it.
  while (sink_->FramesWritten() == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  clock_->Advance(200);
  while (doneCalls_ == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  while (!(blocks[1]->header.flags & kWhdrDone) && std::chrono::steady_clock::now() < deadline) {
    clock_->Advance(50);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(blocks[0]->header.flags & kWhdrDone);
  EXPECT_TRUE(blocks[1]->header.flags & kWhdrDone);
  device_.reset();
}

}  // namespace
}  // namespace vk2
