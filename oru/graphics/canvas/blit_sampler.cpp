#include "oru/graphics/canvas/blit_sampler.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "oru/graphics/canvas/clip_stack.h"
#include "oru/graphics/canvas/pixel.h"
#include "oru/graphics/canvas/pixel_simd.h"

namespace vk2::gfx {
namespace {

inline int32_t Wrap(int32_t v, int32_t n) {
  const int32_t m = v % n;
  return m < 0 ? m + n : m;
}

}  // namespace

bool MakeArgbSource(const BlitSource& source, ArgbSource* out) {
  const SurfaceView& v = source.view;
  const RectI r = source.rect;
  if (v.Empty() || r.Empty() || r.left < 0 || r.top < 0 || r.right > v.width ||
      r.bottom > v.height) {
    return false;
  }
  out->width = r.Width();
  out->height = r.Height();
  if (v.format == PixelFormat::kArgb32) {
    out->origin = v.Argb(r.top) + r.left;
    out->strideBytes = v.strideBytes;
    return true;
  }
  if (v.format != PixelFormat::kIndex8) return false;
  uint32_t lut[256];
  for (uint32_t i = 0; i < 256; ++i) {
    lut[i] = PremultiplyArgb(source.palette ? source.palette[i] : PackArgb(255, i, i, i));
  }
  out->converted.resize(static_cast<size_t>(out->width) * out->height);
  for (int32_t y = 0; y < out->height; ++y) {
    const uint8_t* row = v.Row(r.top + y) + r.left;
    uint32_t* dst = out->converted.data() + static_cast<size_t>(y) * out->width;
    for (int32_t x = 0; x < out->width; ++x)
      dst[x] = lut[row[x]];
  }
  out->origin = out->converted.data();
  out->strideBytes = out->width * 4;
  return true;
}

void SampleStretch(const ArgbSource& src, const RectI& dest, bool bilinear, PixelBlock* block) {
  block->pixels.resize(static_cast<size_t>(block->area.Width()) * block->area.Height());
  SampleStretchInto(src, dest, bilinear, block->area, block->pixels.data(),
                    block->area.Width() * 4);
}

void SampleStretchInto(const ArgbSource& src, const RectI& dest, bool bilinear, const RectI& a,
                       uint32_t* pixels, int32_t strideBytes) {
  const int32_t aw = a.Width();
  // Positions in 16.16 source pixels, taken at target pixel centres.
  const int64_t stepX = (static_cast<int64_t>(src.width) << 16) / dest.Width();
  const int64_t stepY = (static_cast<int64_t>(src.height) << 16) / dest.Height();
  auto centre = [](int32_t i, int64_t step) { return (2 * i + 1) * step / 2; };
  // Per column: the two source columns and the weight of the right one (nearest: x0 only).
  struct Column {
    int32_t x0;
    int32_t x1;
    uint32_t f;
  };
  std::vector<Column> columns(aw);
  std::vector<int32_t> nearestColumns(bilinear ? 0 : aw);
  const uint32_t* previousRow = nullptr;
  const uint32_t* previousOut = nullptr;
  for (int32_t x = a.left; x < a.right; ++x) {
    const int64_t u = centre(x - dest.left, stepX);
    Column& c = columns[x - a.left];
    if (bilinear) {
      const int64_t ub = (u - 0x8000) >> 8;
      c.x0 = std::clamp<int32_t>(static_cast<int32_t>(ub >> 8), 0, src.width - 1);
      c.x1 = std::clamp<int32_t>(static_cast<int32_t>(ub >> 8) + 1, 0, src.width - 1);
      c.f = static_cast<uint32_t>(ub & 0xFF);
    } else {
      c.x0 = std::min<int32_t>(static_cast<int32_t>(u >> 16), src.width - 1);
      nearestColumns[x - a.left] = c.x0;
    }
  }
  const int32_t firstColumn = columns.front().x0;
  const int32_t lastColumn = bilinear ? columns.back().x1 : firstColumn;
  std::vector<uint32_t> rowMix(bilinear ? lastColumn - firstColumn + 1 : 0);
  // The column weights of each pair of target pixels, one 16-bit lane per channel.
  using Lanes = std::array<int16_t, 8>;
  std::vector<Lanes> weights(bilinear ? (aw + 1) / 2 : 0);
  for (int32_t i = 0; i + 1 < aw && bilinear; i += 2) {
    const auto f0 = static_cast<int16_t>(columns[i].f);
    const auto f1 = static_cast<int16_t>(columns[i + 1].f);
    weights[i / 2] = Lanes{f0, f0, f0, f0, f1, f1, f1, f1};
  }
  const __m128i zero = _mm_setzero_si128();
  for (int32_t y = a.top; y < a.bottom; ++y) {
    uint32_t* out = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(pixels) +
                                                static_cast<ptrdiff_t>(y - a.top) * strideBytes);
    const int64_t v = centre(y - dest.top, stepY);
    if (!bilinear) {
      const uint32_t* row =
          &src.At(0, std::min<int32_t>(static_cast<int32_t>(v >> 16), src.height - 1));
      // Consecutive target rows often read the same source row: copy the finished one.
      if (y > a.top && row == previousRow) {
        std::copy_n(previousOut, aw, out);
      } else {
        for (int32_t i = 0; i < aw; ++i)
          out[i] = row[nearestColumns[i]];
      }
      previousRow = row;
      previousOut = out;
      continue;
    }
    const int64_t vb = (v - 0x8000) >> 8;
    const uint32_t* r0 =
        &src.At(0, std::clamp<int32_t>(static_cast<int32_t>(vb >> 8), 0, src.height - 1));
    const uint32_t* r1 =
        &src.At(0, std::clamp<int32_t>(static_cast<int32_t>(vb >> 8) + 1, 0, src.height - 1));
    const uint32_t fy = static_cast<uint32_t>(vb & 0xFF);
    // Rows first, once per target row over the columns it reads, then across: the same
    // rounding as sampling each pixel's four neighbours.
    const uint32_t* mixed = r0;
    int32_t base = 0;
    if (fy != 0) {
      LerpRows(r0 + firstColumn, r1 + firstColumn, fy, rowMix.data(), lastColumn - firstColumn + 1);
      mixed = rowMix.data();
      base = firstColumn;
    }
    int32_t i = 0;
    const uint32_t* m = mixed;  // indexed relative to `base`
    for (; i + 4 <= aw; i += 4) {
      const Column* c = &columns[i];
      const __m128i p =
          _mm_set_epi32(static_cast<int>(m[c[3].x0 - base]), static_cast<int>(m[c[2].x0 - base]),
                        static_cast<int>(m[c[1].x0 - base]), static_cast<int>(m[c[0].x0 - base]));
      const __m128i q =
          _mm_set_epi32(static_cast<int>(m[c[3].x1 - base]), static_cast<int>(m[c[2].x1 - base]),
                        static_cast<int>(m[c[1].x1 - base]), static_cast<int>(m[c[0].x1 - base]));
      const __m128i lo =
          LerpWide(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(q, zero),
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(&weights[i / 2])));
      const __m128i hi =
          LerpWide(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(q, zero),
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(&weights[i / 2 + 1])));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < aw; ++i) {
      const Column& c = columns[i];
      out[i] = LerpFloor(m[c.x0 - base], m[c.x1 - base], c.f);
    }
  }
}

