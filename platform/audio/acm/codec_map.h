// Which libavcodec decoder reads a wave format, and how the format's blocks are framed.
#pragma once

#include <cstdint>

#include "platform/audio/wave_format.h"

namespace vk2 {

// AVCodecID of the decoder for `format`, or 0 (AV_CODEC_ID_NONE) when none.
int WaveCodecId(const WaveFormat& format);
// Frames one block of `format` decodes to; 1 for PCM-like formats, 0 when not fixed.
uint32_t WaveFramesPerBlock(const WaveFormat& format);
// True for PCM-like formats whose blocks are single frames (PCM, float, A-law, mu-law).
bool IsFrameCodedFormat(const WaveFormat& format);

}  // namespace vk2
