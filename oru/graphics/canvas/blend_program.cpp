#include "oru/graphics/canvas/blend_program.h"

#include <pixman.h>

#include <algorithm>
#include <array>
#include <utility>

#include "oru/graphics/canvas/channel_ops.h"
#include "oru/graphics/canvas/pixel.h"
#include "oru/graphics/canvas/pixel_simd.h"

namespace vk2::gfx {
namespace {

constexpr int kShifts[4] = {kAlphaShift, kRedShift, kGreenShift, kBlueShift};
constexpr uint32_t kChannelOfShift[4] = {kChannelAlpha, kChannelRed, kChannelGreen, kChannelBlue};

uint32_t AlphaFactor(uint32_t from, bool invert, uint32_t straight) {
  uint32_t v = 255;
  switch (from) {
    case kAlphaChannel:
      v = AlphaOf(straight);
      break;
    case kAlphaLum:
      v = Luminance(straight);
      break;
    case kAlphaLumTimesAlpha:
      v = Div255(Luminance(straight) * AlphaOf(straight));
      break;
    default:
      break;
  }
  return invert ? 255 - v : v;
}

// The alpha (0-255) one pixel is blended with, before opacity and coverage.
uint32_t PixelAlpha(const BlendFields& f, uint32_t s, uint32_t d) {
  const bool hasSrc = f.srcAlpha != kAlphaNone;
  const bool hasDst = f.dstAlpha != kAlphaNone;
  uint32_t a = 255;
  if (hasSrc && hasDst) {
    const uint32_t sa = AlphaFactor(f.srcAlpha, f.srcInvert, s);
    const uint32_t da = AlphaFactor(f.dstAlpha, f.dstInvert, d);
    switch (f.combine) {
      case kCombineAdd:
        a = std::min(255u, sa + da);
        break;
      case kCombineAvg:
        a = (sa + da) / 2;
        break;
      case kCombineSubDst:
        a = sa > da ? sa - da : 0;
        break;
      default:
        a = Div255(sa * da);
        break;
    }
  } else if (hasSrc) {
    a = AlphaFactor(f.srcAlpha, f.srcInvert, s);
  } else if (hasDst) {
    a = AlphaFactor(f.dstAlpha, f.dstInvert, d);
  } else if (f.srcInvert) {
    a = 0;
  }
  return f.alphaInvert ? 255 - a : a;
}

// Scale of coverage and opacity together, 0-255.
inline uint32_t Weight(const Span& sp, int32_t i) {
  const uint32_t c = sp.coverage ? sp.coverage[i] : 255;
  return (c * static_cast<uint32_t>(sp.opacity)) >> 8;
}

// Four source pixels from `at`: the source row's, or the solid colour.
inline __m128i Source4(const Span& sp, int32_t at) {
  return sp.src ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(sp.src + at))
                : _mm_set1_epi32(static_cast<int>(sp.solid));
}

// Pixels [at, at + count) of `sp` as a span of their own.
inline Span SubSpan(const Span& sp, int32_t at, int32_t count) {
  Span part = sp;
  part.dst = sp.dst + at;
  part.src = sp.src ? sp.src + at : nullptr;
  part.coverage = sp.coverage ? sp.coverage + at : nullptr;
  part.count = count;
  part.x = sp.x + at;
  return part;
}

// Every field honoured, pixel by pixel, in straight values; the operation is inlined.
template <uint32_t Op>
void GenericKernel(const BlendProgram& p, const Span& sp) {
  const BlendFields& f = p.Fields();
  for (int32_t i = 0; i < sp.count; ++i) {
    const uint32_t w = Weight(sp, i);
    if (w == 0) continue;
    const uint32_t S = sp.src ? sp.src[i] : sp.solid;
    const uint32_t D = sp.dst[i];
    const uint32_t s = UnpremultiplyArgb(S);
    const uint32_t d = UnpremultiplyArgb(D);
    const uint32_t alpha = Div255(PixelAlpha(f, s, d) * w);
    const uint32_t dLum = Luminance(d);
    uint32_t r[4];
    for (int k = 0; k < 4; ++k) {
      r[k] = ChannelOp<Op>(Channel(s, kShifts[k]), Channel(d, kShifts[k]), dLum);
    }
    if (f.mode == kModeLayer) {
      // Layer compositing on premultiplied values: the layer covers `alpha` of the pixel, and
      // where the destination is transparent the layer shows its own colour.
      const uint32_t da = AlphaOf(D);
      const uint32_t outA = (f.channels & kChannelAlpha) ? alpha + da - Div255(alpha * da) : da;
      uint32_t out = outA << 24;
      for (int k = 1; k < 4; ++k) {
        const uint32_t dk = Channel(D, kShifts[k]);
        uint32_t v = dk;
        if (f.channels & kChannelOfShift[k]) {
          const uint32_t sk = Channel(s, kShifts[k]);
          v = (alpha * (255 - da) * sk + alpha * da * r[k] + (255 - alpha) * dk * 255 + 32512) /
              65025;
          v = std::min(v, outA);
        }
        out |= v << kShifts[k];
      }
      sp.dst[i] = out;
      continue;
    }
    uint32_t o[4];
    for (int k = 0; k < 4; ++k) {
      const uint32_t dk = Channel(d, kShifts[k]);
      if (!(f.channels & kChannelOfShift[k])) {
        o[k] = dk;
        continue;
      }
      switch (f.mode) {
        case kModeSatAdd:
          o[k] = std::min(255u, dk + Div255(r[k] * alpha));
          break;
        case kModeReplace:
          o[k] = k == 0 ? alpha : r[k];
          break;
        case kModeDissolve:
          o[k] = PositionNoise(sp.x + i, sp.y) < alpha ? r[k] : dk;
          break;
        default:
          o[k] = Div255(r[k] * alpha + dk * (255 - alpha));
          break;
      }
    }
    sp.dst[i] = PremultiplyArgb(PackArgb(o[0], o[1], o[2], o[3]));
  }
}

// COPY of all channels with no alpha factor: the source, interpolated by coverage and opacity.
// Where both pixels are opaque, straight and premultiplied interpolation agree.
void CopyKernel(const BlendProgram& p, const Span& sp) {
  int32_t i = 0;
  if (!sp.coverage) {
    const uint32_t w = Weight(sp, 0);
    const __m128i w16 = _mm_set1_epi16(static_cast<int16_t>(w));
    for (; i + 4 <= sp.count; i += 4) {
      const __m128i S = Source4(sp, i);
      __m128i* dp = reinterpret_cast<__m128i*>(sp.dst + i);
      if (w == 255) {
        _mm_storeu_si128(dp, S);
        continue;
      }
      const __m128i D = _mm_loadu_si128(dp);
      if (!AllOpaque4(S) || !AllOpaque4(D)) break;
      _mm_storeu_si128(dp, LerpPixels4(D, S, w16));
    }
  }
  for (; i < sp.count; ++i) {
    const uint32_t w = Weight(sp, i);
    const uint32_t S = sp.src ? sp.src[i] : sp.solid;
    if (w == 255) {
      sp.dst[i] = S;
    } else if (w != 0) {
      const uint32_t D = sp.dst[i];
      if (AlphaOf(S) == 255 && AlphaOf(D) == 255) {
        sp.dst[i] = LerpPixel(D, S, w);
      } else {
        // Interpolating straight values differs from interpolating premultiplied ones when the
        // alphas differ: the general path decides.
        const uint8_t weight = static_cast<uint8_t>(w);
        Span one;
        one.dst = sp.dst + i;
        one.solid = S;
        one.coverage = &weight;
        one.count = 1;
        one.x = sp.x + i;
        one.y = sp.y;
        GenericKernel<kOpCopy>(p, one);
      }
    }
  }
}

// The byte-wise operations on four pixels at once (valid where straight equals premultiplied).
template <uint32_t Op>
__m128i ByteOp4(__m128i s, __m128i d) {
  const __m128i ones = _mm_set1_epi32(-1);
  switch (Op) {
    case kOpOr:
      return _mm_or_si128(s, d);
    case kOpAnd:
      return _mm_and_si128(s, d);
    case kOpNand:
      return _mm_xor_si128(_mm_and_si128(s, d), ones);
    case kOpNor:
      return _mm_xor_si128(_mm_or_si128(s, d), ones);
    case kOpXor:
      return _mm_xor_si128(s, d);
    case kOpAndNotDst:
      return _mm_andnot_si128(d, s);
    case kOpAndNotSrc:
      return _mm_andnot_si128(s, d);
    case kOpSubSrc:
      return _mm_sub_epi8(s, d);
    case kOpSubDst:
      return _mm_sub_epi8(d, s);
    case kOpAdd:
      return _mm_add_epi8(s, d);
    case kOpSatSubSrc:
      return _mm_subs_epu8(s, d);
    case kOpSatSubDst:
      return _mm_subs_epu8(d, s);
    case kOpDifference:
      return _mm_or_si128(_mm_subs_epu8(s, d), _mm_subs_epu8(d, s));
    case kOpSatAdd:
      return _mm_adds_epu8(s, d);
    case kOpDarken:
      return _mm_min_epu8(s, d);
    case kOpLighten:
      return _mm_max_epu8(s, d);
    default:
      return s;
  }
}

constexpr bool IsByteOp(uint32_t op) {
  return (op >= kOpOr && op <= kOpSatAdd) || op == kOpDarken || op == kOpLighten;
}

// A byte-wise operation at full weight without alpha factors: four opaque pixels at a time,
// through the general path wherever an alpha is not full.
template <uint32_t Op>
void ByteOpKernel(const BlendProgram& p, const Span& sp) {
  if (sp.coverage || sp.opacity != 256) {
    GenericKernel<Op>(p, sp);
    return;
  }
  uint32_t keep = 0;
  for (int k = 0; k < 4; ++k) {
    if (!(p.Fields().channels & kChannelOfShift[k])) keep |= 0xFFu << kShifts[k];
  }
  const __m128i keepMask = _mm_set1_epi32(static_cast<int>(keep));
  // Whether an opaque pair always gives an opaque result, so the result needs no check.
  const bool staysOpaque = (keep & 0xFF000000u) != 0 || ChannelOp<Op>(255, 255, 0) == 255;
  auto result = [&](__m128i S, __m128i D) {
    return _mm_or_si128(_mm_andnot_si128(keepMask, ByteOp4<Op>(S, D)), _mm_and_si128(keepMask, D));
  };
  // Four pixels; where an alpha is not full, or a result is no longer opaque (its colour would
  // need premultiplying), the general path.
  auto four = [&](int32_t at) {
    const __m128i S = Source4(sp, at);
    __m128i* dp = reinterpret_cast<__m128i*>(sp.dst + at);
    const __m128i D = _mm_loadu_si128(dp);
    if (AllOpaque4(_mm_and_si128(S, D))) {
      const __m128i R = result(S, D);
      if (staysOpaque || AllOpaque4(R)) {
        _mm_storeu_si128(dp, R);
        return;
      }
    }
    GenericKernel<Op>(p, SubSpan(sp, at, 4));
  };
  int32_t i = 0;
  if (staysOpaque) {
    // Eight at a time with one test, the common case of opaque interface pixels.
    for (; i + 8 <= sp.count; i += 8) {
      const __m128i S0 = Source4(sp, i);
      const __m128i S1 = Source4(sp, i + 4);
      __m128i* dp = reinterpret_cast<__m128i*>(sp.dst + i);
      const __m128i D0 = _mm_loadu_si128(dp);
      const __m128i D1 = _mm_loadu_si128(dp + 1);
      if (AllOpaque4(_mm_and_si128(_mm_and_si128(S0, D0), _mm_and_si128(S1, D1)))) {
        _mm_storeu_si128(dp, result(S0, D0));
        _mm_storeu_si128(dp + 1, result(S1, D1));
      } else {
        four(i);
        four(i + 4);
      }
    }
  }
  for (; i + 4 <= sp.count; i += 4)
    four(i);
  GenericKernel<Op>(p, SubSpan(sp, i, sp.count - i));
}

// Interpolates premultiplied pixels by coverage and opacity (the canvas's cross-fade).
void CrossFadeKernel(const BlendProgram&, const Span& sp) {
  int32_t i = 0;
  if (!sp.coverage) {
    const uint32_t w = Weight(sp, 0);
    const __m128i w16 = _mm_set1_epi16(static_cast<int16_t>(w));
    for (; i + 4 <= sp.count; i += 4) {
      const __m128i S = Source4(sp, i);
      __m128i* dp = reinterpret_cast<__m128i*>(sp.dst + i);
      _mm_storeu_si128(dp, LerpPixels4(_mm_loadu_si128(dp), S, w16));
    }
  }
  for (; i < sp.count; ++i) {
    const uint32_t w = Weight(sp, i);
    if (w == 0) continue;
    const uint32_t S = sp.src ? sp.src[i] : sp.solid;
    sp.dst[i] = w == 255 ? S : LerpPixel(sp.dst[i], S, w);
  }
}

void NothingKernel(const BlendProgram&, const Span&) {}

using KernelFn = void (*)(const BlendProgram&, const Span&);

template <size_t... Ops>
constexpr std::array<KernelFn, sizeof...(Ops)> GenericKernels(std::index_sequence<Ops...>) {
  return {&GenericKernel<static_cast<uint32_t>(Ops)>...};
}
template <size_t... Ops>
constexpr std::array<KernelFn, sizeof...(Ops)> ByteOpKernels(std::index_sequence<Ops...>) {
  return {(IsByteOp(static_cast<uint32_t>(Ops)) ? &ByteOpKernel<static_cast<uint32_t>(Ops)>
                                                : &GenericKernel<static_cast<uint32_t>(Ops)>)...};
}
constexpr auto kGenericKernels = GenericKernels(std::make_index_sequence<kOpCount>());
constexpr auto kByteOpKernels = ByteOpKernels(std::make_index_sequence<kOpCount>());

// Our operations that pixman composites as a layer with source alpha, and its operator for each.
struct PixmanLayerOp {
  uint32_t ours;
  pixman_op_t pixman;
};
constexpr PixmanLayerOp kPixmanLayerOps[] = {
    {kOpCopy, PIXMAN_OP_OVER},
    {kOpMultiply, PIXMAN_OP_MULTIPLY},
    {kOpScreen, PIXMAN_OP_SCREEN},
    {kOpOverlay, PIXMAN_OP_OVERLAY},
    {kOpDarken, PIXMAN_OP_DARKEN},
    {kOpLighten, PIXMAN_OP_LIGHTEN},
    {kOpColorDodge, PIXMAN_OP_COLOR_DODGE},
    {kOpColorBurn, PIXMAN_OP_COLOR_BURN},
    {kOpHardLight, PIXMAN_OP_HARD_LIGHT},
    {kOpSoftLight, PIXMAN_OP_SOFT_LIGHT},
    {kOpDifference, PIXMAN_OP_DIFFERENCE},
    {kOpExclusion, PIXMAN_OP_EXCLUSION},
};

// The pixman operator for a layer operation, or -1 when pixman has none.
int32_t PixmanLayerOperator(uint32_t op) {
  for (const PixmanLayerOp& entry : kPixmanLayerOps) {
    if (entry.ours == op) return entry.pixman;
  }
  return -1;
}

bool NoAlphaFlags(const BlendFields& f) {
  return f.srcAlpha == kAlphaNone && !f.srcInvert && f.dstAlpha == kAlphaNone && !f.dstInvert &&
         !f.alphaInvert;
}

}  // namespace