void RotatedCorners(const RotateArgs& args, double left, double top, double right, double bottom,
                    double outX[4], double outY[4]) {
  const double c = std::cos(args.angle);
  const double s = std::sin(args.angle);
  const double xs[4] = {left, right, right, left};
  const double ys[4] = {top, top, bottom, bottom};
  for (int i = 0; i < 4; ++i) {
    const double ux = (xs[i] - args.sourceCenterX) * args.scaleX;
    const double uy = (ys[i] - args.sourceCenterY) * args.scaleY;
    // Counter-clockwise on screen, where y grows downward.
    outX[i] = args.destCenterX + ux * c + uy * s;
    outY[i] = args.destCenterY - ux * s + uy * c;
  }
}

void SampleRotate(const ArgbSource& src, const RotateArgs& args, double sourceLeft,
                  double sourceTop, bool bilinear, bool tile, PixelBlock* block) {
  const RectI& a = block->area;
  const int32_t aw = a.Width();
  block->pixels.resize(static_cast<size_t>(aw) * a.Height());
  const double c = std::cos(args.angle);
  const double s = std::sin(args.angle);
  const double ix = args.scaleX != 0 ? 1.0 / args.scaleX : 0;
  const double iy = args.scaleY != 0 ? 1.0 / args.scaleY : 0;
  // Source positions (in the source rectangle) of target pixel centres, in 16.16, stepped
  // along each row; far-off positions are held where they still land outside the source.
  constexpr double kOne = 65536.0;
  constexpr double kLimit = 1 << 30;
  const int64_t dudx = static_cast<int64_t>(std::llround(c * ix * kOne));
  const int64_t dvdx = static_cast<int64_t>(std::llround(s * iy * kOne));
  const int64_t bias = bilinear ? 0x8000 : 0;
  const int32_t w = src.width;
  const int32_t h = src.height;
  for (int32_t y = a.top; y < a.bottom; ++y) {
    uint32_t* out = block->pixels.data() + static_cast<size_t>(y - a.top) * aw;
    const double px = a.left + 0.5 - args.destCenterX;
    const double py = y + 0.5 - args.destCenterY;
    int64_t u = static_cast<int64_t>(std::clamp(
                    std::floor(((px * c - py * s) * ix + args.sourceCenterX - sourceLeft) * kOne),
                    -kLimit * kOne, kLimit * kOne)) -
                bias;
    int64_t v = static_cast<int64_t>(std::clamp(
                    std::floor(((px * s + py * c) * iy + args.sourceCenterY - sourceTop) * kOne),
                    -kLimit * kOne, kLimit * kOne)) -
                bias;
    for (int32_t i = 0; i < aw; ++i, u += dudx, v += dvdx) {
      int32_t x0 = static_cast<int32_t>(std::clamp<int64_t>(u >> 16, -kLimit, kLimit));
      int32_t y0 = static_cast<int32_t>(std::clamp<int64_t>(v >> 16, -kLimit, kLimit));
      if (!bilinear) {
        if (tile) {
          x0 = Wrap(x0, w);
          y0 = Wrap(y0, h);
        } else {
          x0 = std::clamp(x0, 0, w - 1);
          y0 = std::clamp(y0, 0, h - 1);
        }
        out[i] = src.At(x0, y0);
        continue;
      }
      const uint32_t fx = static_cast<uint32_t>((u >> 8) & 0xFF);
      const uint32_t fy = static_cast<uint32_t>((v >> 8) & 0xFF);
      int32_t x1 = x0 + 1;
      int32_t y1 = y0 + 1;
      if (x0 < 0 || y0 < 0 || x1 >= w || y1 >= h) {
        if (tile) {
          x0 = Wrap(x0, w);
          x1 = Wrap(x1, w);
          y0 = Wrap(y0, h);
          y1 = Wrap(y1, h);
        } else {
          x0 = std::clamp(x0, 0, w - 1);
          x1 = std::clamp(x1, 0, w - 1);
          y0 = std::clamp(y0, 0, h - 1);
          y1 = std::clamp(y1, 0, h - 1);
        }
      }
      const uint32_t* r0 = &src.At(0, y0);
      const uint32_t* r1 = &src.At(0, y1);
      out[i] = BilinearPixel(r0[x0], r0[x1], r1[x0], r1[x1], fx, fy);
    }
  }
}

}  // namespace vk2::gfx
