#pragma once
// The hot loops of the decoder, one set per instruction set (plain C++, SSE2, AVX2+FMA), each
// set compiled in its own translation unit.
#include <cstdint>

#include "audio/decoders/mpeg/core/simd_level.h"

namespace vk2 {

struct MpegKernels {
  // Matrixing: the 32-point DCT of every time slot. in[k * stride + t] is subband k of slot t;
  // out[t * 32 + m] = sum_k cos(m (2k + 1) pi / 64) in[k][t]. `slots` at most 36.
  void (*dct32)(const float* in, int stride, int slots, float* out);
  // Writes the 64 values of V for one slot's DCT output `x` at `pos` of the V ring (1024 floats),
  // then windows: 32 output sums from the ring whose newest block starts at `pos`.
  void (*window)(float* ring, unsigned pos, const float* x, float* out);
  // Long-block IMDCT, windowing, overlap-add and frequency inversion for `count` subbands from
  // `firstSubband`: lines[sb * 18 + k]; overlap[t * 32 + sb]; out[sb * outStride + t].
  void (*imdct36)(const float* lines, float* overlap, const float* window36, float* out,
                  int outStride, int firstSubband, int count);
  // Output conversions of planar window sums (see MpegSumsToPcm16 and MpegSumsToFloat).
  void (*toPcm16)(const float* const* pcm, int channels, int slots, int16_t* out, float& remainder);
  void (*toFloat)(const float* const* pcm, int channels, int slots, float* out);
};

const MpegKernels& MpegKernelsFor(MpegSimdLevel level);
const MpegKernels& MpegPlainKernels();
const MpegKernels& MpegSse2Kernels();
const MpegKernels& MpegAvx2Kernels();

}  // namespace vk2
