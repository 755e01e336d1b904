// Canvas blits of a 1024x768 surface against pixman doing the same: plain copies, source over,
// stretched (nearest and bilinear) and rotated with filtering. Read the ratio of each pair.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <string>

#include "bench/canvas_bench_surfaces.h"
#include "oru/graphics/canvas/canvas_object.h"

namespace {

using vk2::bench::BenchPixels;
using vk2::bench::kHeight;
using vk2::bench::kWidth;

constexpr uint64_t kCopy = 0xF;
constexpr uint64_t kSourceOver = 0x1000001000F;  // layer mode, source alpha, COPY

struct Pair {
  BenchPixels src;
  BenchPixels dst{kWidth, kHeight, true, 2};
  vk2::RefPtr<vk2::MCanvas> canvas;

  Pair(int32_t w, int32_t h, bool opaque) : src(w, h, opaque, 1) {
    vk2::gfx::CreateCanvasOnView(dst.View(), &canvas);
  }
};

// Composites the whole target with `op` once per iteration, then lets go of both images.
void CompositeWhole(benchmark::State& state, pixman_op_t op, pixman_image_t* s, pixman_image_t* d) {
  for (auto _ : state) {
    pixman_image_composite32(op, s, nullptr, d, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
  }
  pixman_image_unref(s);
  pixman_image_unref(d);
}

// Whole-surface blits at 1:1: ours with a blend code, pixman's with the operator that does the
// same.
struct PlainBlit {
  const char* name;
  uint64_t code;
  pixman_op_t op;
  bool opaqueSource;
};

constexpr PlainBlit kPlainBlits[] = {
    {"Copy", kCopy, PIXMAN_OP_SRC, true},
    {"Over", kSourceOver, PIXMAN_OP_OVER, false},
};

void CanvasBlit(benchmark::State& state, const PlainBlit& blit) {
  Pair p(kWidth, kHeight, blit.opaqueSource);
  for (auto _ : state)
    p.canvas->Blit(p.src.Source(), 0, 0, blit.code, 256);
}

void PixmanBlit(benchmark::State& state, const PlainBlit& blit) {
  Pair p(kWidth, kHeight, blit.opaqueSource);
  CompositeWhole(state, blit.op, p.src.Pixman(), p.dst.Pixman());
}

// Each plain blit as the pair BM_CanvasBlit<name> and BM_PixmanBlit<name>.
[[maybe_unused]] const bool kPlainBlitsRegistered = [] {
  for (const PlainBlit& blit : kPlainBlits) {
    benchmark::RegisterBenchmark((std::string("BM_CanvasBlit") + blit.name).c_str(), CanvasBlit,
                                 blit);
    benchmark::RegisterBenchmark((std::string("BM_PixmanBlit") + blit.name).c_str(), PixmanBlit,
                                 blit);
  }
  return true;
}();

// A 512x384 source stretched over the whole target; arg 0 nearest, 1 bilinear.
void BM_CanvasStretch(benchmark::State& state) {
  Pair p(kWidth / 2, kHeight / 2, true);
  const uint64_t code = kCopy | (state.range(0) ? vk2::kBlendBilinear : 0);
  for (auto _ : state) {
    p.canvas->StretchBlit(p.src.Source(), vk2::RectI{0, 0, kWidth, kHeight}, code, 256);
  }
}
BENCHMARK(BM_CanvasStretch)->Arg(0)->Arg(1);

void BM_PixmanStretch(benchmark::State& state) {
  Pair p(kWidth / 2, kHeight / 2, true);
  pixman_image_t* s = p.src.Pixman();
  pixman_image_t* d = p.dst.Pixman();
  pixman_transform_t t;
  pixman_transform_init_scale(&t, pixman_double_to_fixed(0.5), pixman_double_to_fixed(0.5));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, state.range(0) ? PIXMAN_FILTER_BILINEAR : PIXMAN_FILTER_NEAREST,
                          nullptr, 0);
  pixman_image_set_repeat(s, PIXMAN_REPEAT_PAD);
  CompositeWhole(state, PIXMAN_OP_SRC, s, d);
}
BENCHMARK(BM_PixmanStretch)->Arg(0)->Arg(1);

// The whole source turned 30 degrees about its centre, filtered, over the target.
constexpr double kAngle = 30.0 * 3.14159265358979 / 180.0;

void BM_CanvasRotateFiltered(benchmark::State& state) {
  Pair p(kWidth, kHeight, true);
  vk2::RotateArgs args;
  args.destCenterX = args.sourceCenterX = kWidth / 2.0;
  args.destCenterY = args.sourceCenterY = kHeight / 2.0;
  args.angle = kAngle;
  for (auto _ : state) {
    p.canvas->RotateBlit(p.src.Source(), args, kSourceOver | vk2::kBlendBilinear, 256);
  }
}
BENCHMARK(BM_CanvasRotateFiltered);

void BM_PixmanRotateFiltered(benchmark::State& state) {
  Pair p(kWidth, kHeight, true);
  pixman_image_t* s = p.src.Pixman();
  pixman_image_t* d = p.dst.Pixman();
  // Target to source: move the centre to the origin, turn back, move to the source centre.
  pixman_transform_t t;
  pixman_transform_init_identity(&t);
  pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(-kWidth / 2.0),
                             pixman_double_to_fixed(-kHeight / 2.0));
  pixman_transform_rotate(&t, nullptr, pixman_double_to_fixed(std::cos(kAngle)),
                          pixman_double_to_fixed(-std::sin(kAngle)));
  pixman_transform_translate(&t, nullptr, pixman_double_to_fixed(kWidth / 2.0),
                             pixman_double_to_fixed(kHeight / 2.0));
  pixman_image_set_transform(s, &t);
  pixman_image_set_filter(s, PIXMAN_FILTER_BILINEAR, nullptr, 0);
  CompositeWhole(state, PIXMAN_OP_OVER, s, d);
}
BENCHMARK(BM_PixmanRotateFiltered);

}  // namespace
