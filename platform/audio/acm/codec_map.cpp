#include "platform/audio/acm/codec_map.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace vk2 {

int WaveCodecId(const WaveFormat& format) {
  const uint16_t tag = EffectiveFormatTag(format);
  switch (tag) {
    case kWaveFormatPcm:
      switch (format.bitsPerSample) {
        case 8:
          return AV_CODEC_ID_PCM_U8;
        case 16:
          return AV_CODEC_ID_PCM_S16LE;
        case 24:
          return AV_CODEC_ID_PCM_S24LE;
        case 32:
          return AV_CODEC_ID_PCM_S32LE;
        default:
          return AV_CODEC_ID_NONE;
      }
    case kWaveFormatIeeeFloat:
      return format.bitsPerSample == 32   ? AV_CODEC_ID_PCM_F32LE
             : format.bitsPerSample == 64 ? AV_CODEC_ID_PCM_F64LE
                                          : AV_CODEC_ID_NONE;
    case kWaveFormatAlaw:
      return AV_CODEC_ID_PCM_ALAW;
    case kWaveFormatMulaw:
      return AV_CODEC_ID_PCM_MULAW;
    default: {
      const AVCodecTag* const tables[] = {avformat_get_riff_audio_tags(), nullptr};
      return av_codec_get_id(tables, tag);
    }
  }
}

bool IsFrameCodedFormat(const WaveFormat& format) {
  const uint16_t tag = EffectiveFormatTag(format);
  return tag == kWaveFormatPcm || tag == kWaveFormatIeeeFloat || tag == kWaveFormatAlaw ||
         tag == kWaveFormatMulaw;
}

uint32_t WaveFramesPerBlock(const WaveFormat& format) {
  if (IsFrameCodedFormat(format)) return 1;
  const uint32_t ch = format.channels;
  const uint32_t align = format.blockAlign;
  if (ch == 0 || align == 0) return 0;
  switch (EffectiveFormatTag(format)) {
    case kWaveFormatImaAdpcm:
      // Per channel: a 4-byte header holding the first sample, then 4-bit codes.
      if (format.bitsPerSample != 4 || align < 4 * ch) return 0;
      return (align - 4 * ch) * 8 / (4 * ch) + 1;
    case kWaveFormatAdpcm:
      // Per channel: a 7-byte header holding two samples, then 4-bit codes.
      if (format.bitsPerSample != 4 || align < 7 * ch) return 0;
      return (align - 7 * ch) * 2 / ch + 2;
    case kWaveFormatGsm610:
      // Two 160-sample frames in 65 bytes.
      return ch == 1 && align == 65 ? 320 : 0;
    default:
      return 0;
  }
}

}  // namespace vk2
