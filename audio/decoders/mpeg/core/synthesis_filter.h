#pragma once
// Polyphase synthesis filterbank: 32 subband samples per channel and time slot become 32 PCM
// samples. The state is the V vector of the standard, a ring of 1024 floats per channel.
#include <cstdint>

#include "audio/decoders/mpeg/core/kernels.h"
#include "audio/decoders/mpeg/core/simd_level.h"

namespace vk2 {

class MpegSynthesisFilter {
 public:
  static constexpr int kMaxSlots = 36;

  explicit MpegSynthesisFilter(MpegSimdLevel level = MpegProcessSimdLevel());

  // Zeroes both rings and puts both write positions at 64.
  void Reset();
  // Runs `slots` time slots of one channel. subbands[k * stride + t]; writes 32 window sums per
  // slot to pcm[t * 32 + j] (full scale 1.0, not clipped).
  void Synthesize(int channel, const float* subbands, int stride, int slots, float* pcm);
  MpegSimdLevel Level() const { return level_; }
  // Rounding remainder of the 16-bit output, carried from each sample to the next.
  float& Remainder() { return remainder_; }
  // Window sums of both channels to interleaved output, 16-bit (with the remainder) or float.
  void Output(const float* const* pcm, int channels, int slots, void* out, bool asFloat) {
    if (asFloat)
      kernels_->toFloat(pcm, channels, slots, static_cast<float*>(out));
    else
      kernels_->toPcm16(pcm, channels, slots, static_cast<int16_t*>(out), remainder_);
  }

 private:
  MpegSimdLevel level_;
  const MpegKernels* kernels_;
  alignas(64) float ring_[2][1024];
  unsigned position_[2];
  float remainder_ = 0;
};

// Output conversion of planar window sums pcm[channel][t * 32 + j] into interleaved samples.
// 16-bit: w = sum * 32767 + remainder, x = w rounded to nearest (ties to even), remainder = w - x,
// stored saturated; the remainder runs through slots, then channels, then samples, as produced.
void MpegSumsToPcm16(const float* const* pcm, int channels, int slots, int16_t* out,
                     float& remainder);
// Float: clipped to [-1, 1].
void MpegSumsToFloat(const float* const* pcm, int channels, int slots, float* out);

}  // namespace vk2
