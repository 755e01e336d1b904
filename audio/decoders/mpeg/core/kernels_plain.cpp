// Plain C++ kernels: the reference form, and the fallback for every remainder the vector forms
// leave over.
#include <cstring>

#include "audio/decoders/mpeg/core/kernels.h"
#include "audio/decoders/mpeg/core/synthesis_filter.h"
#include "audio/decoders/mpeg/core/synthesis_window.h"

namespace vk2 {
namespace {
inline float MulAdd(float a, float b, float c) {
  return a * b + c;
}

// Four time slots side by side, in portable C++; compilers map it onto whatever vector unit the
// target's baseline has.
struct Lanes4 {
  float v[4];
  Lanes4() = default;
  Lanes4(float f) : v{f, f, f, f} {}  // NOLINT: broadcast on purpose
};
inline Lanes4 operator+(const Lanes4& a, const Lanes4& b) {
  Lanes4 r;
  for (int i = 0; i < 4; ++i)
    r.v[i] = a.v[i] + b.v[i];
  return r;
}
inline Lanes4 operator-(const Lanes4& a, const Lanes4& b) {
  Lanes4 r;
  for (int i = 0; i < 4; ++i)
    r.v[i] = a.v[i] - b.v[i];
  return r;
}
inline Lanes4 operator*(const Lanes4& a, const Lanes4& b) {
  Lanes4 r;
  for (int i = 0; i < 4; ++i)
    r.v[i] = a.v[i] * b.v[i];
  return r;
}
}  // namespace
}  // namespace vk2

#include "audio/decoders/mpeg/core/kernel_templates.h"

namespace vk2 {
namespace {

// Where tap n of the window reads the V ring, relative to the newest block.
constexpr unsigned kTapOffsets[16] = {0,   96,  128, 224, 256, 352, 384, 480,
                                      512, 608, 640, 736, 768, 864, 896, 992};

void Dct32Plain(const float* in, int stride, int slots, float* out) {
  int t = 0;
  for (; t + 4 <= slots; t += 4) {
    Lanes4 x[32];
    for (int k = 0; k < 32; ++k)
      for (int l = 0; l < 4; ++l)
        x[k].v[l] = in[k * stride + t + l];
    Dct32(x);
    for (int l = 0; l < 4; ++l)
      for (int m = 0; m < 32; ++m)
        out[(t + l) * 32 + m] = x[m].v[l];
  }
  for (; t < slots; ++t) {
    float x[32];
    for (int k = 0; k < 32; ++k)
      x[k] = in[k * stride + t];
    Dct32(x);
    std::memcpy(out + t * 32, x, sizeof x);
  }
}

void WindowPlain(float* ring, unsigned pos, const float* x, float* out) {
  // V[i] = X[16 + i] below 16, 0 at 16, -X[48 - i] up to 48, -X[i - 48] above.
  float* v0 = ring + pos;
  for (int i = 0; i < 16; ++i)
    v0[i] = x[16 + i];
  v0[16] = 0.0f;
  for (int i = 17; i <= 48; ++i)
    v0[i] = -x[48 - i];
  for (int i = 49; i < 64; ++i)
    v0[i] = -x[i - 48];
  const float* d = MpegSynthesisWindow();
  unsigned base[16];
  for (int n = 0; n < 16; ++n)
    base[n] = (pos + kTapOffsets[n]) & 1023u;
  // Eight sums at a time, written so that a compiler can keep them in vector registers.
  for (int j0 = 0; j0 < 32; j0 += 8) {
    float acc[8] = {};
    for (int n = 0; n < 16; ++n) {
      const float* v = ring + base[n] + j0;
      const float* c = d + 32 * n + j0;
      for (int l = 0; l < 8; ++l)
        acc[l] += v[l] * c[l];
    }
    for (int l = 0; l < 8; ++l)
      out[j0 + l] = acc[l];
  }
}

void Imdct36Plain(const float* lines, float* overlap, const float* window36, float* out,
                  int outStride, int firstSubband, int count) {
  for (int sb = firstSubband; sb < firstSubband + count; ++sb) {
    float tail[18], y[18];
    for (int t = 0; t < 18; ++t)
      tail[t] = overlap[t * 32 + sb];
    Imdct36(lines + sb * 18, window36, tail, y);
    float* o = out + sb * outStride;
    for (int t = 0; t < 18; ++t) {
      overlap[t * 32 + sb] = tail[t];
      o[t] = (sb & t & 1) ? -y[t] : y[t];  // frequency inversion of odd subbands
    }
  }
}

}  // namespace

const MpegKernels& MpegPlainKernels() {
  static const MpegKernels kernels{Dct32Plain, WindowPlain, Imdct36Plain, MpegSumsToPcm16,
                                   MpegSumsToFloat};
  return kernels;
}

const MpegKernels& MpegKernelsFor(MpegSimdLevel level) {
  switch (level) {
    case MpegSimdLevel::kAvx2:
      if (MpegSimdLevelSupported(MpegSimdLevel::kAvx2)) return MpegAvx2Kernels();
      return MpegSse2Kernels();
    case MpegSimdLevel::kSse2:
      return MpegSse2Kernels();
    case MpegSimdLevel::kPlain:
      break;
  }
  return MpegPlainKernels();
}

}  // namespace vk2
