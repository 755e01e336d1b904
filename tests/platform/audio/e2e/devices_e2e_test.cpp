// Both device stand-ins on the real back ends: a known signal written the way the output
// devices write it comes out of the PulseAudio null sink whole; the same runs on ALSA's null
// device without error.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/audio/dsound/direct_sound.h"
#include "platform/audio/sink/alsa_sink.h"
#include "platform/audio/sink/pulse_sink.h"
#include "platform/audio/waveout/wave_out.h"
#include "tests/support/audio_compare.h"
#include "tests/support/monitor_recorder.h"
#include "tests/support/private_null_sink.h"

namespace vk2 {
namespace {

constexpr PcmFormat kFormat{48000, 2, 16, false};

// Plays `signal` through a waveOut stand-in in 4096-byte blocks, waiting on the completion
// callback for free blocks, until every block is done.
void PlayThroughWaveOut(const PcmSinkFactory& factory, const std::vector<uint8_t>& signal,
                        uint32_t deviceId = kWaveMapper) {
  std::mutex m;
  std::condition_variable cv;
  int completions = 0;
  constexpr size_t kBlock = 4096;
  // A ring of blocks as long as a device buffer, so a busy test machine does not starve it.
  std::vector<std::vector<uint8_t>> memory(32, std::vector<uint8_t>(kBlock));
  std::vector<WaveHeader> headers(32);
  WaveOutOptions options;
  options.sinkFactory = factory;
  std::unique_ptr<WaveOut> device;  // goes before the blocks it reads
  ASSERT_EQ(WaveOut::Open(
                device, deviceId, PcmToWaveFormat(kFormat),
                [&] {
                  std::lock_guard lock(m);
                  ++completions;
                  cv.notify_all();
                },
                0, options),
            kMmOk);
  size_t next = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  for (size_t done = 0; done < signal.size();) {
    WaveHeader& h = headers[next];
    std::unique_lock lock(m);
    while ((h.flags & kWhdrInQueue) && std::chrono::steady_clock::now() < deadline) {
      cv.wait_for(lock, std::chrono::milliseconds(25));
    }
    lock.unlock();
    ASSERT_FALSE(h.flags & kWhdrInQueue) << "a block never completed";
    const size_t n = std::min(kBlock, signal.size() - done);
    std::memcpy(memory[next].data(), signal.data() + done, n);
    h.data = memory[next].data();
    h.bufferLength = static_cast<uint32_t>(n);
    ASSERT_EQ(device->PrepareHeader(&h), kMmOk);
    ASSERT_EQ(device->Write(&h), kMmOk);
    done += n;
    next = (next + 1) % headers.size();
  }
  for (WaveHeader& h : headers) {
    std::unique_lock lock(m);
    while ((h.flags & kWhdrInQueue) && std::chrono::steady_clock::now() < deadline) {
      cv.wait_for(lock, std::chrono::milliseconds(25));
    }
    ASSERT_FALSE(h.flags & kWhdrInQueue);
  }
  uint64_t position = 0;
  ASSERT_EQ(device->GetPosition(&position), kMmOk);
  EXPECT_EQ(position, signal.size());
  ASSERT_EQ(device->Close(), kMmOk);
}

// Streams `signal` into a looping DirectSound stand-in buffer as the output device does:
// room is the distance from the write position round to the play cursor; then silence, until
// the play cursor has passed the end.
void PlayThroughDirectSound(const PcmSinkFactory& factory, const std::vector<uint8_t>& signal,
                            const std::string& deviceId = "") {
  std::unique_ptr<DirectSound> ds;
  ASSERT_EQ(DirectSound::Create(deviceId, factory, ds), kDsOk);
  DsBufferDesc desc;
  desc.bufferBytes = 48000 * 1000 / 1000 * 4;
  desc.format = PcmToWaveFormat(kFormat);
  std::unique_ptr<DsBuffer> buffer;
  ASSERT_EQ(ds->CreateSoundBuffer(desc, buffer), kDsOk);
  const uint32_t size = buffer->Size();
  std::vector<uint8_t> padded = signal;
  padded.resize(signal.size() + size, 0);  // a buffer of silence after the sound
  uint32_t write = 0;
  uint64_t written = 0;
  bool started = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (written < padded.size() && std::chrono::steady_clock::now() < deadline) {
    uint32_t play = 0;
    ASSERT_EQ(buffer->GetCurrentPosition(&play, nullptr), kDsOk);
    uint32_t room = (size + play - write) % size;
    if (!started) room = size / 2;
    room = room / 4 * 4;
    const uint32_t n = static_cast<uint32_t>(
        std::min<uint64_t>(room > 64 ? room - 64 : 0, padded.size() - written));
    if (n > 0) {
      void *p1, *p2;
      uint32_t n1, n2;
      ASSERT_EQ(buffer->Lock(write, n, &p1, &n1, &p2, &n2, 0), kDsOk);
      std::memcpy(p1, padded.data() + written, n1);
      if (n2) std::memcpy(p2, padded.data() + written + n1, n2);
      ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), kDsOk);
      write = (write + n) % size;
      written += n;
    }
    if (!started) {
      ASSERT_EQ(buffer->Play(0, 0, kDsPlayLooping), kDsOk);
      started = true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(written, padded.size());
  ASSERT_EQ(buffer->Stop(), kDsOk);
}

class DevicesOnPulseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PulseServerAnswers(2000)) GTEST_SKIP() << "no PulseAudio server";
    if (!test::HaveTool("parec")) GTEST_SKIP() << "parec not installed";
    ASSERT_TRUE(nullSink_.Loaded()) << nullSink_.Error();
    PulseSink probe;
    ASSERT_TRUE(probe.Open("", kFormat, 50)) << probe.LastError();
    sinkName_ = probe.ConnectedSinkName();
    ASSERT_EQ(sinkName_, nullSink_.Name());
  }

  void ExpectHeard(const std::vector<int16_t>& heard, const std::vector<int16_t>& signal) {
    for (uint32_t channel : {0u, 1u}) {
      const test::Match m = test::FindSignal(heard, signal, 2, channel, 4800, 9600);
      EXPECT_GT(m.correlation, 0.999) << "channel " << channel;
      ASSERT_GE(m.frame + 4800, 0);
      ASSERT_LE(static_cast<size_t>(m.frame) * 2 + signal.size(), heard.size());
      // Everything after the start is there, at the level it was written.
      EXPECT_NEAR(test::EnergyRatioDb(heard, m.frame + 4800, signal, 4800, 2), 0.0, 0.1);
    }
  }

  test::PrivateNullSink nullSink_;
  std::string sinkName_;
  const PcmSinkFactory pulse_ = [] { return std::make_unique<PulseSink>(); };
};

