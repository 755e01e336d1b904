#include "audio/decoders/mpeg/core/frame_header.h"

namespace vk2 {

namespace {

// kbit/s by [MPEG-1 / LSF][layer - 1][index].
constexpr int16_t kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};

constexpr int kSampleRates[3][3] = {
    {44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

}  // namespace

int MpegBitrate(int version, int layer, int index) {
  if (layer < 1 || layer > 3 || index < 0 || index > 15) return 0;
  return kBitrates[version == kMpeg1 ? 0 : 1][layer - 1][index] * 1000;
}

int MpegSampleRate(int version, int index) {
  if (version < 0 || version > 2 || index < 0 || index > 2) return 0;
  return kSampleRates[version][index];
}

bool IsMpegHeaderCandidate(uint32_t h) {
  if ((h & 0xFFE00000u) != 0xFFE00000u) return false;
  uint32_t versionBits = (h >> 19) & 3;
  uint32_t layerBits = (h >> 17) & 3;
  if (layerBits == 0) return false;
  if (versionBits == 1) return false;                    // reserved version
  if (versionBits == 0 && layerBits != 1) return false;  // MPEG-2.5 is layer III only
  uint32_t bitrateIndex = (h >> 12) & 15;
  if (bitrateIndex == 0 || bitrateIndex == 15) return false;  // free format is not supported
  if (((h >> 10) & 3) == 3) return false;
  return true;
}

bool ParseMpegHeader(uint32_t h, MpegFrameHeader& f, int previousEmphasis) {
  if (!IsMpegHeaderCandidate(h)) return false;
  uint32_t versionBits = (h >> 19) & 3;
  f.raw = h;
  f.version = versionBits == 3 ? kMpeg1 : versionBits == 2 ? kMpeg2 : kMpeg25;
  f.layer = 4 - static_cast<int>((h >> 17) & 3);
  f.crc = ((h >> 16) & 1) == 0;
  f.bitrateIndex = static_cast<int>((h >> 12) & 15);
  f.sampleRateIndex = static_cast<int>((h >> 10) & 3);
  f.padding = static_cast<int>((h >> 9) & 1);
  f.privateBit = static_cast<int>((h >> 8) & 1);
  f.mode = static_cast<int>((h >> 6) & 3);
  f.modeExtension = static_cast<int>((h >> 4) & 3);
  f.copyright = ((h >> 3) & 1) != 0;
  f.original = ((h >> 2) & 1) != 0;
  int emphasis = static_cast<int>(h & 3);
  f.emphasis = emphasis == 2 ? previousEmphasis : emphasis;
  f.channels = f.mode == 3 ? 1 : 2;
  f.bitrate = MpegBitrate(f.version, f.layer, f.bitrateIndex);
  f.sampleRate = MpegSampleRate(f.version, f.sampleRateIndex);
  bool lsf = f.version != kMpeg1;
  if (f.layer == 1) {
    f.samplesPerFrame = 384;
    f.frameLength = (12 * f.bitrate / f.sampleRate + f.padding) * 4;
  } else if (f.layer == 2) {
    f.samplesPerFrame = 1152;
    f.frameLength = 144 * f.bitrate / f.sampleRate + f.padding;
  } else {
    f.samplesPerFrame = lsf ? 576 : 1152;
    f.frameLength = (lsf ? 72 : 144) * f.bitrate / f.sampleRate + f.padding;
  }
  f.sideInfoLength = 0;
  if (f.layer == 3) {
    if (!lsf)
      f.sideInfoLength = f.channels == 2 ? 32 : 17;
    else
      f.sideInfoLength = f.channels == 2 ? 17 : 9;
  }
  // The only floor: the frame must hold its header, CRC word and side information.
  return f.frameLength >= 4 + (f.crc ? 2 : 0) + f.sideInfoLength + 1;
}

}  // namespace vk2
