#pragma once
// MPEG audio frame header: validity test, fields and derived sizes.
#include <cstdint>

namespace vk2 {

enum MpegVersion : int { kMpeg1 = 0, kMpeg2 = 1, kMpeg25 = 2 };

struct MpegFrameHeader {
  uint32_t raw = 0;
  int version = kMpeg1;  // kMpeg1, kMpeg2, kMpeg25
  int layer = 3;         // 1, 2 or 3
  bool crc = false;
  int bitrateIndex = 0;
  int sampleRateIndex = 0;  // 0..2 within the version
  int padding = 0;
  int privateBit = 0;
  int mode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
  int modeExtension = 0;
  int channels = 2;
  bool copyright = false;
  bool original = false;
  int emphasis = 0;
  int bitrate = 0;      // bit/s
  int sampleRate = 0;   // Hz
  int frameLength = 0;  // bytes, header included
  int samplesPerFrame = 0;
  int sideInfoLength = 0;  // layer III only
  // Bytes after the header and the CRC word (side information included).
  int PayloadLength() const { return frameLength - 4 - (crc ? 2 : 0); }
  bool Lsf() const { return version != kMpeg1; }
  double DurationMs() const { return samplesPerFrame * 1000.0 / sampleRate; }
};

// Header bits that every frame of one stream shares: sync, version, layer, sample rate.
constexpr uint32_t kMpegStreamMask = 0xFFFE0C00u;

// True for a word that can start a frame (free format and reserved values refused).
bool IsMpegHeaderCandidate(uint32_t h);
// Parses a candidate; false for reserved values. `previousEmphasis` stands in for the reserved one.
bool ParseMpegHeader(uint32_t h, MpegFrameHeader& out, int previousEmphasis = 0);
// Bit rate in bit/s for a version, layer (1-3) and index; 0 for 0 and 15.
int MpegBitrate(int version, int layer, int index);
int MpegSampleRate(int version, int index);

}  // namespace vk2
