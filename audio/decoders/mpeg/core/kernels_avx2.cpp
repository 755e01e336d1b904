// AVX2+FMA kernels: eight time slots or eight subbands per vector. Built with -mavx2 -mfma and
// only ever called after the processor check; remainders go to the SSE2 kernels.
#include <immintrin.h>

#include "audio/decoders/mpeg/core/kernels.h"
#include "audio/decoders/mpeg/core/synthesis_window.h"

namespace vk2 {
namespace {

struct V8 {
  __m256 v;
  V8() = default;
  V8(float f) : v(_mm256_set1_ps(f)) {}  // NOLINT: broadcast on purpose
  V8(__m256 x) : v(x) {}                 // NOLINT
};
inline V8 operator+(V8 a, V8 b) {
  return _mm256_add_ps(a.v, b.v);
}
inline V8 operator-(V8 a, V8 b) {
  return _mm256_sub_ps(a.v, b.v);
}
inline V8 operator*(V8 a, V8 b) {
  return _mm256_mul_ps(a.v, b.v);
}
inline V8 MulAdd(V8 a, V8 b, V8 c) {
  return _mm256_fmadd_ps(a.v, b.v, c.v);
}

}  // namespace
}  // namespace vk2

#include "audio/decoders/mpeg/core/kernel_templates.h"

namespace vk2 {
namespace {

constexpr unsigned kTapOffsets[16] = {0,   96,  128, 224, 256, 352, 384, 480,
                                      512, 608, 640, 736, 768, 864, 896, 992};

// Transposes the 32 lane vectors of eight slots into eight rows of 32.
inline void StoreSlots(const V8* x, float* out) {
  for (int m0 = 0; m0 < 32; m0 += 8) {
    __m256 r[8];
    for (int i = 0; i < 8; ++i)
      r[i] = x[m0 + i].v;
    __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]), t1 = _mm256_unpackhi_ps(r[0], r[1]);
    __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]), t3 = _mm256_unpackhi_ps(r[2], r[3]);
    __m256 t4 = _mm256_unpacklo_ps(r[4], r[5]), t5 = _mm256_unpackhi_ps(r[4], r[5]);
    __m256 t6 = _mm256_unpacklo_ps(r[6], r[7]), t7 = _mm256_unpackhi_ps(r[6], r[7]);
    __m256 s0 = _mm256_shuffle_ps(t0, t2, 0x44), s1 = _mm256_shuffle_ps(t0, t2, 0xEE);
    __m256 s2 = _mm256_shuffle_ps(t1, t3, 0x44), s3 = _mm256_shuffle_ps(t1, t3, 0xEE);
    __m256 s4 = _mm256_shuffle_ps(t4, t6, 0x44), s5 = _mm256_shuffle_ps(t4, t6, 0xEE);
    __m256 s6 = _mm256_shuffle_ps(t5, t7, 0x44), s7 = _mm256_shuffle_ps(t5, t7, 0xEE);
    __m256 rows[8] = {_mm256_permute2f128_ps(s0, s4, 0x20), _mm256_permute2f128_ps(s1, s5, 0x20),
                      _mm256_permute2f128_ps(s2, s6, 0x20), _mm256_permute2f128_ps(s3, s7, 0x20),
                      _mm256_permute2f128_ps(s0, s4, 0x31), _mm256_permute2f128_ps(s1, s5, 0x31),
                      _mm256_permute2f128_ps(s2, s6, 0x31), _mm256_permute2f128_ps(s3, s7, 0x31)};
    for (int l = 0; l < 8; ++l)
      _mm256_storeu_ps(out + l * 32 + m0, rows[l]);
  }
}

void Dct32Avx2(const float* in, int stride, int slots, float* out) {
  int t0 = 0;
  for (; t0 + 8 <= slots; t0 += 8) {
    V8 x[32];
    for (int k = 0; k < 32; ++k)
      x[k] = _mm256_loadu_ps(in + k * stride + t0);
    Dct32(x);
    StoreSlots(x, out + t0 * 32);
  }
  if (t0 < slots) MpegSse2Kernels().dct32(in + t0, stride, slots - t0, out + t0 * 32);
}

