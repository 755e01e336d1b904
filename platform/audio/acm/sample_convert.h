// Decoded samples (any libavcodec sample layout) to interleaved PCM of the destination format,
// with the rounding and clipping ffmpeg's own conversions use, so results compare bit for bit.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/audio/sink/pcm_format.h"

namespace vk2 {

// `sampleFormat` is an AVSampleFormat; `planes` holds one pointer per channel for planar
// layouts, else one. Appends frames x dst.BlockAlign() bytes to `out`. False for a layout it
// does not know.
bool ConvertDecodedSamples(int sampleFormat, const uint8_t* const* planes, int channels, int frames,
                           const PcmFormat& dst, std::vector<uint8_t>& out);

}  // namespace vk2
