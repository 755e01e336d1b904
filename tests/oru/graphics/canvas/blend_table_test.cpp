// Blend codes against hand-computed pixels: one source pixel blitted onto one destination pixel.
// Pixels are written as stored (premultiplied ARGB).
#include <gtest/gtest.h>

#include "tests/oru/graphics/canvas/canvas_fixture.h"

namespace vk2::gfx::testing {
namespace {

struct BlendCase {
  const char* name;
  uint64_t code;
  uint32_t src;
  uint32_t dst;
  int32_t opacity;
  uint32_t expected;
};

// Opaque pair for the channel operations: s = 80 40 20, d = 20 C0 F0.
constexpr uint32_t kS = 0xFF804020;
constexpr uint32_t kD = 0xFF20C0F0;

const BlendCase kCases[] = {
    // Plain copies and channel masks.
    {"copy", 0xF, kS, kD, 256, 0xFF804020},
    {"copy alpha only keeps colour", 0x1, 0x80402010, kD, 256, 0x80106078},
    {"no channel writes nothing", 0x0, kS, kD, 256, kD},
    // Logical and arithmetic operations on the colour channels.
    {"or", 0x10E, kS, kD, 256, 0xFFA0C0F0},
    {"and", 0x20F, kS, kD, 256, 0xFF004020},
    {"nand", 0x30E, kS, kD, 256, 0xFFFFBFDF},
    {"nor", 0x40E, kS, kD, 256, 0xFF5F3F0F},
    {"xor", 0x50E, kS, kD, 256, 0xFFA080D0},
    {"xor of alpha too clears it", 0x50F, kS, kD, 256, 0x00000000},
    {"and not destination", 0x60E, kS, kD, 256, 0xFF800000},
    {"and not source", 0x70E, kS, kD, 256, 0xFF2080D0},
    {"subtract from source wraps", 0x80E, kS, kD, 256, 0xFF608030},
    {"subtract from destination wraps", 0x90E, kS, kD, 256, 0xFFA080D0},
    {"add wraps", 0xA0E, kS, kD, 256, 0xFFA00010},
    {"saturating subtract source", 0xB0E, kS, kD, 256, 0xFF600000},
    {"saturating subtract destination", 0xC0E, kS, kD, 256, 0xFF0080D0},
    {"difference", 0xD0E, kS, kD, 256, 0xFF6080D0},
    {"saturating add", 0xE0E, kS, kD, 256, 0xFFA0FFFF},
    {"colorize", 0xF0E, kS, kD, 256, 0xFF10301E},
    {"colorize 2x", 0x100E, kS, kD, 256, 0xFF20603C},
    {"inverse colorize", 0x110E, kS, kD, 256, 0xFF1090D2},
    {"inverse colorize 2x", 0x120E, kS, kD, 256, 0xFF20FFFF},
    {"normalised colorize", 0x130E, kS, kD, 256, 0xFF4B2513},
    // Layer modes on opaque pixels: the blend function itself.
    {"layer multiply", 0x1000001150F, kS, kD, 256, 0xFF10301E},
    {"layer screen", 0x1000001160F, kS, kD, 256, 0xFF90D0F2},
    {"layer overlay", 0x1000001170F, kS, kD, 256, 0xFF20A1E5},
    {"layer soft light", 0x1000001180F, kS, kD, 256, 0xFF20A8E5},
    {"layer hard light", 0x1000001190F, kS, kD, 256, 0xFF21603C},
    {"layer colour dodge", 0x10000011A0F, kS, kD, 256, 0xFF40FFFF},
    {"layer colour burn", 0x10000011B0F, kS, kD, 256, 0xFF000488},
    {"layer darken", 0x10000011C0F, kS, kD, 256, 0xFF204020},
    {"layer lighten", 0x10000011D0F, kS, kD, 256, 0xFF80C0F0},
    {"layer difference", 0x10000010D0F, kS, kD, 256, 0xFF6080D0},
    {"layer exclusion", 0x10000011E0F, kS, kD, 256, 0xFF80A0D4},
    // Layer normal: source over destination, with opacity only under bit 44.
    {"layer normal half source", 0x1000001000F, 0x80800000, 0xFF0000FF, 256, 0xFF80007F},
    {"layer normal opacity 128", 0x1000001000F | kBlendOpacity, 0xFFFF0000, 0xFF0000FF, 128,
     0xFF7F0080},
    {"opacity ignored without bit 44", 0x1000001000F, 0xFFFF0000, 0xFF0000FF, 0, 0xFFFF0000},
    {"opacity 0 draws nothing", 0x1000001000F | kBlendOpacity, 0xFFFF0000, 0xFF0000FF, 0,
     0xFF0000FF},
    {"layer normal onto transparent", 0x1000001000F, 0x80800000, 0x00000000, 256, 0x80800000},
    {"layer normal rgb only keeps alpha", 0x1000001000E, 0x80800000, 0xFF0000FF, 256, 0xFF80007F},
    // Alpha sources, inverts and combine rules (interpolation mode).
    {"source alpha interpolates", 0x1000F, 0x80800000, 0xFF0000FF, 256, 0xBF60005F},
    {"source luminance", 0x2000F, 0xFF404040, 0xFF000000, 256, 0xFF101010},
    {"inverted source alpha", 0x81000F, 0x80800000, 0xFF0000FF, 256, 0xC0600060},
    {"destination alpha", 0x100000F, 0xFFFF0000, 0x80000080, 256, 0xC0600060},
    {"combine multiply", 0x101000F, 0x80800000, 0x80000080, 256, 0x80200060},
    {"combine add saturates", 0x10101000F, 0x80800000, 0x80000080, 256, 0x80800000},
    {"combine average", 0x20101000F, 0x80800000, 0x80000080, 256, 0x80400040},
    {"combine subtract destination", 0x40101000F, 0x80800000, 0x80000080, 256, 0x80000080},
    {"alpha invert", 0x800001000F, 0xFFFF0000, 0xFF0000FF, 256, 0xFF0000FF},
    // Blend modes.
    {"replace takes alpha from luminance", 0x3000002000F, 0xFF404040, 0xFF0000FF, 256, 0x40101010},
    {"saturating add mode", 0x2000001000F, 0x80800000, 0xFF0000FF, 256, 0xFF8000FF},
    {"dissolve at full alpha copies", 0x4000001000F, 0xFFFF0000, 0xFF0000FF, 256, 0xFFFF0000},
    {"dissolve at zero alpha keeps", 0x4000001000F, 0x00000000, 0xFF0000FF, 256, 0xFF0000FF},
    {"copy with opacity interpolates", 0x10000000000F, 0xFFFF0000, 0xFF0000FF, 64, 0xFF3F00C0},
    // The canvas's private cross-fade weighs by its argument without bit 44.
    {"cross-fade", 0x1200, 0x80800000, 0xFF0000FF, 128, 0xC0400080},
};

class BlendTable : public ::testing::TestWithParam<BlendCase> {};

TEST_P(BlendTable, GivesTheHandComputedPixel) {
  const BlendCase& c = GetParam();
  SmallCanvas canvas(1, 1, c.dst);
  PixelsOf src = PixelsOf::Argb(1, 1, {c.src});
  ASSERT_EQ(canvas->Blit(src.Source(), 0, 0, c.code, c.opacity), 0);
  EXPECT_TRUE(PixelNear(canvas.At(0, 0), c.expected, 1)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Codes, BlendTable, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<BlendCase>& info) {
                           std::string n;
                           for (const char* p = info.param.name; *p; ++p) {
                             n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                           }
                           return n;
                         });

// A whole row of one code behaves as its single pixels: the four-pixel loops, the span loops
// and pixman agree with the pixel-by-pixel path. The first eight pixels are opaque (the wide
// paths), the rest mix alphas (the fallbacks).
TEST(BlendSpans, RowsMatchSinglePixels) {
  const uint64_t codes[] = {0xF,     0x1000001000F,  0x1000001150F | kBlendOpacity,
                            0x1000F, 0x10000000000F, 0x1200,
                            0x50E,   0x50F,          0xE0F,
                            0x1C0E,  0xB01,          0x2000F};
  const std::vector<uint32_t> src = {0xFF804020, 0xFF000000, 0xFFFFFFFF, 0xFF12F0A0, 0xFF0A0B0C,
                                     0xFFF0E0D0, 0xFF808080, 0xFF010203, 0x80402010, 0x00000000,
                                     0x40404040, 0xC0C08000, 0xFF336699};
  const std::vector<uint32_t> dst = {0xFF20C0F0, 0xFFFFFFFF, 0xFF000000, 0xFF7F8081, 0xFFC0B0A0,
                                     0xFF102030, 0xFF7F7F7F, 0xFFFEFDFC, 0x80000080, 0xFF000000,
                                     0x00000000, 0x60302010, 0xFF996633};
  const int32_t n = static_cast<int32_t>(src.size());
  for (uint64_t code : codes) {
    for (int32_t opacity : {256, 100}) {
      SmallCanvas row(n, 1, 0);
      for (int32_t x = 0; x < n; ++x)
        row.View().Argb(0)[x] = dst[x];
      PixelsOf s = PixelsOf::Argb(n, 1, src);
      row->Blit(s.Source(), 0, 0, code, opacity);
      for (int32_t x = 0; x < n; ++x) {
        SmallCanvas one(1, 1, dst[x]);
        PixelsOf p = PixelsOf::Argb(1, 1, {src[x]});
        one->Blit(p.Source(), 0, 0, code, opacity);
        EXPECT_EQ(Hex(row.At(x, 0)), Hex(one.At(0, 0)))
            << "code " << std::hex << code << " opacity " << std::dec << opacity << " x " << x;
      }
    }
  }
}

}  // namespace
}  // namespace vk2::gfx::testing
