// Software volume for the device stand-ins: one linear gain per channel, applied while the data
// is copied towards the sink. Unity gain copies the bytes unchanged.
#pragma once

#include <array>
#include <cstddef>

#include "platform/audio/sink/pcm_format.h"

namespace vk2 {

// Gains for the first two channels (left, right); further channels take `others`.
struct ChannelGains {
  float left = 1.0f;
  float right = 1.0f;
  float others = 1.0f;
  bool IsUnity() const { return left == 1.0f && right == 1.0f && others == 1.0f; }
};

// Copies `bytes` (whole frames) from `in` to `out`, scaling each sample. Integer samples are
// rounded to nearest and clipped; `in` and `out` may be the same buffer.
void ApplyPcmGain(const PcmFormat& format, const ChannelGains& gains, const void* in, void* out,
                  size_t bytes);

// Hundredths of a decibel (0 = unity, -10000 = silence) as a linear factor.
float CentibelsToGain(int32_t centibels);

}  // namespace vk2
