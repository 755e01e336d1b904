// Palette gradients over a 1024x768 surface against pixman's gradients with the same 256 stops:
// linear, circular (pixman's radial) and radial sweeps (pixman's conical).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <array>
#include <vector>

#include "bench/canvas_bench_surfaces.h"
#include "oru/graphics/canvas/canvas_object.h"

namespace {

using vk2::bench::BenchPixels;
using vk2::bench::kHeight;
using vk2::bench::kWidth;

constexpr uint64_t kCopy = 0xF;

std::array<uint32_t, 256> Palette() {
  std::array<uint32_t, 256> p{};
  for (uint32_t i = 0; i < 256; ++i)
    p[i] = 0xFF000000 | (i << 16) | ((255 - i) << 8) | (i / 2);
  return p;
}

std::vector<pixman_gradient_stop_t> Stops() {
  std::vector<pixman_gradient_stop_t> stops;
  const auto p = Palette();
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t c = p[i];
    stops.push_back({pixman_double_to_fixed(i / 255.0),
                     {static_cast<uint16_t>(((c >> 16) & 0xFF) * 257),
                      static_cast<uint16_t>(((c >> 8) & 0xFF) * 257),
                      static_cast<uint16_t>((c & 0xFF) * 257), 0xFFFF}});
  }
  return stops;
}

void CanvasFill(benchmark::State& state, int32_t kind, const void* record) {
  BenchPixels target(kWidth, kHeight, true, 1);
  vk2::RefPtr<vk2::MCanvas> canvas;
  vk2::gfx::CreateCanvasOnView(target.View(), &canvas);
  const auto palette = Palette();
  for (auto _ : state) {
    canvas->GeneratedFill(kind, vk2::RectI{0, 0, kWidth, kHeight}, record, palette.data());
  }
}

void PixmanFill(benchmark::State& state, pixman_image_t* gradient) {
  BenchPixels target(kWidth, kHeight, true, 1);
  pixman_image_t* d = target.Pixman();
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, gradient, nullptr, d, 0, 0, 0, 0, 0, 0, kWidth,
                             kHeight);
  }
  pixman_image_unref(d);
  pixman_image_unref(gradient);
}

void BM_CanvasLinear(benchmark::State& state) {
  vk2::LinearFillRecord rec;
  rec.head.code = kCopy;
  rec.angle = 2000;
  CanvasFill(state, vk2::kFillLinear, &rec);
}
void BM_PixmanLinear(benchmark::State& state) {
  const auto stops = Stops();
  const pixman_point_fixed_t p1{0, 0};
  const pixman_point_fixed_t p2{pixman_int_to_fixed(kWidth), pixman_int_to_fixed(200)};
  PixmanFill(state, pixman_image_create_linear_gradient(&p1, &p2, stops.data(),
                                                        static_cast<int>(stops.size())));
}
void BM_CanvasCircular(benchmark::State& state) {
  vk2::CircularFillRecord rec;
  rec.head.code = kCopy;
  rec.centerX = kWidth / 2;
  rec.centerY = kHeight / 2;
  rec.radius = 400;
  CanvasFill(state, vk2::kFillCircular, &rec);
}
void BM_PixmanCircular(benchmark::State& state) {
  const auto stops = Stops();
  const pixman_point_fixed_t c{pixman_int_to_fixed(kWidth / 2), pixman_int_to_fixed(kHeight / 2)};
  PixmanFill(state,
             pixman_image_create_radial_gradient(&c, &c, 0, pixman_int_to_fixed(400), stops.data(),
                                                 static_cast<int>(stops.size())));
}
void BM_CanvasRadial(benchmark::State& state) {
  vk2::RadialFillRecord rec;
  rec.head.code = kCopy;
  rec.centerX = kWidth / 2;
  rec.centerY = kHeight / 2;
  CanvasFill(state, vk2::kFillRadial, &rec);
}
void BM_PixmanConical(benchmark::State& state) {
  const auto stops = Stops();
  const pixman_point_fixed_t c{pixman_int_to_fixed(kWidth / 2), pixman_int_to_fixed(kHeight / 2)};
  PixmanFill(state, pixman_image_create_conical_gradient(&c, 0, stops.data(),
                                                         static_cast<int>(stops.size())));
}

BENCHMARK(BM_CanvasLinear);
BENCHMARK(BM_PixmanLinear);
BENCHMARK(BM_CanvasCircular);
BENCHMARK(BM_PixmanCircular);
BENCHMARK(BM_CanvasRadial);
BENCHMARK(BM_PixmanConical);

}  // namespace
