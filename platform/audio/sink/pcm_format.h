// Interleaved PCM as the sound back ends take it: 8-bit unsigned, 16/24/32-bit signed little
// endian (24-bit packed in three bytes), or 32-bit float.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace vk2 {

struct PcmFormat {
  uint32_t sampleRate = 0;
  uint16_t channels = 0;
  uint16_t bitsPerSample = 0;  // 8, 16, 24 or 32
  bool isFloat = false;        // only with 32 bits

  uint32_t BytesPerSample() const { return (bitsPerSample + 7u) / 8u; }
  uint32_t BlockAlign() const { return BytesPerSample() * channels; }
  uint64_t BytesPerSecond() const { return uint64_t{BlockAlign()} * sampleRate; }
  // The byte that fills silence: 8-bit samples are unsigned and centred on 0x80.
  uint8_t SilenceByte() const { return bitsPerSample == 8 ? 0x80 : 0x00; }
  bool operator==(const PcmFormat&) const = default;
};

// Rates, channel counts and widths every back end here can carry.
inline constexpr uint32_t kPcmMinRate = 1000;
inline constexpr uint32_t kPcmMaxRate = 768000;
inline constexpr uint16_t kPcmMaxChannels = 32;

inline bool IsValidPcmFormat(const PcmFormat& format) {
  if (format.sampleRate < kPcmMinRate || format.sampleRate > kPcmMaxRate) return false;
  if (format.channels == 0 || format.channels > kPcmMaxChannels) return false;
  if (format.isFloat) return format.bitsPerSample == 32;
  return format.bitsPerSample == 8 || format.bitsPerSample == 16 || format.bitsPerSample == 24 ||
         format.bitsPerSample == 32;
}
// "44100 Hz, 16-bit, 2 ch" for logs and errors.
std::string DescribePcmFormat(const PcmFormat& format);
// Fills `bytes` bytes of the format's silence.
inline void FillSilence(const PcmFormat& format, void* data, size_t bytes) {
  if (bytes != 0) std::memset(data, format.SilenceByte(), bytes);
}

}  // namespace vk2
