#include "audio/decoders/mpeg/core/synthesis_filter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vk2 {

namespace {
inline float Clip1(float v) {
  v = v < -1.0f ? -1.0f : v;
  return v > 1.0f ? 1.0f : v;
}
}  // namespace

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
  // The remainder makes every sample depend on the one before, a long serial chain if done as
  // written. In fixed point (8 fraction bits) it unrolls exactly: with C the running sum of the
  // scaled inputs (plus the carried remainder) and P the running sum of the outputs, P[j] is C[j]
  // rounded to nearest, and only a tie (fraction exactly one half) depends on P[j - 1] (the
  // rounding goes to the even output). So only the running sum stays serial, one add per sample.
  constexpr int kFraction = 8;
  constexpr int32_t kOne = 1 << kFraction;
  constexpr int32_t kHalf = kOne / 2;
  constexpr float kScale = 32767.0f * kOne;
  int32_t carry = static_cast<int32_t>(std::lrint(std::clamp(remainder, -0.5f, 0.5f) * kOne));
  for (int t = 0; t < slots; ++t) {
    int16_t block[2][32];
    for (int ch = 0; ch < channels; ++ch) {
      const float* s = pcm[ch] + t * 32;
      int32_t a[32], c[32], p[33];
      for (int j = 0; j < 32; ++j) {
        float v = s[j] < -4.0f ? -4.0f : s[j];  // min/max rather than branches: vectorises
        v = v > 4.0f ? 4.0f : v;
        a[j] = static_cast<int32_t>(v * kScale);
      }
      int32_t running = carry;
      for (int j = 0; j < 32; ++j) {
        running += a[j];
        c[j] = running;
      }
      p[0] = 0;
      int ties = 0;
      for (int j = 0; j < 32; ++j) {
        int32_t fraction = c[j] & (kOne - 1);
        p[j + 1] = (c[j] >> kFraction) + (fraction > kHalf ? 1 : 0);
        ties |= fraction == kHalf;
      }
      if (ties) {
        for (int j = 0; j < 32; ++j) {
          if ((c[j] & (kOne - 1)) != kHalf) continue;
          int32_t q = c[j] >> kFraction;
          p[j + 1] = q + ((q ^ p[j]) & 1);  // the output sample is even
        }
      }
      for (int j = 0; j < 32; ++j) {
        int32_t x = p[j + 1] - p[j];
        x = x < -32768 ? -32768 : x;
        block[ch][j] = static_cast<int16_t>(x > 32767 ? 32767 : x);
      }
      carry = c[31] - p[32] * kOne;
    }
    int16_t* o = out + t * 32 * channels;
    if (channels == 1) {
      std::memcpy(o, block[0], sizeof block[0]);
    } else {
      for (int j = 0; j < 32; ++j) {
        o[2 * j] = block[0][j];
        o[2 * j + 1] = block[1][j];
      }
    }
  }
  remainder = static_cast<float>(carry) / kOne;
}

void MpegSumsToFloat(const float* const* pcm, int channels, int slots, float* out) {
  int n = slots * 32;
  if (channels == 1) {
    for (int i = 0; i < n; ++i)
      out[i] = std::clamp(pcm[0][i], -1.0f, 1.0f);
    return;
  }
  for (int i = 0; i < n; ++i) {
    out[2 * i] = Clip1(pcm[0][i]);
    out[2 * i + 1] = Clip1(pcm[1][i]);
  }
}

}  // namespace vk2
