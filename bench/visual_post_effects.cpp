// The built-in post effect over a 640 x 480 image, as the share of one core it takes at 60
// frames per second: every step on (fade, blur, smoke, zoom) and the default settings (fade
// and smoke). The reference is what a frame costs anyway: copying the image once.
// "frames_s" is frames per second of CPU; 60 / frames_s is the share of a core.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "visual/post_effect.h"

namespace {

constexpr int32_t kWidth = 640;
constexpr int32_t kHeight = 480;

struct Image {
  Image() : pixels(static_cast<size_t>(kWidth) * kHeight) {
    for (size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = static_cast<uint32_t>(i * 2654435761u) & 0x00FFFFFFu;
    view.bits = reinterpret_cast<uint8_t*>(pixels.data());
    view.width = kWidth;
    view.height = kHeight;
    view.strideBytes = kWidth * 4;
  }
  std::vector<uint32_t> pixels;
  vk2::SurfaceView view;
};

void Run(benchmark::State& state, bool everything) {
  Image image;
  vk2::RefPtr<vk2::VisualPostEffect> effect = vk2::VisualPostEffect::Make();
  if (everything) {
    effect->SetInteger(u"blur", 1);
    effect->SetNumber(u"zoom", 1.0);
  }
  for (auto _ : state) {
    effect->Apply(&image.view);
    benchmark::ClobberMemory();
  }
  state.counters["frames_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void OursEveryStep(benchmark::State& state) {
  Run(state, true);
}
BENCHMARK(OursEveryStep)->Unit(benchmark::kMicrosecond);

void OursDefaults(benchmark::State& state) {
  Run(state, false);
}
BENCHMARK(OursDefaults)->Unit(benchmark::kMicrosecond);

void ReferenceFrameCopy(benchmark::State& state) {
  Image image;
  std::vector<uint32_t> target(image.pixels.size());
  for (auto _ : state) {
    std::memcpy(target.data(), image.pixels.data(), target.size() * 4);
    benchmark::ClobberMemory();
  }
  state.counters["frames_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(ReferenceFrameCopy)->Unit(benchmark::kMicrosecond);

}  // namespace
