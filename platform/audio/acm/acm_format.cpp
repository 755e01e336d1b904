#include "platform/audio/acm/acm_format.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstdio>

#include "platform/audio/acm/codec_map.h"

namespace vk2 {

namespace {

const char* KnownTagName(uint16_t tag) {
  switch (tag) {
    case kWaveFormatPcm:
      return "PCM";
    case kWaveFormatAdpcm:
      return "Microsoft ADPCM";
    case kWaveFormatIeeeFloat:
      return "IEEE Float";
    case kWaveFormatAlaw:
      return "A-Law";
    case kWaveFormatMulaw:
      return "u-Law";
    case kWaveFormatImaAdpcm:
      return "IMA ADPCM";
    case kWaveFormatGsm610:
      return "GSM 6.10";
    case kWaveFormatMpegLayer3:
      return "MPEG Layer-3";
    default:
      return nullptr;
  }
}

std::string ChannelText(uint32_t channels) {
  if (channels == 1) return "mono";
  if (channels == 2) return "stereo";
  return std::to_string(channels) + " channels";
}

}  // namespace

bool AcmCanDecode(const WaveFormat& format) {
  const int id = WaveCodecId(format);
  return id != AV_CODEC_ID_NONE && avcodec_find_decoder(static_cast<AVCodecID>(id)) != nullptr;
}

int32_t AcmFormatTagDetails(uint16_t formatTag, std::string* name) {
  if (!name) return kAcmErrInvalParam;
  WaveFormat probe;
  probe.formatTag = formatTag;
  probe.bitsPerSample = formatTag == kWaveFormatPcm || formatTag == kWaveFormatIeeeFloat ? 32 : 0;
  const int id = WaveCodecId(probe);
  const AVCodec* codec =
      id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(static_cast<AVCodecID>(id));
  if (!codec) return kAcmErrNotPossible;
  const char* known = KnownTagName(formatTag);
  *name = known ? known : codec->long_name ? codec->long_name : codec->name;
  return kAcmOk;
}

int32_t AcmFormatDetails(const WaveFormat& format, std::string* text) {
  if (!text) return kAcmErrInvalParam;
  std::string name;
  const uint16_t tag = EffectiveFormatTag(format);
  if (AcmFormatTagDetails(tag, &name) < 0) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", tag);
    name = std::string("Format ") + hex;
  }
  std::string out = name + ", " + std::to_string(format.samplesPerSec) + " Hz";
  if (format.bitsPerSample != 0) out += ", " + std::to_string(format.bitsPerSample) + "-bit";
  *text = out + ", " + ChannelText(format.channels);
  return kAcmOk;
}

int32_t AcmFormatSuggest(const WaveFormat& source, WaveFormat* destination, uint32_t flags) {
  if (!destination) return kAcmErrInvalParam;
  if (!AcmCanDecode(source) || source.channels == 0 || source.samplesPerSec == 0) {
    return kAcmErrNotPossible;
  }
  // No mixing or resampling here: channels and rate stay what the source has.
  if ((flags & kAcmSuggestChannels) && destination->channels != source.channels) {
    return kAcmErrNotPossible;
  }
  if ((flags & kAcmSuggestSamplesPerSec) && destination->samplesPerSec != source.samplesPerSec) {
    return kAcmErrNotPossible;
  }
  uint16_t tag = kWaveFormatPcm;
  if (flags & kAcmSuggestFormatTag) {
    tag = destination->formatTag;
    if (tag != kWaveFormatPcm && tag != kWaveFormatIeeeFloat) return kAcmErrNotPossible;
  }
  uint16_t bits;
  if (tag == kWaveFormatIeeeFloat) {
    bits = 32;
    if ((flags & kAcmSuggestBitsPerSample) && destination->bitsPerSample != 32) {
      return kAcmErrNotPossible;
    }
  } else if (flags & kAcmSuggestBitsPerSample) {
    bits = destination->bitsPerSample;
    if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return kAcmErrNotPossible;
  } else {
    const bool pcm = EffectiveFormatTag(source) == kWaveFormatPcm;
    bits = pcm ? source.bitsPerSample : 16;
  }
  PcmFormat pcm;
  pcm.sampleRate = source.samplesPerSec;
  pcm.channels = source.channels;
  pcm.bitsPerSample = bits;
  pcm.isFloat = tag == kWaveFormatIeeeFloat;
  if (!IsValidPcmFormat(pcm)) return kAcmErrNotPossible;
  *destination = PcmToWaveFormat(pcm);
  return kAcmOk;
}

}  // namespace vk2
