// Format questions answered for the wave decoder: what a format tag is called, how a format
// reads as text, and which PCM format a source converts to.
#pragma once

#include <string>

#include "platform/audio/acm/acm_types.h"
#include "platform/audio/wave_format.h"

namespace vk2 {

// The name of a format tag ("PCM", "IMA ADPCM", ...). kAcmErrNotPossible when nothing here
// decodes it.
int32_t AcmFormatTagDetails(uint16_t formatTag, std::string* name);
// "IMA ADPCM, 44100 Hz, 4-bit, stereo".
int32_t AcmFormatDetails(const WaveFormat& format, std::string* text);
// The PCM format `source` converts to: same rate and channels; PCM sources keep their width,
// everything else becomes 16-bit. Fields of `destination` named by the kAcmSuggest flags are
// requirements (a tag of 3 asks for 32-bit float). kAcmErrNotPossible when it cannot be done.
int32_t AcmFormatSuggest(const WaveFormat& source, WaveFormat* destination, uint32_t flags);

// Whether a decoder exists for the format (PCM, float, or a libavcodec decoder for its tag).
bool AcmCanDecode(const WaveFormat& format);

}  // namespace vk2
