#include "visual/pcm_to_int8.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vk2 {
namespace {

int8_t ScaleFloat(double v) {
  // NaN compares false everywhere: it becomes 0 rather than an undefined conversion.
  const double scaled = std::nearbyint(v * 127.0);
  if (!(scaled > -128.0)) return scaled <= -128.0 ? int8_t{-128} : int8_t{0};
  if (scaled > 127.0) return 127;
  return static_cast<int8_t>(scaled);
}

}  // namespace

int8_t SampleToInt8(const uint8_t* p, const HistoryFormat& format) {
  const uint32_t width = format.BytesPerSample();
  if (format.isFloat) {
    if (format.bits == 32) {
      float f;
      std::memcpy(&f, p, sizeof f);
      return ScaleFloat(f);
    }
    if (width >= sizeof(double)) {
      double d;
      std::memcpy(&d, p, sizeof d);
      return ScaleFloat(d);
    }
  }
  if (width == 1) return static_cast<int8_t>(static_cast<int32_t>(p[0]) - 128);
  // Little-endian: the last byte of the sample is its most significant one.
  return static_cast<int8_t>(p[width - 1]);
}

void SplitToPlanes(const uint8_t* in, uint32_t frames, const HistoryFormat& format,
                   int8_t* const* planes) {
  const uint32_t width = format.BytesPerSample();
  const uint32_t frameBytes = format.BytesPerFrame();
  const uint32_t stored = format.StoredChannels();
  for (uint32_t c = 0; c < stored; ++c) {
    const uint8_t* p = in + c * width;
    int8_t* out = planes[c];
    for (uint32_t f = 0; f < frames; ++f, p += frameBytes)
      out[f] = SampleToInt8(p, format);
  }
}

}  // namespace vk2
