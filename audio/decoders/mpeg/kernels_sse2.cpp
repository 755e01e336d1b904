// SSE2 kernels (x86-64 baseline): four time slots or four subbands per vector.
#include <emmintrin.h>

#include "audio/decoders/mpeg/kernels.h"
#include "audio/decoders/mpeg/synthesis_window.h"

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

#include "audio/decoders/mpeg/kernel_templates.h"

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

}  // namespace

const MpegKernels& MpegSse2Kernels() {
  static const MpegKernels kernels{Dct32Sse2, WindowSse2, Imdct36Sse2};
  return kernels;
}

}  // namespace vk2
