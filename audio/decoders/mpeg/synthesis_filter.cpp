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
    const float* X = x + t * 32;
    float* v = ring + pos;
    // V[i] = X[16 + i] for i < 16, 0 at 16, -X[48 - i] up to 48, -X[i - 48] above.
    for (int i = 0; i < 16; ++i)
      v[i] = X[16 + i];
    v[16] = 0.0f;
    for (int i = 17; i <= 48; ++i)
      v[i] = -X[48 - i];
    for (int i = 49; i < 64; ++i)
      v[i] = -X[i - 48];
    kernels_->window(ring, pos, pcm + t * 32);
  }
}

void MpegSumsToPcm16(const float* const* pcm, int channels, int slots, int16_t* out,
                     float& remainder) {
  float r = remainder;
  for (int t = 0; t < slots; ++t) {
    for (int ch = 0; ch < channels; ++ch) {
      const float* s = pcm[ch] + t * 32;
      int16_t* o = out + t * 32 * channels + ch;
      for (int j = 0; j < 32; ++j) {
        float w = s[j] * 32767.0f + r;
        float x = std::nearbyintf(w);
        r = w - x;
        o[j * channels] = static_cast<int16_t>(std::clamp(x, -32768.0f, 32767.0f));
      }
    }
  }
  remainder = std::isfinite(r) ? r : 0.0f;
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
