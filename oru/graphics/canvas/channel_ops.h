// The per-channel arithmetic of every blend operation, on straight 0-255 values. `Op` is a
// BlendOp; `dstLum` is the luminance of the whole destination pixel (the normalised colorize
// operations). An unknown operation gives s (a copy).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "oru/graphics/canvas/blend_code.h"
#include "oru/graphics/canvas/pixel.h"

namespace vk2::gfx {
namespace channel_detail {

inline uint32_t Clamp255(int32_t v) {
  return static_cast<uint32_t>(std::clamp(v, 0, 255));
}

// Soft light by the usual compositing formula, on 0-1 values.
inline uint32_t SoftLight(uint32_t s, uint32_t d) {
  const double cs = s / 255.0;
  const double cb = d / 255.0;
  double r;
  if (cs <= 0.5) {
    r = cb - (1 - 2 * cs) * cb * (1 - cb);
  } else {
    const double dd = cb <= 0.25 ? ((16 * cb - 12) * cb + 4) * cb : std::sqrt(cb);
    r = cb + (2 * cs - 1) * (dd - cb);
  }
  return static_cast<uint32_t>(std::lround(r * 255));
}

}  // namespace channel_detail

template <uint32_t Op>
inline uint32_t ChannelOp(uint32_t s, uint32_t d, uint32_t dstLum) {
  switch (Op) {
    case kOpCopy:
      return s;
    case kOpOr:
      return s | d;
    case kOpAnd:
      return s & d;
    case kOpNand:
      return ~(s & d) & 0xFF;
    case kOpNor:
      return ~(s | d) & 0xFF;
    case kOpXor:
      return s ^ d;
    case kOpAndNotDst:
      return s & ~d & 0xFF;
    case kOpAndNotSrc:
      return ~s & d & 0xFF;
    case kOpSubSrc:
      return (s - d) & 0xFF;
    case kOpSubDst:
      return (d - s) & 0xFF;
    case kOpAdd:
      return (s + d) & 0xFF;
    case kOpSatSubSrc:
      return s > d ? s - d : 0;
    case kOpSatSubDst:
      return d > s ? d - s : 0;
    case kOpDifference:
      return s > d ? s - d : d - s;
    case kOpSatAdd:
      return std::min(255u, s + d);
    case kOpColorize:
    case kOpMultiply:
      return Div255(s * d);
    case kOpColorize2x:
      return std::min(255u, Div255(2 * s * d));
    case kOpInvColorize:
      return Div255((255 - s) * d);
    case kOpInvColorize2x:
      return std::min(255u, Div255(2 * (255 - s) * d));
    case kOpNormColorize:
      return Div255(s * dstLum);
    case kOpInvNormColorize:
      return Div255((255 - s) * dstLum);
    case kOpScreen:
      return 255 - Div255((255 - s) * (255 - d));
    case kOpOverlay:
      return d < 128 ? Div255(2 * s * d) : 255 - Div255(2 * (255 - s) * (255 - d));
    case kOpHardLight:
      return s < 128 ? Div255(2 * s * d) : 255 - Div255(2 * (255 - s) * (255 - d));
    case kOpSoftLight:
      return channel_detail::SoftLight(s, d);
    case kOpColorDodge:
      if (d == 0) return 0;
      if (s == 255) return 255;
      return std::min(255u, (d * 255 + (255 - s) / 2) / (255 - s));
    case kOpColorBurn:
      if (d == 255) return 255;
      if (s == 0) return 0;
      return channel_detail::Clamp255(255 - static_cast<int32_t>(((255 - d) * 255 + s / 2) / s));
    case kOpDarken:
      return std::min(s, d);
    case kOpLighten:
      return std::max(s, d);
    case kOpExclusion:
      return channel_detail::Clamp255(static_cast<int32_t>(s + d) -
                                      static_cast<int32_t>(Div255(2 * s * d)));
    default:
      return s;
  }
}

}  // namespace vk2::gfx
