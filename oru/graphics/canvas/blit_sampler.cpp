#include "oru/graphics/canvas/blit_sampler.h"

#include <algorithm>
#include <cmath>

#include "oru/graphics/canvas/clip_stack.h"
#include "oru/graphics/canvas/pixel.h"

namespace vk2::gfx {
namespace {

// Interpolates two premultiplied pixels, f of 256 toward q.
inline uint32_t Lerp(uint32_t p, uint32_t q, uint32_t f) {
  const uint32_t g = 256 - f;
  const uint32_t rb = (((p & 0x00FF00FF) * g + (q & 0x00FF00FF) * f) >> 8) & 0x00FF00FF;
  const uint32_t ag = (((p >> 8) & 0x00FF00FF) * g + ((q >> 8) & 0x00FF00FF) * f) & 0xFF00FF00;
  return rb | ag;
}

inline int32_t Wrap(int32_t v, int32_t n) {
  const int32_t m = v % n;
  return m < 0 ? m + n : m;
}

// Bilinear sample at (u, v) in 24.8 fixed point of source pixels, pixel centres at .5 removed.
inline uint32_t Bilinear(const ArgbSource& s, int32_t u, int32_t v, bool tile) {
  int32_t x0 = u >> 8;
  int32_t y0 = v >> 8;
  const uint32_t fx = static_cast<uint32_t>(u & 0xFF);
  const uint32_t fy = static_cast<uint32_t>(v & 0xFF);
  int32_t x1 = x0 + 1;
  int32_t y1 = y0 + 1;
  if (tile) {
    x0 = Wrap(x0, s.width);
    x1 = Wrap(x1, s.width);
    y0 = Wrap(y0, s.height);
    y1 = Wrap(y1, s.height);
  } else {
    x0 = std::clamp(x0, 0, s.width - 1);
    x1 = std::clamp(x1, 0, s.width - 1);
    y0 = std::clamp(y0, 0, s.height - 1);
    y1 = std::clamp(y1, 0, s.height - 1);
  }
  const uint32_t top = Lerp(s.At(x0, y0), s.At(x1, y0), fx);
  const uint32_t bottom = Lerp(s.At(x0, y1), s.At(x1, y1), fx);
  return Lerp(top, bottom, fy);
}

inline uint32_t Nearest(const ArgbSource& s, int32_t x, int32_t y, bool tile) {
  if (tile) return s.At(Wrap(x, s.width), Wrap(y, s.height));
  return s.At(std::clamp(x, 0, s.width - 1), std::clamp(y, 0, s.height - 1));
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
  const RectI& a = block->area;
  block->pixels.resize(static_cast<size_t>(a.Width()) * a.Height());
  // Steps in 16.16 source pixels per target pixel; positions taken at pixel centres.
  const int64_t stepX = (static_cast<int64_t>(src.width) << 16) / dest.Width();
  const int64_t stepY = (static_cast<int64_t>(src.height) << 16) / dest.Height();
  for (int32_t y = a.top; y < a.bottom; ++y) {
    uint32_t* out = block->pixels.data() + static_cast<size_t>(y - a.top) * a.Width();
    const int64_t v = (2 * (y - dest.top) + 1) * stepY / 2;  // 16.16, centre of the row
    for (int32_t x = a.left; x < a.right; ++x) {
      const int64_t u = (2 * (x - dest.left) + 1) * stepX / 2;
      if (bilinear) {
        out[x - a.left] = Bilinear(src, static_cast<int32_t>((u - 0x8000) >> 8),
                                   static_cast<int32_t>((v - 0x8000) >> 8), false);
      } else {
        out[x - a.left] = src.At(std::min<int32_t>(static_cast<int32_t>(u >> 16), src.width - 1),
                                 std::min<int32_t>(static_cast<int32_t>(v >> 16), src.height - 1));
      }
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
  block->pixels.resize(static_cast<size_t>(a.Width()) * a.Height());
  const double c = std::cos(args.angle);
  const double s = std::sin(args.angle);
  const double ix = args.scaleX != 0 ? 1.0 / args.scaleX : 0;
  const double iy = args.scaleY != 0 ? 1.0 / args.scaleY : 0;
  // Source position (in the source rectangle, 24.8) of a target pixel centre, stepped along x.
  const double dudx = c * ix * 256;
  const double dvdx = s * iy * 256;
  const double bias = bilinear ? 128 : 0;
  for (int32_t y = a.top; y < a.bottom; ++y) {
    uint32_t* out = block->pixels.data() + static_cast<size_t>(y - a.top) * a.Width();
    const double px = a.left + 0.5 - args.destCenterX;
    const double py = y + 0.5 - args.destCenterY;
    double u = ((px * c - py * s) * ix + args.sourceCenterX - sourceLeft) * 256 - bias;
    double v = ((px * s + py * c) * iy + args.sourceCenterY - sourceTop) * 256 - bias;
    for (int32_t x = a.left; x < a.right; ++x) {
      const int32_t ui = static_cast<int32_t>(std::floor(std::clamp(u, -1e9, 1e9)));
      const int32_t vi = static_cast<int32_t>(std::floor(std::clamp(v, -1e9, 1e9)));
      out[x - a.left] =
          bilinear ? Bilinear(src, ui, vi, tile) : Nearest(src, ui >> 8, vi >> 8, tile);
      u += dudx;
      v += dvdx;
    }
  }
}

}  // namespace vk2::gfx
