// The visual tap's cost per second of 44.1 kHz stereo 16-bit audio: appending to the history
// (with the trimming the tap does), and fetching one record with its spectrum per frame at 60
// frames per second. Beside it, the references: copying the same bytes, and a full 512-point
// complex transform (the test library's) per channel. "audio_s" is seconds of audio handled
// per second of CPU: its inverse is the share of one core the tap costs.
#include <benchmark/benchmark.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

#include "tests/support/tone_analysis.h"
#include "visual/audio_history.h"
#include "visual/spectrum.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kFrameBytes = 4;
constexpr uint32_t kPacketFrames = 1152;
constexpr uint32_t kKey = 1;
constexpr uint32_t kFramesPerSecond = 60;

std::vector<uint8_t> Packet() {
  std::vector<uint8_t> bytes(kPacketFrames * kFrameBytes);
  for (size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<uint8_t>(i * 37);
  return bytes;
}

// One second of audio through the tap's history work, and a second's worth of records.
void OursPerSecond(benchmark::State& state) {
  const std::vector<uint8_t> packet = Packet();
  vk2::RefPtr<vk2::VisualAudioHistory> history = vk2::VisualAudioHistory::Make();
  history->SetFormat(kKey, 2, kRate, 16, false);
  int64_t total = 0;
  VisualAudioRecord record;
  for (auto _ : state) {
    const int64_t end = total + int64_t{kRate} * kFrameBytes;
    int64_t nextFrame = total;
    while (total < end) {
      history->Trim(kKey, total - int64_t{kRate} * kFrameBytes);
      history->Append(kKey, packet.data(), static_cast<uint32_t>(packet.size()));
      total += static_cast<int64_t>(packet.size());
      if (total >= nextFrame + int64_t{kRate} * kFrameBytes / kFramesPerSecond) {
        nextFrame = total;
        benchmark::DoNotOptimize(history->Fetch(
            kKey, 0, total - static_cast<int64_t>(packet.size()), kVisualWantsSpectrum, &record));
      }
    }
  }
  state.counters["audio_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(OursPerSecond)->Unit(benchmark::kMicrosecond);

void ReferenceCopyAndFullTransformPerSecond(benchmark::State& state) {
  const std::vector<uint8_t> packet = Packet();
  std::vector<uint8_t> copy(packet.size());
  std::vector<std::complex<double>> work(512);
  for (auto _ : state) {
    uint32_t bytes = 0;
    uint32_t nextFrame = 0;
    while (bytes < kRate * kFrameBytes) {
      std::memcpy(copy.data(), packet.data(), packet.size());
      benchmark::ClobberMemory();
      bytes += static_cast<uint32_t>(packet.size());
      if (bytes >= nextFrame + kRate * kFrameBytes / kFramesPerSecond) {
        nextFrame = bytes;
        for (int channel = 0; channel < 2; ++channel) {
          for (size_t i = 0; i < work.size(); ++i)
            work[i] = static_cast<double>(static_cast<int8_t>(copy[(i * 4) % copy.size()]));
          vk2::test::Fft(&work);
          benchmark::DoNotOptimize(work.data());
        }
      }
    }
  }
  state.counters["audio_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(ReferenceCopyAndFullTransformPerSecond)->Unit(benchmark::kMicrosecond);

// One channel's spectrum alone.
void OursSpectrum(benchmark::State& state) {
  std::vector<int8_t> samples(512);
  for (size_t i = 0; i < samples.size(); ++i)
    samples[i] = static_cast<int8_t>(100 * std::sin(0.3 * static_cast<double>(i)));
  uint8_t out[256];
  for (auto _ : state) {
    vk2::ComputeSpectrum(samples.data(), out);
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(OursSpectrum);

void ReferenceFullTransform(benchmark::State& state) {
  std::vector<std::complex<double>> work(512);
  for (auto _ : state) {
    for (size_t i = 0; i < work.size(); ++i)
      work[i] = 100 * std::sin(0.3 * static_cast<double>(i));
    vk2::test::Fft(&work);
    benchmark::DoNotOptimize(work.data());
  }
}
BENCHMARK(ReferenceFullTransform);

}  // namespace
