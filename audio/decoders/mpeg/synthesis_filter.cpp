#include "audio/decoders/mpeg/synthesis_filter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vk2 {

MpegSynthesisFilter::MpegSynthesisFilter(MpegSimdLevel level)
    : level_(MpegSimdLevelSupported(level) ? level : MpegSimdLevel::kSse2),
      kernels_(&MpegKernelsFor(level_)) {
  Reset();
}

void MpegSynthesisFilter::Reset() {
  std::memset(ring_, 0, sizeof ring_);
  position_[0] = position_[1] = 64;
  remainder_ = 0;
}

void MpegSynthesisFilter::Synthesize(int channel, const float* subbands, int stride, int slots,
                                     float* pcm) {
  alignas(64) float x[kMaxSlots * 32];
  slots = std::min(slots, kMaxSlots);
  kernels_->dct32(subbands, stride, slots, x);
  float* ring = ring_[channel];
  unsigned& pos = position_[channel];
  for (int t = 0; t < slots; ++t) {
    pos = (pos - 64u) & 1023u;
    kernels_->window(ring, pos, x + t * 32, pcm + t * 32);
  }
}

void MpegSumsToPcm16(const float* const* pcm, int channels, int slots, int16_t* out,
                     float& remainder) {
  // The rounding remainder makes this a serial chain through every sample; it runs in fixed
  // point (12 fraction bits) because integer steps are several times shorter than float rounding.
  constexpr int kFraction = 12;
  constexpr float kScale = 32767.0f * (1 << kFraction);
  constexpr int32_t kHalfBelow = (1 << (kFraction - 1)) - 1;
  int32_t r =
      static_cast<int32_t>(std::lrint(std::clamp(remainder, -0.5f, 0.5f) * (1 << kFraction)));
  for (int t = 0; t < slots; ++t) {
    for (int ch = 0; ch < channels; ++ch) {
      const float* s = pcm[ch] + t * 32;
      int32_t a[32];
      for (int j = 0; j < 32; ++j)
        a[j] = static_cast<int32_t>(std::clamp(s[j], -4.0f, 4.0f) * kScale);
      int16_t* o = out + t * 32 * channels + ch;
      for (int j = 0; j < 32; ++j) {
        int32_t w = a[j] + r;
        // Nearest, ties to even: the tie goes up only from an odd integer part.
        int32_t x = (w + kHalfBelow + ((w >> kFraction) & 1)) >> kFraction;
        r = w - (x * (1 << kFraction));
        o[j * channels] = static_cast<int16_t>(std::clamp(x, -32768, 32767));
      }
    }
  }
  remainder = static_cast<float>(r) / (1 << kFraction);
}

void MpegSumsToFloat(const float* const* pcm, int channels, int slots, float* out) {
  int n = slots * 32;
  if (channels == 1) {
    for (int i = 0; i < n; ++i)
      out[i] = std::clamp(pcm[0][i], -1.0f, 1.0f);
    return;
  }
  for (int i = 0; i < n; ++i) {
    out[2 * i] = std::clamp(pcm[0][i], -1.0f, 1.0f);
    out[2 * i + 1] = std::clamp(pcm[1][i], -1.0f, 1.0f);
  }
}

}  // namespace vk2
