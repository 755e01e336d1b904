// SSE2 kernels (x86-64 baseline): four time slots or four subbands per vector.
#include <emmintrin.h>

#include <algorithm>
#include <cmath>

#include "audio/decoders/mpeg/core/kernels.h"
#include "audio/decoders/mpeg/core/synthesis_window.h"

namespace vk2 {
namespace {

struct V4 {
  __m128 v;
  V4() = default;
  V4(float f) : v(_mm_set1_ps(f)) {}  // NOLINT: broadcast on purpose
  V4(__m128 x) : v(x) {}              // NOLINT
};
inline V4 operator+(V4 a, V4 b) {
  return _mm_add_ps(a.v, b.v);
}
inline V4 operator-(V4 a, V4 b) {
  return _mm_sub_ps(a.v, b.v);
}
inline V4 operator*(V4 a, V4 b) {
  return _mm_mul_ps(a.v, b.v);
}
inline V4 MulAdd(V4 a, V4 b, V4 c) {
  return _mm_add_ps(_mm_mul_ps(a.v, b.v), c.v);
}

}  // namespace
}  // namespace vk2

#include "audio/decoders/mpeg/core/kernel_templates.h"

namespace vk2 {
namespace {

constexpr unsigned kTapOffsets[16] = {0,   96,  128, 224, 256, 352, 384, 480,
                                      512, 608, 640, 736, 768, 864, 896, 992};

void Dct32Sse2(const float* in, int stride, int slots, float* out) {
  int t0 = 0;
  for (; t0 + 4 <= slots; t0 += 4) {
    V4 x[32];
    for (int k = 0; k < 32; ++k)
      x[k] = _mm_loadu_ps(in + k * stride + t0);
    Dct32(x);
    alignas(16) float lanes[32][4];
    for (int m = 0; m < 32; ++m)
      _mm_store_ps(lanes[m], x[m].v);
    for (int l = 0; l < 4; ++l)
      for (int m = 0; m < 32; ++m)
        out[(t0 + l) * 32 + m] = lanes[m][l];
  }
  if (t0 < slots) MpegPlainKernels().dct32(in + t0, stride, slots - t0, out + t0 * 32);
}

inline __m128 Reverse(__m128 v) {
  return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3));
}

void WindowSse2(float* ring, unsigned pos, const float* x, float* out) {
  // V[i] = X[16 + i] below 16, 0 at 16, -X[48 - i] up to 48, -X[i - 48] above.
  float* v0 = ring + pos;
  const __m128 neg = _mm_set1_ps(-0.0f);
  for (int i = 0; i < 16; i += 4)
    _mm_storeu_ps(v0 + i, _mm_loadu_ps(x + 16 + i));
  for (int i = 0; i < 32; i += 4)
    _mm_storeu_ps(v0 + 45 - i, _mm_xor_ps(Reverse(_mm_loadu_ps(x + i)), neg));
  v0[16] = 0.0f;
  for (int i = 49; i < 61; i += 4)
    _mm_storeu_ps(v0 + i, _mm_xor_ps(_mm_loadu_ps(x + i - 48), neg));
  for (int i = 61; i < 64; ++i)
    v0[i] = -x[i - 48];
  const float* d = MpegSynthesisWindow();
  __m128 acc[8];
  for (int b = 0; b < 8; ++b)
    acc[b] = _mm_setzero_ps();
  for (int n = 0; n < 16; ++n) {
    const float* v = ring + ((pos + kTapOffsets[n]) & 1023u);
    const float* c = d + 32 * n;
    for (int b = 0; b < 8; ++b)
      acc[b] = _mm_add_ps(acc[b], _mm_mul_ps(_mm_loadu_ps(v + 4 * b), _mm_load_ps(c + 4 * b)));
  }
  for (int b = 0; b < 8; ++b)
    _mm_storeu_ps(out + 4 * b, acc[b]);
}

void Imdct36Sse2(const float* lines, float* overlap, const float* window36, float* out,
                 int outStride, int firstSubband, int count) {
  int sb = firstSubband;
  int end = firstSubband + count;
  for (; sb + 4 <= end; sb += 4) {
    V4 x[18], tail[18], y[18];
    const float* l = lines + sb * 18;
    for (int k = 0; k < 18; ++k)
      x[k] = _mm_setr_ps(l[k], l[18 + k], l[36 + k], l[54 + k]);
    for (int t = 0; t < 18; ++t)
      tail[t] = _mm_loadu_ps(overlap + t * 32 + sb);
    Imdct36(x, window36, tail, y);
    // Odd subbands negate their odd samples; lane parity follows sb.
    __m128 sign = (sb & 1) ? _mm_setr_ps(-1, 1, -1, 1) : _mm_setr_ps(1, -1, 1, -1);
    for (int t = 0; t < 18; ++t) {
      _mm_storeu_ps(overlap + t * 32 + sb, tail[t].v);
      __m128 v = (t & 1) ? _mm_mul_ps(y[t].v, sign) : y[t].v;
      alignas(16) float s[4];
      _mm_store_ps(s, v);
      for (int i = 0; i < 4; ++i)
        out[(sb + i) * outStride + t] = s[i];
    }
  }
  if (sb < end) MpegPlainKernels().imdct36(lines, overlap, window36, out, outStride, sb, end - sb);
}

