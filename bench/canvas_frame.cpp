// One 1024x768 frame composed the way a skinned interface draws: a gradient background, a
// stretched panel image, two dozen translucent button images, rounded and antialiased shapes,
// text-like coverage, rectangle clips and shape masks. The figure to read is the time of one frame.
#include <benchmark/benchmark.h>

#include <array>
#include <vector>

#include "bench/canvas_bench_surfaces.h"
#include "oru/graphics/canvas/canvas_object.h"
#include "oru/graphics/canvas/mask_ops.h"

namespace {

using vk2::bench::BenchPixels;
using vk2::bench::kHeight;
using vk2::bench::kWidth;

constexpr uint64_t kCopy = 0xF;
constexpr uint64_t kLayer = 0x1000001000F | vk2::kBlendOpacity;

void BM_CanvasInterfaceFrame(benchmark::State& state) {
  BenchPixels target(kWidth, kHeight, true, 3);
  BenchPixels panel(256, 192, false, 4);
  BenchPixels button(96, 32, false, 5);
  std::vector<uint8_t> glyphs(200 * 16);
  for (size_t i = 0; i < glyphs.size(); ++i)
    glyphs[i] = static_cast<uint8_t>((i * 37) & 0xFF);
  const vk2::SurfaceView text{glyphs.data(), 200, 16, 200, vk2::PixelFormat::kIndex8};
  std::array<uint32_t, 256> palette{};
  for (uint32_t i = 0; i < 256; ++i)
    palette[i] = 0xFF000000 | (i << 16) | (i / 2);
  // A rounded shape that eight of the buttons are cut to.
  std::vector<uint8_t> shapeBits(vk2::gfx::MaskStride(120) * 40);
  const vk2::SurfaceView shape{shapeBits.data(), 120, 40, vk2::gfx::MaskStride(120),
                               vk2::PixelFormat::kMask1};
  vk2::gfx::CombineMaskRoundRect(shape, vk2::RectI{0, 0, 120, 40}, 16, 16, vk2::kClipReplace);
  vk2::RefPtr<vk2::MCanvas> canvas;
  vk2::gfx::CreateCanvasOnView(target.View(), &canvas);
  for (auto _ : state) {
    vk2::FourPointFillRecord background;
    background.code = kCopy | vk2::kBlendFourPointPlain;
    background.colors[0] = 0xFF203040;
    background.colors[1] = 0xFF405060;
    background.colors[2] = 0xFF102030;
    background.colors[3] = 0xFF000010;
    canvas->GeneratedFill(vk2::kFillFourPoint, vk2::RectI{0, 0, kWidth, kHeight}, &background,
                          nullptr);
    canvas->StretchBlit(panel.Source(), vk2::RectI{32, 32, 992, 320}, kLayer | vk2::kBlendBilinear,
                        256);
    vk2::LinearFillRecord bar;
    bar.head.code = kLayer;
    bar.head.opacity = 200;
    canvas->GeneratedFill(vk2::kFillLinear, vk2::RectI{32, 340, 992, 380}, &bar, palette.data());
    for (int32_t i = 0; i < 24; ++i) {
      const int32_t x = 40 + (i % 8) * 120;
      const int32_t y = 400 + (i / 8) * 60;
      canvas->PushClipRect(vk2::RectI{x, y, x + 96, y + 32}, vk2::kClipIntersect, 1);
      canvas->Blit(button.Source(), x, y, kLayer, 256 - i * 4);
      canvas->FillCoverage(text, x + 8, y + 8, 0xFFFFFFFF, kLayer, 256);
      canvas->PopClip(1);
    }
    for (int32_t i = 0; i < 8; ++i) {
      canvas->FillRoundRect(vk2::RectF{40.0 + i * 120, 600.5, 136.0 + i * 120, 640.5}, 8, 8,
                            0xC0FFFFFF, kLayer, 256, true);
      canvas->Ellipse(88 + i * 120, 700, 20, 20, 0xFF80C0FF, false, kLayer, 2, 256, true);
      canvas->ClipToMask(shape, 40 + i * 120, 720, vk2::kClipIntersect, 1);
      canvas->Blit(button.Source(), 40 + i * 120, 724, kLayer, 256);
      canvas->PopClip(1);
    }
    benchmark::DoNotOptimize(target.pixels.data());
  }
}
BENCHMARK(BM_CanvasInterfaceFrame)->Unit(benchmark::kMillisecond);

}  // namespace
