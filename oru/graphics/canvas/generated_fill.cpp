#include "oru/graphics/canvas/generated_fill.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "oru/graphics/canvas/pixel.h"
#include "oru/graphics/canvas/pixel_simd.h"

namespace vk2::gfx {
namespace {

// Ordered-dither thresholds of a 4x4 cell, in sixteenths.
constexpr uint8_t kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

inline double DitherOffset(bool dither, int32_t x, int32_t y) {
  return dither ? (kBayer4[y & 3][x & 3] + 0.5) / 16.0 : 0.0;
}

inline uint32_t ClampedIndex(double t, double offset) {
  return static_cast<uint32_t>(std::clamp(std::floor(t * 256.0 + offset), 0.0, 255.0));
}

constexpr double kBinaryAngleToRadians = 2 * std::numbers::pi / 65536.0;

}  // namespace

void FillRecordCode(int32_t kind, const void* record, uint64_t* code, int32_t* opacity) {
  if (kind == kFillFourPoint) {
    *code = static_cast<const FourPointFillRecord*>(record)->code;
    *opacity = 256;
    return;
  }
  const auto* head = static_cast<const FillRecordHead*>(record);
  *code = head->code;
  *opacity = head->opacity;
}

bool RenderGeneratedFill(int32_t kind, const RectI& rect, const void* record,
                         const uint32_t* palette, bool dither, PixelBlock* block) {
  if (kind != kFillFourPoint && !palette) return false;
  if (kind < kFillRadial || kind > kFillFourPoint) return false;
  const RectI& a = block->area;
  block->pixels.resize(static_cast<size_t>(a.Width()) * a.Height());
  uint32_t lut[256];
  if (palette) {
    for (int i = 0; i < 256; ++i)
      lut[i] = PremultiplyArgb(palette[i]);
  }
  const double w = rect.Width();
  const double h = rect.Height();
  auto put = [&](int32_t x, int32_t y, uint32_t p) {
    block->pixels[static_cast<size_t>(y - a.top) * a.Width() + (x - a.left)] = p;
  };

  switch (kind) {
    case kFillLinear: {
      const auto* r = static_cast<const LinearFillRecord*>(record);
      const double angle = r->angle * kBinaryAngleToRadians;
      const double dx = std::cos(angle);
      const double dy = -std::sin(angle);  // screen y grows downward
      // The projections of the rectangle's corners bound one sweep (times the spread).
      const double p[4] = {0, w * dx, h * dy, w * dx + h * dy};
      const double lo = *std::min_element(p, p + 4);
      const double hi = *std::max_element(p, p + 4);
      const double span = hi > lo ? hi - lo : 1;
      const double spread = r->spread / 65536.0;
      // Palette position in 16.16 entries, stepped along each row.
      const double perPixel = dx / span * spread * 256.0;
      const int64_t step = std::llround(perPixel * 65536.0);
      for (int32_t y = a.top; y < a.bottom; ++y) {
        const double proj = (a.left + 0.5 - rect.left) * dx + (y + 0.5 - rect.top) * dy;
        int64_t acc = std::llround((proj - lo) / span * spread * 256.0 * 65536.0);
        uint32_t* out = block->pixels.data() + static_cast<size_t>(y - a.top) * a.Width();
        for (int32_t x = a.left; x < a.right; ++x, acc += step) {
          const int64_t off = dither ? static_cast<int64_t>(DitherOffset(true, x, y) * 65536.0) : 0;
          out[x - a.left] = lut[((acc + off) >> 16) & 0xFF];
        }
      }
      return true;
    }
    case kFillCircular: {
      const auto* r = static_cast<const CircularFillRecord*>(record);
      const double cx = rect.left + r->centerX;
      const double cy = rect.top + r->centerY;
      const double radius = r->radius > 0 ? r->radius : 1;
      for (int32_t y = a.top; y < a.bottom; ++y) {
        for (int32_t x = a.left; x < a.right; ++x) {
          const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
          put(x, y, lut[ClampedIndex(d / radius, DitherOffset(dither, x, y))]);
        }
      }
      return true;
    }
    case kFillRadial: {
      const auto* r = static_cast<const RadialFillRecord*>(record);
      const double cx = rect.left + r->centerX;
      const double cy = rect.top + r->centerY;
      const int32_t start = r->startAngle & 0xFFFF;
      int32_t sweep = (r->endAngle - r->startAngle) & 0xFFFF;
      if (sweep == 0) sweep = 65536;
      for (int32_t y = a.top; y < a.bottom; ++y) {
        for (int32_t x = a.left; x < a.right; ++x) {
          double theta = std::atan2(-(y + 0.5 - cy), x + 0.5 - cx) / kBinaryAngleToRadians;
          if (r->direction == 0) theta = -theta;  // clockwise
          double rel = std::fmod(theta - start, 65536.0);
          if (rel < 0) rel += 65536.0;
          put(x, y, lut[ClampedIndex(rel / sweep, DitherOffset(dither, x, y))]);
        }
      }
      return true;
    }
    default: {
      const auto* r = static_cast<const FourPointFillRecord*>(record);
      // Lanes hold blue, green, red, alpha, so packing them gives 0xAARRGGBB.
      const int shifts[4] = {kBlueShift, kGreenShift, kRedShift, kAlphaShift};
      // Each row runs from its left to its right colour in 16.16 fixed point; the drift over a
      // row stays far below the rounding, so the corner pixels hold their colours exactly.
      constexpr double kOne = 65536.0;
      const __m128i zero = _mm_setzero_si128();
      for (int32_t y = a.top; y < a.bottom; ++y) {
        const double fy = h > 1 ? (y - rect.top) / (h - 1) : 0;
        int32_t acc[4];
        int32_t step[4];
        for (int k = 0; k < 4; ++k) {
          const double left =
              Channel(r->colors[0], shifts[k]) * (1 - fy) + Channel(r->colors[2], shifts[k]) * fy;
          const double right =
              Channel(r->colors[1], shifts[k]) * (1 - fy) + Channel(r->colors[3], shifts[k]) * fy;
          step[k] = w > 1 ? static_cast<int32_t>(std::lround((right - left) / (w - 1) * kOne)) : 0;
          acc[k] = static_cast<int32_t>(std::lround(left * kOne)) + step[k] * (a.left - rect.left);
        }
        __m128i accV = _mm_loadu_si128(reinterpret_cast<const __m128i*>(acc));
        const __m128i stepV = _mm_loadu_si128(reinterpret_cast<const __m128i*>(step));
        uint32_t* out = block->pixels.data() + static_cast<size_t>(y - a.top) * a.Width();
        for (int32_t x = a.left; x < a.right; ++x) {
          const int32_t off =
              dither ? static_cast<int32_t>(DitherOffset(true, x, y) * kOne) : 0x8000;
          const __m128i v = _mm_srai_epi32(_mm_add_epi32(accV, _mm_set1_epi32(off)), 16);
          const __m128i packed = _mm_packus_epi16(_mm_packs_epi32(v, zero), zero);
          out[x - a.left] = PremultiplyArgb(static_cast<uint32_t>(_mm_cvtsi128_si32(packed)));
          accV = _mm_add_epi32(accV, stepV);
        }
      }
      return true;
    }
  }
}

}  // namespace vk2::gfx
