// The device stand-ins with their own threads running while other threads lock, write, pause,
// move and query them: nothing is lost, duplicated or raced (ThreadSanitizer checks the last).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/audio/dsound/ds_buffer.h"
#include "platform/audio/sink/capture_sink.h"
#include "platform/audio/waveout/wave_out.h"
#include "platform/fake_clock.h"

namespace vk2 {
namespace {

constexpr PcmFormat kFormat{48000, 2, 16, false};

// Moves a fake clock on in small steps until stopped, so playback runs without real time.
class ClockDriver {
 public:
  explicit ClockDriver(std::shared_ptr<FakeClock> clock)
      : thread_([this, clock] {
          while (!stop_) {
            clock->AdvanceUs(500);
            std::this_thread::yield();
          }
        }) {}
  ~ClockDriver() {
    stop_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(DeviceThreadsStressTest, WaveOutPlaysEveryBlockOnceWhilePausedAndQueried) {
  auto clock = std::make_shared<FakeClock>();
  CaptureSink* sink = nullptr;
  WaveOutOptions options;
  options.sinkFactory = [&] {
    CaptureSinkOptions o;
    o.clock = clock;
    auto s = std::make_unique<CaptureSink>(o);
    sink = s.get();
    return s;
  };
  options.sinkMillis = 20;
  std::mutex m;
  std::condition_variable cv;
  constexpr size_t kBlock = 4096;
  constexpr size_t kRing = 6;
  constexpr size_t kBlocks = 300;
  std::vector<std::vector<uint8_t>> memory(kRing, std::vector<uint8_t>(kBlock));
  std::vector<WaveHeader> headers(kRing);
  std::unique_ptr<WaveOut> device;
  ASSERT_EQ(WaveOut::Open(
                device, 0, PcmToWaveFormat(kFormat),
                [&] {
                  std::lock_guard lock(m);
                  cv.notify_all();
                },
                0, options),
            kMmOk);
  ClockDriver driver(clock);
  std::atomic<bool> done{false};
  std::thread meddler([&] {
    for (int i = 0; !done; ++i) {
      uint64_t position = 0;
      EXPECT_EQ(device->GetPosition(&position), kMmOk);
      if (i % 50 == 0) {
        EXPECT_EQ(device->Pause(), kMmOk);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        EXPECT_EQ(device->Restart(), kMmOk);
      }
      device->SetVolume(0xFFFFFFFFu);
      std::this_thread::yield();
    }
  });
  std::vector<uint8_t> sent;
  for (size_t b = 0; b < kBlocks; ++b) {
    WaveHeader& h = headers[b % kRing];
    {
      std::unique_lock lock(m);
      ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20),
                              [&] { return !(h.flags.load() & kWhdrInQueue); }));
    }
    uint8_t* data = memory[b % kRing].data();
    for (size_t i = 0; i < kBlock; ++i)
      data[i] = static_cast<uint8_t>(b * 7 + i);
    sent.insert(sent.end(), data, data + kBlock);
    h.data = data;
    h.bufferLength = kBlock;
    ASSERT_EQ(device->PrepareHeader(&h), kMmOk);
    ASSERT_EQ(device->Write(&h), kMmOk);
  }
  for (WaveHeader& h : headers) {
    std::unique_lock lock(m);
    ASSERT_TRUE(cv.wait_for(lock, std::chrono::seconds(20),
                            [&] { return !(h.flags.load() & kWhdrInQueue); }));
  }
  done = true;
  meddler.join();
  EXPECT_EQ(sink->Captured(), sent);
  EXPECT_EQ(device->Close(), kMmOk);
}

TEST(DeviceThreadsStressTest, DirectSoundLocksWhileTheDrainThreadReads) {
  auto clock = std::make_shared<FakeClock>();
  CaptureSinkOptions o;
  o.clock = clock;
  auto sinkOwner = std::make_unique<CaptureSink>(o);
  CaptureSink* sink = sinkOwner.get();
  DsBufferDesc desc;
  desc.bufferBytes = 48000 * 100 / 1000 * 4;
  desc.format = PcmToWaveFormat(kFormat);
  DsBufferOptions options;
  options.sinkMillis = 20;
  std::unique_ptr<DsBuffer> buffer;
  ASSERT_EQ(DsBuffer::Create(desc, std::move(sinkOwner), options, buffer), kDsOk);
  ASSERT_EQ(buffer->Play(0, 0, kDsPlayLooping), kDsOk);
  ClockDriver driver(clock);
  std::atomic<bool> done{false};
  std::thread meddler([&] {
    for (int i = 0; !done; ++i) {
      uint32_t status = 0, play = 0, write = 0;
      EXPECT_EQ(buffer->GetStatus(&status), kDsOk);
      EXPECT_EQ(buffer->GetCurrentPosition(&play, &write), kDsOk);
      EXPECT_LT(play, desc.bufferBytes);
      EXPECT_EQ(buffer->SetVolume(-(i % 2000)), kDsOk);
      EXPECT_EQ(buffer->SetPan((i % 200) - 100), kDsOk);
      std::this_thread::yield();
    }
  });
  // Writes behind the play cursor until two seconds of sound have been through the sink.
  uint32_t writePos = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  for (int round = 0; sink->FramesPlayed() < 96000; ++round) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline);
    uint32_t play = 0;
    ASSERT_EQ(buffer->GetCurrentPosition(&play, nullptr), kDsOk);
    const uint32_t room = (desc.bufferBytes + play - writePos) % desc.bufferBytes / 4 * 4;
    const uint32_t n = std::min<uint32_t>(room, 4096);
    if (n == 0) {
      std::this_thread::yield();
      continue;
    }
    void *p1, *p2;
    uint32_t n1, n2;
    ASSERT_EQ(buffer->Lock(writePos, n, &p1, &n1, &p2, &n2, 0), kDsOk);
    std::memset(p1, round & 0x7F, n1);
    if (n2) std::memset(p2, round & 0x7F, n2);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), kDsOk);
    writePos = (writePos + n) % desc.bufferBytes;
    if (round % 500 == 250) {
      ASSERT_EQ(buffer->Stop(), kDsOk);
      ASSERT_EQ(buffer->Play(0, 0, kDsPlayLooping), kDsOk);
    }
  }
  done = true;
  meddler.join();
  buffer.reset();
}

}  // namespace
}  // namespace vk2
