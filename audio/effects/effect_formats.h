// The PCM formats both effect filters process: 8- or 16-bit integers (signed or unsigned) and
// 32- or 64-bit floats, any channel count.
#pragma once

#include "interfaces/audio/audio_format.h"

namespace vk2 {

inline bool IsEffectFormat(const AudioFormat& f) {
  if (!IsPcm(f) || f.channels == 0 || f.sampleRate == 0) return false;
  if (f.isFloat) return f.bitsPerSample == 32 || f.bitsPerSample == 64;
  return f.bitsPerSample == 8 || f.bitsPerSample == 16;
}

// How a buffer of such a format is read and written.
enum class EffectSampleKind { kS8, kU8, kS16, kU16, kF32, kF64 };

inline EffectSampleKind SampleKindOf(const AudioFormat& f) {
  if (f.isFloat) return f.bitsPerSample == 64 ? EffectSampleKind::kF64 : EffectSampleKind::kF32;
  if (f.bitsPerSample == 8) return f.isSigned ? EffectSampleKind::kS8 : EffectSampleKind::kU8;
  return f.isSigned ? EffectSampleKind::kS16 : EffectSampleKind::kU16;
}

}  // namespace vk2
