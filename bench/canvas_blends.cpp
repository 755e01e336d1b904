// Canvas blends of a 1024x768 surface against pixman where pixman has the operation: layer
// multiply and screen, saturating add, an opacity cross-fade. The operations pixman lacks (a
// masked-channel XOR, luminance alpha) run alone, for their absolute time.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include "bench/canvas_bench_surfaces.h"
#include "oru/graphics/canvas/canvas_object.h"

namespace {

using vk2::bench::BenchPixels;
using vk2::bench::kHeight;
using vk2::bench::kWidth;

struct Pair {
  BenchPixels src{kWidth, kHeight, true, 1};
  BenchPixels dst{kWidth, kHeight, true, 2};
  vk2::RefPtr<vk2::MCanvas> canvas;
  Pair() { vk2::gfx::CreateCanvasOnView(dst.View(), &canvas); }
};

void CanvasBlend(benchmark::State& state, uint64_t code, int32_t opacity) {
  Pair p;
  for (auto _ : state)
    p.canvas->Blit(p.src.Source(), 0, 0, code, opacity);
}

void PixmanBlend(benchmark::State& state, pixman_op_t op, uint32_t maskAlpha) {
  Pair p;
  pixman_image_t* s = p.src.Pixman();
  pixman_image_t* d = p.dst.Pixman();
  pixman_image_t* m = nullptr;
  if (maskAlpha != 0xFFFF) {
    const pixman_color_t c{0, 0, 0, static_cast<uint16_t>(maskAlpha)};
    m = pixman_image_create_solid_fill(&c);
  }
  for (auto _ : state) {
    pixman_image_composite32(op, s, m, d, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
  }
  if (m) pixman_image_unref(m);
  pixman_image_unref(s);
  pixman_image_unref(d);
}

void BM_CanvasMultiply(benchmark::State& s) {
  CanvasBlend(s, 0x1000001150F, 256);
}
void BM_PixmanMultiply(benchmark::State& s) {
  PixmanBlend(s, PIXMAN_OP_MULTIPLY, 0xFFFF);
}
void BM_CanvasScreen(benchmark::State& s) {
  CanvasBlend(s, 0x1000001160F, 256);
}
void BM_PixmanScreen(benchmark::State& s) {
  PixmanBlend(s, PIXMAN_OP_SCREEN, 0xFFFF);
}
// Saturating add of opaque pixels: our own combiner against pixman's ADD.
void BM_CanvasSatAdd(benchmark::State& s) {
  CanvasBlend(s, 0xE0F, 256);
}
void BM_PixmanAdd(benchmark::State& s) {
  PixmanBlend(s, PIXMAN_OP_ADD, 0xFFFF);
}
// Copy at half opacity of opaque pixels: our interpolation against pixman's OVER with a mask.
void BM_CanvasOpacityCopy(benchmark::State& s) {
  CanvasBlend(s, 0x10000000000F, 128);
}
void BM_PixmanOverHalfMask(benchmark::State& s) {
  PixmanBlend(s, PIXMAN_OP_OVER, 0x7F7F);
}
void BM_CanvasXorRgb(benchmark::State& s) {
  CanvasBlend(s, 0x50E, 256);
}
void BM_CanvasLuminanceAlpha(benchmark::State& s) {
  CanvasBlend(s, 0x2000F, 256);
}

BENCHMARK(BM_CanvasMultiply);
BENCHMARK(BM_PixmanMultiply);
BENCHMARK(BM_CanvasScreen);
BENCHMARK(BM_PixmanScreen);
BENCHMARK(BM_CanvasSatAdd);
BENCHMARK(BM_PixmanAdd);
BENCHMARK(BM_CanvasOpacityCopy);
BENCHMARK(BM_PixmanOverHalfMask);
BENCHMARK(BM_CanvasXorRgb);
BENCHMARK(BM_CanvasLuminanceAlpha);

}  // namespace
