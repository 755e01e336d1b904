#include "platform/audio/sink/pcm_gain.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace vk2 {

namespace {

template <class Load, class Store>
void Scale(const PcmFormat& f, const ChannelGains& g, const uint8_t* in, uint8_t* out, size_t bytes,
           Load load, Store store) {
  const size_t width = f.BytesPerSample();
  const size_t frames = bytes / f.BlockAlign();
  for (size_t i = 0; i < frames; ++i) {
    for (uint32_t c = 0; c < f.channels; ++c) {
      const float gain = c == 0 ? g.left : c == 1 ? g.right : g.others;
      store(out, load(in) * static_cast<double>(gain));
      in += width;
      out += width;
    }
  }
}

int64_t RoundClip(double v, double lo, double hi) {
  if (v <= lo) return static_cast<int64_t>(lo);
  if (v >= hi) return static_cast<int64_t>(hi);
  return static_cast<int64_t>(std::lround(v));
}

}  // namespace

void ApplyPcmGain(const PcmFormat& format, const ChannelGains& gains, const void* in, void* out,
                  size_t bytes) {
  const auto* src = static_cast<const uint8_t*>(in);
  auto* dst = static_cast<uint8_t*>(out);
  bytes = bytes / format.BlockAlign() * format.BlockAlign();
  if (gains.IsUnity()) {
    if (src != dst) std::memmove(dst, src, bytes);
    return;
  }
  if (format.isFloat) {
    Scale(
        format, gains, src, dst, bytes,
        [](const uint8_t* p) {
          float v;
          std::memcpy(&v, p, 4);
          return static_cast<double>(v);
        },
        [](uint8_t* p, double v) {
          const float f = static_cast<float>(v);
          std::memcpy(p, &f, 4);
        });
    return;
  }
  switch (format.bitsPerSample) {
    case 8:
      Scale(
          format, gains, src, dst, bytes, [](const uint8_t* p) { return *p - 128.0; },
          [](uint8_t* p, double v) { *p = static_cast<uint8_t>(RoundClip(v, -128, 127) + 128); });
      break;
    case 16:
      Scale(
          format, gains, src, dst, bytes,
          [](const uint8_t* p) {
            return static_cast<double>(static_cast<int16_t>(p[0] | p[1] << 8));
          },
          [](uint8_t* p, double v) {
            const auto s = static_cast<uint16_t>(RoundClip(v, -32768, 32767));
            p[0] = static_cast<uint8_t>(s);
            p[1] = static_cast<uint8_t>(s >> 8);
          });
      break;
    case 24:
      Scale(
          format, gains, src, dst, bytes,
          [](const uint8_t* p) {
            const int32_t v = static_cast<int32_t>(static_cast<uint32_t>(p[0]) << 8 |
                                                   static_cast<uint32_t>(p[1]) << 16 |
                                                   static_cast<uint32_t>(p[2]) << 24);
            return static_cast<double>(v >> 8);
          },
          [](uint8_t* p, double v) {
            const auto s = static_cast<uint32_t>(RoundClip(v, -8388608, 8388607));
            p[0] = static_cast<uint8_t>(s);
            p[1] = static_cast<uint8_t>(s >> 8);
            p[2] = static_cast<uint8_t>(s >> 16);
          });
      break;
    case 32:
      Scale(
          format, gains, src, dst, bytes,
          [](const uint8_t* p) {
            int32_t v;
            std::memcpy(&v, p, 4);
            return static_cast<double>(v);
          },
          [](uint8_t* p, double v) {
            const auto s = static_cast<int32_t>(RoundClip(v, -2147483648.0, 2147483647.0));
            std::memcpy(p, &s, 4);
          });
      break;
    default:
      break;
  }
}

float CentibelsToGain(int32_t centibels) {
  if (centibels <= -10000) return 0.0f;
  if (centibels >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, centibels / 2000.0));
}

}  // namespace vk2