// The same arithmetic as MpegSumsToPcm16 (the plain form), four samples at a time: only the
// carry of the running sum passes from vector to vector.
void SumsToPcm16Sse2(const float* const* pcm, int channels, int slots, int16_t* out,
                     float& remainder) {
  constexpr int kFraction = 8;
  constexpr int32_t kOne = 1 << kFraction;
  const __m128 scale = _mm_set1_ps(32767.0f * kOne);
  const __m128 low = _mm_set1_ps(-4.0f), high = _mm_set1_ps(4.0f);
  const __m128i mask = _mm_set1_epi32(kOne - 1), half = _mm_set1_epi32(kOne / 2);
  __m128i carry =
      _mm_set1_epi32(static_cast<int32_t>(std::lrint(std::clamp(remainder, -0.5f, 0.5f) * kOne)));
  for (int t = 0; t < slots; ++t) {
    alignas(16) int16_t block[2][32];
    for (int ch = 0; ch < channels; ++ch) {
      const float* s = pcm[ch] + t * 32;
      alignas(16) int32_t c[32], p[33];
      int ties = 0;
      for (int v = 0; v < 8; ++v) {
        __m128 f = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(s + 4 * v), low), high);
        __m128i x = _mm_cvttps_epi32(_mm_mul_ps(f, scale));
        x = _mm_add_epi32(x, _mm_slli_si128(x, 4));
        x = _mm_add_epi32(x, _mm_slli_si128(x, 8));
        x = _mm_add_epi32(x, carry);
        carry = _mm_shuffle_epi32(x, 0xFF);
        __m128i fraction = _mm_and_si128(x, mask);
        __m128i q = _mm_srai_epi32(x, kFraction);
        __m128i sum = _mm_sub_epi32(q, _mm_cmpgt_epi32(fraction, half));
        ties |= _mm_movemask_epi8(_mm_cmpeq_epi32(fraction, half));
        _mm_store_si128(reinterpret_cast<__m128i*>(c + 4 * v), x);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 4 * v + 1), sum);
      }
      p[0] = 0;
      if (ties) {
        for (int j = 0; j < 32; ++j) {
          if ((c[j] & (kOne - 1)) != kOne / 2) continue;
          int32_t q = c[j] >> kFraction;
          p[j + 1] = q + ((q ^ p[j]) & 1);  // the output sample is even
        }
      }
      for (int v = 0; v < 4; ++v) {
        __m128i a = _mm_sub_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8 * v + 1)),
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8 * v)));
        __m128i b = _mm_sub_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8 * v + 5)),
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 8 * v + 4)));
        _mm_store_si128(reinterpret_cast<__m128i*>(block[ch] + 8 * v), _mm_packs_epi32(a, b));
      }
      carry = _mm_set1_epi32(c[31] - p[32] * kOne);
    }
    int16_t* o = out + t * 32 * channels;
    if (channels == 1) {
      for (int v = 0; v < 4; ++v)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 8 * v),
                         _mm_load_si128(reinterpret_cast<const __m128i*>(block[0] + 8 * v)));
    } else {
      for (int v = 0; v < 4; ++v) {
        __m128i l = _mm_load_si128(reinterpret_cast<const __m128i*>(block[0] + 8 * v));
        __m128i r = _mm_load_si128(reinterpret_cast<const __m128i*>(block[1] + 8 * v));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 16 * v), _mm_unpacklo_epi16(l, r));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o + 16 * v + 8), _mm_unpackhi_epi16(l, r));
      }
    }
  }
  remainder = static_cast<float>(_mm_cvtsi128_si32(carry)) / kOne;
}

void SumsToFloatSse2(const float* const* pcm, int channels, int slots, float* out) {
  const __m128 low = _mm_set1_ps(-1.0f), high = _mm_set1_ps(1.0f);
  const int n = slots * 32;
  if (channels == 1) {
    for (int i = 0; i < n; i += 4)
      _mm_storeu_ps(out + i, _mm_min_ps(_mm_max_ps(_mm_loadu_ps(pcm[0] + i), low), high));
    return;
  }
  for (int i = 0; i < n; i += 4) {
    __m128 l = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(pcm[0] + i), low), high);
    __m128 r = _mm_min_ps(_mm_max_ps(_mm_loadu_ps(pcm[1] + i), low), high);
    _mm_storeu_ps(out + 2 * i, _mm_unpacklo_ps(l, r));
    _mm_storeu_ps(out + 2 * i + 4, _mm_unpackhi_ps(l, r));
  }
}

}  // namespace

const MpegKernels& MpegSse2Kernels() {
  static const MpegKernels kernels{Dct32Sse2, WindowSse2, Imdct36Sse2, SumsToPcm16Sse2,
                                   SumsToFloatSse2};
  return kernels;
}

}  // namespace vk2
