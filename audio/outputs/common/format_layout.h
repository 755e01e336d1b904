// How an audio format record reads as interleaved PCM for the sound layer.
#pragma once

#include "interfaces/audio/audio_format.h"
#include "platform/audio/sink/pcm_format.h"
#include "platform/audio/wave_format.h"

namespace vk2 {

// The PCM layout of `format`: false when it is no PCM the sound layer carries (8-bit samples
// must be unsigned, wider ones signed; float only as 32 bits).
inline bool PcmLayoutOf(const AudioFormat& format, PcmFormat& pcm) {
  if (!IsPcm(format)) return false;
  PcmFormat f;
  f.sampleRate = format.sampleRate;
  f.channels = static_cast<uint16_t>(format.channels);
  f.bitsPerSample = static_cast<uint16_t>(format.bitsPerSample);
  f.isFloat = format.isFloat != 0;
  if (format.channels > 0xFFFF || format.bitsPerSample > 0xFFFF) return false;
  if (!f.isFloat && (format.bitsPerSample == 8) == (format.isSigned != 0)) return false;
  if (!IsValidPcmFormat(f)) return false;
  pcm = f;
  return true;
}

inline bool SameLayout(const AudioFormat& a, const PcmFormat& b) {
  PcmFormat pa;
  return PcmLayoutOf(a, pa) && pa == b;
}

}  // namespace vk2
