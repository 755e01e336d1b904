#include "audio/decoders/mpeg/core/layer3_tables.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "audio/decoders/mpeg/core/layer3_huffman_codes.h"

namespace vk2 {

namespace {

constexpr double kPi = 3.14159265358979323846;

constexpr int16_t kLong[9][23] = {{0,  4,  8,   12,  16,  20,  24,  30,  36,  44,  52, 62,
                                   74, 90, 110, 134, 162, 196, 238, 288, 342, 418, 576},
                                  {0,  4,  8,   12,  16,  20,  24,  30,  36,  42,  50, 60,
                                   72, 88, 106, 128, 156, 190, 230, 276, 330, 384, 576},
                                  {0,  4,   8,   12,  16,  20,  24,  30,  36,  44,  54, 66,
                                   82, 102, 126, 156, 194, 240, 296, 364, 448, 550, 576},
                                  {0,   6,   12,  18,  24,  30,  36,  44,  54,  66,  80, 96,
                                   116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
                                  {0,   6,   12,  18,  24,  30,  36,  44,  54,  66,  80, 96,
                                   114, 136, 162, 194, 232, 278, 332, 394, 464, 540, 576},
                                  {0,   6,   12,  18,  24,  30,  36,  44,  54,  66,  80, 96,
                                   116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
                                  {0,   6,   12,  18,  24,  30,  36,  44,  54,  66,  80, 96,
                                   116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
                                  {0,   6,   12,  18,  24,  30,  36,  44,  54,  66,  80, 96,
                                   116, 140, 168, 200, 238, 284, 336, 396, 464, 522, 576},
                                  {0,   12,  24,  36,  48,  60,  72,  88,  108, 132, 160, 192,
                                   232, 280, 336, 400, 476, 566, 568, 570, 572, 574, 576}};

constexpr int16_t kShort[9][14] = {{0, 4, 8, 12, 16, 22, 30, 40, 52, 66, 84, 106, 136, 192},
                                   {0, 4, 8, 12, 16, 22, 28, 38, 50, 64, 80, 100, 126, 192},
                                   {0, 4, 8, 12, 16, 22, 30, 42, 58, 78, 104, 138, 180, 192},
                                   {0, 4, 8, 12, 18, 24, 32, 42, 56, 74, 100, 132, 174, 192},
                                   {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 136, 180, 192},
                                   {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
                                   {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
                                   {0, 4, 8, 12, 18, 26, 36, 48, 62, 80, 104, 134, 174, 192},
                                   {0, 8, 16, 24, 36, 52, 72, 96, 124, 160, 162, 164, 166, 192}};

constexpr double kAliasC[8] = {-0.6, -0.535, -0.33, -0.185, -0.095, -0.041, -0.0142, -0.0037};

// Which code table and how many linbits each table_select value uses.
constexpr int kCodeTable[32] = {0,  1,  2,  3,  0,  5,  6,  7,  8,  9,  10, 11, 12, 13, 0,  15,
                                16, 16, 16, 16, 16, 16, 16, 16, 24, 24, 24, 24, 24, 24, 24, 24};
constexpr int kLinbits[32] = {0, 0, 0, 0, 0, 0, 0,  0,  0, 0, 0, 0, 0, 0, 0,  0,
                              1, 2, 3, 4, 6, 8, 10, 13, 4, 5, 6, 7, 8, 9, 11, 13};

struct HuffmanStore {
  std::vector<uint32_t> tables[34];
};

// Builds the two-level lookup of one code table.
std::vector<uint32_t> BuildLookup(const MpegHuffmanCodes& codes, bool quad) {
  constexpr int kFirst = 8;
  std::vector<uint32_t> table(1u << kFirst, 0);
  int count = codes.size * codes.size;
  // Longest code behind each first-level prefix decides that prefix's second-level size.
  int longest[1 << kFirst] = {};
  for (int i = 0; i < count; ++i) {
    int len = static_cast<int>(codes.codes[i] >> 20);
    uint32_t code = codes.codes[i] & 0xFFFFF;
    if (len > kFirst) {
      uint32_t prefix = code >> (len - kFirst);
      longest[prefix] = std::max(longest[prefix], len);
    }
  }
  for (int p = 0; p < (1 << kFirst); ++p) {
    if (longest[p] == 0) continue;
    int bits = longest[p] - kFirst;
    table[p] =
        0x80000000u | (static_cast<uint32_t>(bits) << 24) | static_cast<uint32_t>(table.size());
    table.resize(table.size() + (1u << bits), 0);
  }
  for (int i = 0; i < count; ++i) {
    int len = static_cast<int>(codes.codes[i] >> 20);
    uint32_t code = codes.codes[i] & 0xFFFFF;
    // Pairs carry x << 4 | y; count1 quadruples their v w x y nibble.
    uint32_t value = quad ? static_cast<uint32_t>(i)
                          : static_cast<uint32_t>((i / codes.size) << 4 | (i % codes.size));
    uint32_t leaf = (static_cast<uint32_t>(len) << 8) | value;
    if (len <= kFirst) {
      uint32_t first = code << (kFirst - len);
      for (uint32_t j = 0; j < (1u << (kFirst - len)); ++j)
        table[first + j] = leaf;
    } else {
      uint32_t prefix = code >> (len - kFirst);
      uint32_t node = table[prefix];
      int bits = static_cast<int>((node >> 24) & 31);
      uint32_t offset = node & 0xFFFFFF;
      uint32_t rest = code & ((1u << (len - kFirst)) - 1);
      uint32_t first = rest << (bits - (len - kFirst));
      for (uint32_t j = 0; j < (1u << (bits - (len - kFirst))); ++j)
        table[offset + first + j] = leaf;
    }
  }
  return table;
}

struct Builder {
  MpegLayer3Tables t;
  HuffmanStore store;
  Builder() {
    for (int i = 0; i < MpegLayer3Tables::kPow43Size; ++i)
      t.pow43[i] = static_cast<float>(std::pow(static_cast<double>(i), 4.0 / 3.0));
    for (int q = -MpegLayer3Tables::kGainOffset; q < 64; ++q)
      t.gain[q + MpegLayer3Tables::kGainOffset] = static_cast<float>(std::pow(2.0, q / 4.0));
    std::memcpy(t.longBands, kLong, sizeof kLong);
    std::memcpy(t.shortBands, kShort, sizeof kShort);
    for (int i = 0; i < 36; ++i)
      t.imdctWindow[0][i] = static_cast<float>(std::sin(kPi / 36 * (i + 0.5)));
    for (int i = 0; i < 36; ++i) {
      double w1 = i < 18   ? std::sin(kPi / 36 * (i + 0.5))
                  : i < 24 ? 1.0
                  : i < 30 ? std::sin(kPi / 12 * (i - 18 + 0.5))
                           : 0.0;
      double w3 = i < 6    ? 0.0
                  : i < 12 ? std::sin(kPi / 12 * (i - 6 + 0.5))
                  : i < 18 ? 1.0
                           : std::sin(kPi / 36 * (i + 0.5));
      t.imdctWindow[1][i] = static_cast<float>(w1);
      t.imdctWindow[3][i] = static_cast<float>(w3);
      t.imdctWindow[2][i] = i < 12 ? static_cast<float>(std::sin(kPi / 12 * (i + 0.5))) : 0.0f;
    }
    for (int i = 0; i < 8; ++i) {
      double sq = std::sqrt(1.0 + kAliasC[i] * kAliasC[i]);
      t.aliasCs[i] = static_cast<float>(1.0 / sq);
      t.aliasCa[i] = static_cast<float>(kAliasC[i] / sq);
    }
    for (int p = 0; p < 7; ++p) {
      if (p == 6) {
        t.isRatioLeft[p] = 1.0f;
        t.isRatioRight[p] = 0.0f;
        continue;
      }
      double k = std::tan(p * kPi / 12);
      t.isRatioLeft[p] = static_cast<float>(k / (1 + k));
      t.isRatioRight[p] = static_cast<float>(1 / (1 + k));
    }
    for (int scale = 0; scale < 2; ++scale)
      for (int p = 0; p < 32; ++p) {
        // i0^ceil(p / 2) with i0 = 2^(-1/4) for intensity_scale 0 and 2^(-1/2) for 1; that is
        // 2^(-(p + 1) / 8) and 2^(-(p + 1) / 4) over the odd positions.
        double divisor = scale ? 2.0 : 4.0;
        t.lsfIsRatio[scale][p] = static_cast<float>(std::pow(2.0, -((p + 1) / 2) / divisor));
      }
    for (int i = 0; i < 34; ++i) {
      t.huffman[i] = nullptr;
      int code = i < 32 ? kCodeTable[i] : i;
      MpegHuffmanCodes codes = MpegLayer3HuffmanCodes(code);
      if (codes.codes == nullptr) continue;
      store.tables[i] = BuildLookup(codes, i >= 32);
      t.huffman[i] = store.tables[i].data();
    }
    for (int i = 0; i < 32; ++i)
      t.linbits[i] = kLinbits[i];
  }
};

}  // namespace

const MpegLayer3Tables& Layer3Tables() {
  static const Builder builder;
  return builder.t;
}

}  // namespace vk2
