// The wave format record as RIFF files and the device calls carry it (WAVEFORMATEX's fields),
// held as plain values: parse it from bytes with ParseWaveFormat (acm/wave_format_reader.h).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio/sink/pcm_format.h"

namespace vk2 {

inline constexpr uint16_t kWaveFormatPcm = 0x0001;
inline constexpr uint16_t kWaveFormatAdpcm = 0x0002;  // the Microsoft ADPCM variant
inline constexpr uint16_t kWaveFormatIeeeFloat = 0x0003;
inline constexpr uint16_t kWaveFormatAlaw = 0x0006;
inline constexpr uint16_t kWaveFormatMulaw = 0x0007;
inline constexpr uint16_t kWaveFormatImaAdpcm = 0x0011;
inline constexpr uint16_t kWaveFormatGsm610 = 0x0031;
inline constexpr uint16_t kWaveFormatMpegLayer3 = 0x0055;
inline constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

struct WaveFormat {
  uint16_t formatTag = 0;
  uint16_t channels = 0;
  uint32_t samplesPerSec = 0;
  uint32_t avgBytesPerSec = 0;
  uint16_t blockAlign = 0;
  uint16_t bitsPerSample = 0;
  std::vector<uint8_t> extra;  // the cbSize bytes after the 18-byte record

  bool operator==(const WaveFormat&) const = default;
};

namespace wave_format_detail {
// Extensible records: valid bits (2), channel mask (4), then the sub-format id whose first two
// bytes are the tag it stands for.
inline constexpr size_t kExtensibleSubFormatOffset = 6;
inline constexpr size_t kExtensibleBytes = 22;
}  // namespace wave_format_detail

// The tag that counts: the sub-format's for extensible records.
inline uint16_t EffectiveFormatTag(const WaveFormat& wave) {
  if (wave.formatTag != kWaveFormatExtensible ||
      wave.extra.size() < wave_format_detail::kExtensibleBytes) {
    return wave.formatTag;
  }
  return static_cast<uint16_t>(wave.extra[wave_format_detail::kExtensibleSubFormatOffset] |
                               wave.extra[wave_format_detail::kExtensibleSubFormatOffset + 1] << 8);
}

// PCM or IEEE float as the PCM sinks take it (extensible records with those sub-formats too);
// false for compressed or odd formats.
inline bool WaveFormatToPcm(const WaveFormat& wave, PcmFormat& pcm) {
  const uint16_t tag = EffectiveFormatTag(wave);
  if (tag != kWaveFormatPcm && tag != kWaveFormatIeeeFloat) return false;
  PcmFormat f;
  f.sampleRate = wave.samplesPerSec;
  f.channels = wave.channels;
  f.bitsPerSample = wave.bitsPerSample;
  f.isFloat = tag == kWaveFormatIeeeFloat;
  if (!IsValidPcmFormat(f) || (f.isFloat && f.bitsPerSample != 32)) return false;
  if (wave.blockAlign != f.BlockAlign()) return false;
  pcm = f;
  return true;
}

// A plain record (tag 1, or 3 for float) for `pcm`.
inline WaveFormat PcmToWaveFormat(const PcmFormat& pcm) {
  WaveFormat w;
  w.formatTag = pcm.isFloat ? kWaveFormatIeeeFloat : kWaveFormatPcm;
  w.channels = pcm.channels;
  w.samplesPerSec = pcm.sampleRate;
  w.blockAlign = static_cast<uint16_t>(pcm.BlockAlign());
  w.avgBytesPerSec = static_cast<uint32_t>(pcm.BytesPerSecond());
  w.bitsPerSample = pcm.bitsPerSample;
  return w;
}

}  // namespace vk2
