// The pitch filter's resampling on 44.1 kHz stereo at pitch 1.3 (and the in-place gains at
// pitch 1), as a multiple of real time on one core, beside libsamplerate's linear converter
// doing the same job on floats. "realtime" is seconds of input audio per second of CPU.
#include <benchmark/benchmark.h>
#include <samplerate.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/common/format_record.h"
#include "audio/effects/pitch_resampler.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kChannels = 2;
constexpr uint32_t kPacketFrames = 1152;
constexpr double kPitch = 1.3;
constexpr uint32_t kPackets = 383;  // about 10 s

std::vector<float> Signal() {
  std::vector<float> s(static_cast<size_t>(kPackets) * kPacketFrames * kChannels);
  for (size_t n = 0; n < s.size() / kChannels; ++n) {
    const float v = 0.3f * std::sin(2.0f * std::numbers::pi_v<float> * 440.0f * n / kRate);
    s[2 * n] = v;
    s[2 * n + 1] = -v;
  }
  return s;
}

void SetRealtime(benchmark::State& state, uint64_t frames) {
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}

template <class Sample>
void Ours(benchmark::State& state, double pitch) {
  const std::vector<float> f = Signal();
  std::vector<Sample> in(f.size());
  for (size_t i = 0; i < f.size(); ++i) {
    if constexpr (std::is_same_v<Sample, float>) {
      in[i] = f[i];
    } else {
      in[i] = static_cast<Sample>(f[i] * 32767);
    }
  }
  auto format =
      vk2::MakePcmFormat(kRate, kChannels, sizeof(Sample) * 8, std::is_same_v<Sample, float>);
  const auto outFrames = static_cast<uint32_t>(kPacketFrames / pitch);
  std::vector<Sample> out(static_cast<size_t>(outFrames) * kChannels);
  const std::vector<double> gains = vk2::ChannelGains(0.9, 0.2, kChannels);
  vk2::PitchResampler resampler;
  uint64_t frames = 0;
  for (auto _ : state) {
    for (uint32_t p = 0; p < kPackets; ++p) {
      auto* packet = reinterpret_cast<uint8_t*>(in.data() +
                                                static_cast<size_t>(p) * kPacketFrames * kChannels);
      if (pitch == 1.0) {
        resampler.ApplyGains(packet, kPacketFrames, *format, gains);
      } else {
        resampler.Resample(packet, kPacketFrames, reinterpret_cast<uint8_t*>(out.data()), outFrames,
                           *format, gains);
      }
    }
    benchmark::DoNotOptimize(out.data());
    frames += static_cast<uint64_t>(kPackets) * kPacketFrames;
  }
  SetRealtime(state, frames);
}

void OursS16(benchmark::State& state) {
  Ours<int16_t>(state, kPitch);
}
void OursF32(benchmark::State& state) {
  Ours<float>(state, kPitch);
}
void OursGainsOnlyS16(benchmark::State& state) {
  Ours<int16_t>(state, 1.0);
}

void LibsamplerateLinear(benchmark::State& state) {
  std::vector<float> in = Signal();
  std::vector<float> out(static_cast<size_t>(kPacketFrames / kPitch + 2) * kChannels);
  int error = 0;
  SRC_STATE* src = src_new(SRC_LINEAR, kChannels, &error);
  uint64_t frames = 0;
  for (auto _ : state) {
    for (uint32_t p = 0; p < kPackets; ++p) {
      SRC_DATA data{};
      data.data_in = in.data() + static_cast<size_t>(p) * kPacketFrames * kChannels;
      data.input_frames = kPacketFrames;
      data.data_out = out.data();
      data.output_frames = static_cast<long>(out.size() / kChannels);
      data.src_ratio = 1.0 / kPitch;
      src_process(src, &data);
    }
    benchmark::DoNotOptimize(out.data());
    frames += static_cast<uint64_t>(kPackets) * kPacketFrames;
  }
  src_delete(src);
  SetRealtime(state, frames);
}

}  // namespace

BENCHMARK(OursS16)->Unit(benchmark::kMillisecond);
BENCHMARK(OursF32)->Unit(benchmark::kMillisecond);
BENCHMARK(OursGainsOnlyS16)->Unit(benchmark::kMillisecond);
BENCHMARK(LibsamplerateLinear)->Unit(benchmark::kMillisecond);
