// Format records as counted heap objects, made by every module that hands formats out.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_format.h"

namespace vk2 {

// A new record; null when memory runs out.
RefPtr<AudioFormat> MakeFormat(const Guid& type, uint32_t sampleRate, uint32_t channels,
                               uint32_t bitsPerSample, bool isFloat, bool isSigned);
// Linear samples: signed integers unless `isFloat` (then 32-bit float), or unsigned 8-bit.
RefPtr<AudioFormat> MakePcmFormat(uint32_t sampleRate, uint32_t channels, uint32_t bitsPerSample,
                                  bool isFloat = false, bool isSigned = true);
RefPtr<AudioFormat> MakeByteStreamFormat();
RefPtr<AudioFormat> CopyFormat(const AudioFormat& format);

}  // namespace vk2
