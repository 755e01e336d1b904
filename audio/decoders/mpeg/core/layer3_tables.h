#pragma once
// Constant tables of layer III decoding, built once per process.
#include <cstdint>

namespace vk2 {

struct MpegLayer3Tables {
  static constexpr int kPow43Size = 8207;  // |x| up to 15 + 2^13 - 1
  static constexpr int kGainOffset = 400;  // gain[q + offset] = 2^(q / 4)
  float pow43[kPow43Size];
  float gain[kGainOffset + 64];
  // Scale-factor band boundaries by sample-rate group (0-8: 44.1, 48, 32, 22.05, 24, 16, 11.025,
  // 12, 8 kHz): 23 long and 14 short boundaries.
  int16_t longBands[9][23];
  int16_t shortBands[9][14];
  float imdctWindow[4][36];  // block types 0-3 (type 2: the 12-point window in the first 12)
  float aliasCs[8], aliasCa[8];
  float isRatioLeft[7], isRatioRight[7];  // MPEG-1 intensity positions 0-6
  float lsfIsRatio[2][32];                // MPEG-2: [intensity_scale][is_pos] for the louder side
  // Huffman decoding tables: 8-bit first level, second level per prefix.
  // Entry: leaf (length << 8 | x << 4 | y), or 0x80000000 | bits << 24 | offset.
  const uint32_t* huffman[34];
  int linbits[32];
};

const MpegLayer3Tables& Layer3Tables();

}  // namespace vk2
