#pragma once
// Tables of layers I and II.
#include <cstdint>

namespace vk2 {

// Scale factors 2^(1 - i/3) for i < 63; entry 63 is -1.0 (layer II keeps it; layer I refuses it).
const float* MpegLayer12ScaleFactors();

// A layer II quantisation class.
struct MpegLayer2Class {
  int levels;    // 3 .. 65535
  int bits;      // code width: 5, 7, 10 for the grouped classes, else the sample width nb
  bool grouped;  // three samples in one code
  float c, d;    // requantisation: (code * 2^(1 - nb) - 1 + d) * c
};

// The three requantised values of each grouped code of 3, 5 or 9 levels (27, 125, 729 codes),
// sample 0 from the lowest base-L digit: value (2d - (L - 1)) / L.
const float* MpegLayer2Degroup(int levels);

// One layer II allocation table.
struct MpegLayer2AllocationTable {
  int sblimit;
  uint8_t allocationBits[32];
  // Class by subband and allocation value (1..15); levels 0 for values without a class.
  const MpegLayer2Class* const* classes[32];
};

// Table 0-3: MPEG-1 tables a, b, c, d; 4: the low sampling rate table of MPEG-2.
const MpegLayer2AllocationTable& MpegLayer2Table(int index);
// The MPEG-1 table for a sample-rate index, channel count and bit-rate index.
int MpegLayer2TableFor(int sampleRateIndex, int channels, int bitrateIndex);

}  // namespace vk2
