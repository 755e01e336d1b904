// The band equalizer's processing on 44.1 kHz stereo, as a multiple of real time on one core:
// ours (band by band over each channel of a packet) beside the plain routine that runs every
// band per sample, frame by frame, which is what the bands compute. 20 bands must reach 100x,
// 200 bands 10x. "realtime" is seconds of audio processed per second of CPU.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "audio/common/format_record.h"
#include "audio/effects/band_layout.h"
#include "audio/effects/equalizer_bank.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kChannels = 2;
constexpr uint32_t kPacketFrames = 1152;
constexpr double kSeconds = 10.0;

// Every band active, alternately boosting and cutting.
vk2::BandLayout Layout(uint32_t bands) {
  vk2::BandLayout layout = vk2::HalvingLayout(bands, kRate / 2.0, false);
  for (size_t i = 0; i < layout.size(); ++i)
    layout[i].gain = i % 2 ? 0.5 : -0.4;
  return layout;
}

std::vector<int16_t> Music(uint32_t frames) {
  std::vector<int16_t> s(static_cast<size_t>(frames) * kChannels);
  for (uint32_t n = 0; n < frames; ++n) {
    const double t = static_cast<double>(n) / kRate;
    const double v = 0.2 * std::sin(2 * std::numbers::pi * 220 * t) +
                     0.1 * std::sin(2 * std::numbers::pi * 3150 * t) +
                     0.05 * std::sin(2 * std::numbers::pi * 9000 * t);
    s[2 * n] = static_cast<int16_t>(v * 32767);
    s[2 * n + 1] = static_cast<int16_t>(-v * 32767);
  }
  return s;
}

void SetRealtime(benchmark::State& state, uint64_t frames) {
  state.counters["realtime"] =
      benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}

void Ours(benchmark::State& state, uint32_t bits) {
  const auto bands = static_cast<uint32_t>(state.range(0));
  vk2::EqualizerBank bank;
  bank.SetLayout(Layout(bands));
  bank.Build(kRate, kChannels, nullptr);
  auto format = vk2::MakePcmFormat(kRate, kChannels, bits, bits == 32);
  const auto total = static_cast<uint32_t>(kSeconds * kRate);
  const std::vector<int16_t> pcm = Music(total);
  std::vector<uint8_t> source;
  if (bits == 16) {
    source.assign(reinterpret_cast<const uint8_t*>(pcm.data()),
                  reinterpret_cast<const uint8_t*>(pcm.data() + pcm.size()));
  } else {
    std::vector<float> f(pcm.begin(), pcm.end());
    for (float& v : f)
      v /= 32768.0f;
    source.assign(reinterpret_cast<const uint8_t*>(f.data()),
                  reinterpret_cast<const uint8_t*>(f.data() + f.size()));
  }
  std::vector<uint8_t> work = source;
  const uint32_t packetBytes = kPacketFrames * kChannels * bits / 8;
  uint64_t frames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    work = source;
    state.ResumeTiming();
    for (size_t at = 0; at + packetBytes <= work.size(); at += packetBytes)
      bank.Process(work.data() + at, packetBytes, *format);
    benchmark::DoNotOptimize(work.data());
    frames += work.size() / (kChannels * bits / 8);
  }
  SetRealtime(state, frames);
}

// The bands as the arithmetic reads: per frame, per channel, every band in series.
void PlainReference(benchmark::State& state) {
  const auto count = static_cast<uint32_t>(state.range(0));
  struct Band {
    float a0, b1, b2, g;
    float h[kChannels][4];
  };
  std::vector<Band> bands;
  for (const auto& b : Layout(count)) {
    const double k = 1.0 / std::tan(std::numbers::pi * b.width / kRate);
    const double a0 = 1.0 / (1.0 + k);
    bands.push_back(
        {static_cast<float>(a0),
         static_cast<float>(-(k * 2.0 * std::cos(2 * std::numbers::pi * b.frequency / kRate) * a0)),
         static_cast<float>((k - 1.0) * a0),
         static_cast<float>(b.gain),
         {}});
  }
  const auto total = static_cast<uint32_t>(kSeconds * kRate);
  const std::vector<int16_t> source = Music(total);
  std::vector<int16_t> work;
  uint64_t frames = 0;
  for (auto _ : state) {
    state.PauseTiming();
    work = source;
    state.ResumeTiming();
    for (uint32_t n = 0; n < total; ++n) {
      for (uint32_t c = 0; c < kChannels; ++c) {
        float v = work[2 * n + c];
        for (Band& b : bands) {
          float* h = b.h[c];
          const float y = b.a0 * (v - h[1]) - b.b1 * h[2] - b.b2 * h[3];
          h[1] = h[0];
          h[0] = v;
          h[3] = h[2];
          h[2] = y;
          v += y * b.g;
        }
        work[2 * n + c] =
            static_cast<int16_t>(std::lrintf(std::fmax(-32768.f, std::fmin(32767.f, v))));
      }
    }
    benchmark::DoNotOptimize(work.data());
    frames += total;
  }
  SetRealtime(state, frames);
}

void OursS16(benchmark::State& state) {
  Ours(state, 16);
}
void OursF32(benchmark::State& state) {
  Ours(state, 32);
}

}  // namespace

BENCHMARK(OursS16)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(OursF32)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainReference)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond);
