// Result codes, flags and the buffer description of the DirectSound stand-in.
#pragma once

#include <cstdint>

#include "platform/audio/sink/pcm_sink.h"
#include "platform/audio/wave_format.h"

namespace vk2 {

inline constexpr int32_t kDsOk = 0;
inline constexpr int32_t kDsErrGeneric = -1;
inline constexpr int32_t kDsErrOutOfMemory = -3;
inline constexpr int32_t kDsErrInvalidParam = -0x57;
inline constexpr int32_t kDsErrInvalidCall = -0x32;
inline constexpr int32_t kDsErrBadFormat = -0x64;
inline constexpr int32_t kDsErrNoDriver = -0x78;
inline constexpr int32_t kDsErrBufferLost = -0x96;

// Lock flags.
inline constexpr uint32_t kDsLockFromWriteCursor = 0x1;
inline constexpr uint32_t kDsLockEntireBuffer = 0x2;
// Play flags.
inline constexpr uint32_t kDsPlayLooping = 0x1;
// Status bits.
inline constexpr uint32_t kDsStatusPlaying = 0x1;
inline constexpr uint32_t kDsStatusBufferLost = 0x2;
inline constexpr uint32_t kDsStatusLooping = 0x4;

// Volume in hundredths of a decibel, pan likewise (positive: the left channel is lowered).
inline constexpr int32_t kDsVolumeMin = -10000;
inline constexpr int32_t kDsVolumeMax = 0;
inline constexpr int32_t kDsPanLeft = -10000;
inline constexpr int32_t kDsPanRight = 10000;

inline constexpr uint32_t kDsBufferMinBytes = 4;
inline constexpr uint32_t kDsBufferMaxBytes = 0x0FFFFFFF;

struct DsBufferDesc {
  uint32_t flags = 0;  // capability bits; kept, not interpreted
  uint32_t bufferBytes = 0;
  WaveFormat format;
};

}  // namespace vk2
