#pragma once
#include <cstdint>

namespace vk2 {

struct MpegHuffmanCodes {
  const uint32_t* codes;  // code | length << 20
  int size;               // values per axis (count1 tables: 4 bits of v w x y, size 4)
};

// The code words of big-value table 1..24 (those with codes: 1-3, 5-13, 15, 16, 24) and of the
// count1 tables 32 (A) and 33 (B); {nullptr, 0} for the rest.
MpegHuffmanCodes MpegLayer3HuffmanCodes(int table);

}  // namespace vk2