void WindowAvx2(float* ring, unsigned pos, const float* x, float* out) {
  // V[i] = X[16 + i] below 16, 0 at 16, -X[48 - i] up to 48, -X[i - 48] above.
  float* v0 = ring + pos;
  const __m256 neg = _mm256_set1_ps(-0.0f);
  const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  _mm256_storeu_ps(v0, _mm256_loadu_ps(x + 16));
  _mm256_storeu_ps(v0 + 8, _mm256_loadu_ps(x + 24));
  for (int i = 0; i < 32; i += 8) {
    __m256 r = _mm256_permutevar8x32_ps(_mm256_loadu_ps(x + i), reverse);
    _mm256_storeu_ps(v0 + 41 - i, _mm256_xor_ps(r, neg));
  }
  v0[16] = 0.0f;
  _mm256_storeu_ps(v0 + 49, _mm256_xor_ps(_mm256_loadu_ps(x + 1), neg));
  _mm256_storeu_ps(v0 + 56, _mm256_xor_ps(_mm256_loadu_ps(x + 8), neg));
  const float* d = MpegSynthesisWindow();
  __m256 acc[4];
  for (int b = 0; b < 4; ++b)
    acc[b] = _mm256_setzero_ps();
  for (int n = 0; n < 16; ++n) {
    const float* v = ring + ((pos + kTapOffsets[n]) & 1023u);
    const float* c = d + 32 * n;
    for (int b = 0; b < 4; ++b)
      acc[b] = _mm256_fmadd_ps(_mm256_loadu_ps(v + 8 * b), _mm256_load_ps(c + 8 * b), acc[b]);
  }
  for (int b = 0; b < 4; ++b)
    _mm256_storeu_ps(out + 8 * b, acc[b]);
}

void Imdct36Avx2(const float* lines, float* overlap, const float* window36, float* out,
                 int outStride, int firstSubband, int count) {
  int sb = firstSubband;
  int end = firstSubband + count;
  const __m256i gather = _mm256_setr_epi32(0, 18, 36, 54, 72, 90, 108, 126);
  for (; sb + 8 <= end; sb += 8) {
    V8 x[18], tail[18], y[18];
    const float* l = lines + sb * 18;
    for (int k = 0; k < 18; ++k)
      x[k] = _mm256_i32gather_ps(l + k, gather, 4);
    for (int t = 0; t < 18; ++t)
      tail[t] = _mm256_loadu_ps(overlap + t * 32 + sb);
    Imdct36(x, window36, tail, y);
    // Odd subbands negate their odd samples; lane parity follows sb.
    __m256 sign = (sb & 1) ? _mm256_setr_ps(-1, 1, -1, 1, -1, 1, -1, 1)
                           : _mm256_setr_ps(1, -1, 1, -1, 1, -1, 1, -1);
    for (int t = 0; t < 18; ++t) {
      _mm256_storeu_ps(overlap + t * 32 + sb, tail[t].v);
      __m256 v = (t & 1) ? _mm256_mul_ps(y[t].v, sign) : y[t].v;
      alignas(32) float s[8];
      _mm256_store_ps(s, v);
      for (int i = 0; i < 8; ++i)
        out[(sb + i) * outStride + t] = s[i];
    }
  }
  if (sb < end) MpegSse2Kernels().imdct36(lines, overlap, window36, out, outStride, sb, end - sb);
}

}  // namespace

const MpegKernels& MpegAvx2Kernels() {
  // The output conversions gain nothing from wider vectors: the running sum is the limit.
  static const MpegKernels kernels{Dct32Avx2, WindowAvx2, Imdct36Avx2, MpegSse2Kernels().toPcm16,
                                   MpegSse2Kernels().toFloat};
  return kernels;
}

}  // namespace vk2