TEST_F(DevicesOnPulseTest, WaveOutPlaysASignalWhole) {
  test::MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sinkName_, kFormat.sampleRate, 2));
  const std::vector<int16_t> signal = test::MakeSignal(48000, 2, 48000, 0.5);
  PlayThroughWaveOut(pulse_, test::FromS16(signal));
  ExpectHeard(recorder.Stop(), signal);
}

TEST_F(DevicesOnPulseTest, DirectSoundPlaysASignalWhole) {
  test::MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sinkName_, kFormat.sampleRate, 2));
  const std::vector<int16_t> signal = test::MakeSignal(48000, 2, 48000, 0.5);
  PlayThroughDirectSound(pulse_, test::FromS16(signal));
  ExpectHeard(recorder.Stop(), signal);
}

TEST(DevicesOnAlsaTest, BothDevicesRunOnTheNullDevice) {
  const PcmSinkFactory alsa = [] { return std::make_unique<AlsaSink>(); };
  uint32_t nullDevice = kWaveMapper;
  for (uint32_t id = 0; id < WaveOut::GetNumDevs(alsa); ++id) {
    WaveOutCaps caps;
    if (WaveOut::GetDevCaps(id, &caps, alsa) == kMmOk && caps.deviceId == "null") nullDevice = id;
  }
  ASSERT_NE(nullDevice, kWaveMapper) << "ALSA lists no null device";
  const std::vector<uint8_t> signal = test::FromS16(test::MakeSignal(24000, 2, 48000, 0.5));
  PlayThroughWaveOut(alsa, signal, nullDevice);
  PlayThroughDirectSound(alsa, signal, "null");
}

}  // namespace
}  // namespace vk2