BlendProgram BlendProgram::Compile(uint64_t code) {
  BlendProgram p;
  const BlendFields& f = p.fields_ = DecodeBlendCode(code);
  p.kernel_ = kGenericKernels[f.op < kOpCount ? f.op : kOpCopy];
  if (f.channels == 0) {
    if (f.op == kPrivateCrossFade) {
      // The cross-fade always takes its opacity argument: it has no other way to weigh.
      p.fields_.opacity = true;
      p.kernel_ = CrossFadeKernel;
    } else {
      p.kernel_ = NothingKernel;
      p.writesNothing_ = true;
    }
    return p;
  }
  if (f.op >= kOpCount) p.fields_.op = kOpCopy;
  if (f.mode == kModeInterp && NoAlphaFlags(f) && IsByteOp(f.op)) {
    p.kernel_ = kByteOpKernels[f.op];
    return p;
  }
  if (f.channels != kChannelAll) return p;
  if (f.op == kOpCopy && f.mode == kModeInterp && NoAlphaFlags(f)) {
    p.kernel_ = CopyKernel;
    p.pixmanOp_ = PIXMAN_OP_SRC;
    p.pixmanMaskless_ = true;
    return p;
  }
  const bool layerWithSourceAlpha = f.mode == kModeLayer && f.srcAlpha == kAlphaChannel &&
                                    !f.srcInvert && f.dstAlpha == kAlphaNone && !f.dstInvert &&
                                    !f.alphaInvert;
  if (layerWithSourceAlpha) {
    p.pixmanOp_ = PixmanLayerOperator(f.op);
  }
  return p;
}

const BlendProgram& BlendProgram::For(uint64_t code) {
  // Interfaces draw with a handful of codes; a small direct-mapped cache per thread keeps
  // compiling out of the drawing loops without a lock.
  struct Entry {
    uint64_t code = 0;
    bool valid = false;
    BlendProgram program;
  };
  thread_local std::array<Entry, 64> cache;
  const uint64_t h = (code ^ (code >> 17) ^ (code >> 40)) * 0x9E3779B97F4A7C15ull;
  Entry& e = cache[h >> 58];
  if (!e.valid || e.code != code) {
    e.program = Compile(code);
    e.code = code;
    e.valid = true;
  }
  return e.program;
}

int32_t BlendProgram::Opacity(int32_t argument) const {
  if (!fields_.opacity) return 256;
  return std::clamp(argument, 0, 256);
}

}  // namespace vk2::gfx
