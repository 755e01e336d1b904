#pragma once
// Shared by the MPEG fuzz targets: decode a byte stream to its end in every output form.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/decoders/mpeg/core/decoder_core.h"
#include "audio/decoders/mpeg/core/id3v1_tag.h"

namespace vk2::mpegfuzz {

inline void DecodeAll(const uint8_t* data, size_t size, unsigned selector) {
  MemoryByteSource source(data, size, (selector & 4) == 0);
  MpegSimdLevel level = (selector & 1) ? MpegSimdLevel::kPlain : MpegProcessSimdLevel();
  MpegDecoderCore core(source, level);
  alignas(64) float out[MpegLayerDecoder::kMaxFrameSamples];
  bool asFloat = (selector & 2) != 0;
  int frames = 0;
  for (;;) {
    if (core.NextFrame(frames == 0 ? MpegFrameParser::kDetectionSearchLimit : 0) != 0) break;
    // Now and then a frame without output, as format detection and seek priming do.
    int n = core.DecodeFrame((frames % 7) == 3 ? nullptr : out, asFloat);
    if (n > MpegLayerDecoder::kMaxFrameSamples) __builtin_trap();
    if (++frames == 40 && (selector & 8)) {
      core.Parser().TotalTimeEstimate();
      core.Parser().AverageBitrate();
      core.SeekToTime(static_cast<double>(selector) * 37.0);
    }
    if (frames > 2000) break;
  }
  if (size >= 128) ParseId3v1(data + size - 128, 128);
}

// Builds a stream of frames of one layer: two control bytes choose the header, the rest is cut
// into frame payloads.
inline std::vector<uint8_t> LayerStream(int layer, const uint8_t* data, size_t size) {
  std::vector<uint8_t> stream;
  if (size < 2) return stream;
  int version = data[0] & 3;
  if (version == 3 || (version == 2 && layer != 3)) version = 1;
  uint32_t versionBits = version == 0 ? 3 : version == 1 ? 2 : 0;
  uint32_t rate = (data[0] >> 2) & 3;
  if (rate == 3) rate = 0;
  uint32_t bitrate = data[1] & 15;
  if (bitrate == 0) bitrate = 1;
  if (bitrate == 15) bitrate = 14;
  bool crc = (data[1] & 16) != 0;
  uint32_t h = (0x7FFu << 21) | (versionBits << 19) | (static_cast<uint32_t>(4 - layer) << 17) |
               ((crc ? 0u : 1u) << 16) | (bitrate << 12) | (rate << 10) |
               (static_cast<uint32_t>((data[0] >> 4) & 15) << 4);
  MpegFrameHeader header;
  if (!ParseMpegHeader(h, header)) return stream;
  size_t payload = static_cast<size_t>(header.frameLength - 4);
  data += 2;
  size -= 2;
  for (size_t at = 0; at < size || stream.empty(); at += payload) {
    for (int i = 3; i >= 0; --i)
      stream.push_back(static_cast<uint8_t>(h >> (8 * i)));
    for (size_t i = 0; i < payload; ++i)
      stream.push_back(at + i < size ? data[at + i] : 0);
    if (stream.size() > (1u << 20)) break;
  }
  return stream;
}

}  // namespace vk2::mpegfuzz
