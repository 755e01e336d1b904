#include "audio/decoders/mpeg/core/layer12_tables.h"

#include <cmath>
#include <initializer_list>
#include <utility>

namespace vk2 {

namespace {

struct ScaleFactors {
  float values[64];
  ScaleFactors() {
    for (int i = 0; i < 63; ++i)
      values[i] = static_cast<float>(std::pow(2.0, 1.0 - i / 3.0));
    values[63] = -1.0f;
  }
};

MpegLayer2Class MakeClass(int levels) {
  MpegLayer2Class c{};
  c.levels = levels;
  int nb = 0;
  while ((1 << nb) <= levels)
    ++nb;  // 3 -> 2, 5 -> 3, 7 -> 3, 9 -> 4, 2^n - 1 -> n
  c.grouped = levels == 3 || levels == 5 || levels == 9;
  c.bits = levels == 3 ? 5 : levels == 5 ? 7 : levels == 9 ? 10 : nb;
  c.c = static_cast<float>(std::ldexp(1.0, nb) / levels);
  c.d = c.grouped ? 0.5f : static_cast<float>(std::ldexp(1.0, 1 - nb));
  return c;
}

// Class lists (levels by allocation value 1..15) of the standards' tables.
constexpr int kListAb0[15] = {3,    7,    15,   31,   63,    127,   255,  511,
                              1023, 2047, 4095, 8191, 16383, 32767, 65535};
constexpr int kListAb1[15] = {3, 5, 7, 9, 15, 31, 63, 127, 255, 511, 1023, 2047, 4095, 8191, 65535};
constexpr int kListAb2[7] = {3, 5, 7, 9, 15, 31, 65535};
constexpr int kListAb3[3] = {3, 5, 65535};
constexpr int kListCd0[15] = {3,   5,    9,    15,   31,   63,    127,  255,
                              511, 1023, 2047, 4095, 8191, 16383, 32767};
constexpr int kListCd1[7] = {3, 5, 9, 15, 31, 63, 127};
constexpr int kListLsf0[15] = {3,   5,   7,    9,    15,   31,   63,   127,
                               255, 511, 1023, 2047, 4095, 8191, 16383};
constexpr int kListLsf1[7] = {3, 5, 9, 15, 31, 63, 127};
constexpr int kListLsf2[3] = {3, 5, 9};

struct ClassList {
  const MpegLayer2Class* entries[16] = {};
};

struct Tables {
  MpegLayer2Class classes[20];
  int classCount = 0;
  ClassList lists[9];
  MpegLayer2AllocationTable tables[5];

  const MpegLayer2Class* ClassOf(int levels) {
    for (int i = 0; i < classCount; ++i)
      if (classes[i].levels == levels) return &classes[i];
    classes[classCount] = MakeClass(levels);
    return &classes[classCount++];
  }
  void Fill(ClassList& list, const int* levels, int count) {
    for (int i = 0; i < count; ++i)
      list.entries[i + 1] = ClassOf(levels[i]);
  }
  // Subband ranges of one table: [end, bits, list] triples.
  void Define(MpegLayer2AllocationTable& t, int sblimit,
              std::initializer_list<std::pair<int, std::pair<int, int>>> ranges) {
    t.sblimit = sblimit;
    int sb = 0;
    for (const auto& r : ranges) {
      for (; sb < r.first; ++sb) {
        t.allocationBits[sb] = static_cast<uint8_t>(r.second.first);
        t.classes[sb] = lists[r.second.second].entries;
      }
    }
    for (; sb < 32; ++sb) {
      t.allocationBits[sb] = 0;
      t.classes[sb] = nullptr;
    }
  }
  Tables() {
    Fill(lists[0], kListAb0, 15);
    Fill(lists[1], kListAb1, 15);
    Fill(lists[2], kListAb2, 7);
    Fill(lists[3], kListAb3, 3);
    Fill(lists[4], kListCd0, 15);
    Fill(lists[5], kListCd1, 7);
    Fill(lists[6], kListLsf0, 15);
    Fill(lists[7], kListLsf1, 7);
    Fill(lists[8], kListLsf2, 3);
    Define(tables[0], 27, {{3, {4, 0}}, {11, {4, 1}}, {23, {3, 2}}, {27, {2, 3}}});
    Define(tables[1], 30, {{3, {4, 0}}, {11, {4, 1}}, {23, {3, 2}}, {30, {2, 3}}});
    Define(tables[2], 8, {{2, {4, 4}}, {8, {3, 5}}});
    Define(tables[3], 12, {{2, {4, 4}}, {12, {3, 5}}});
    Define(tables[4], 30, {{4, {4, 6}}, {11, {3, 7}}, {30, {2, 8}}});
  }
};

const Tables& AllTables() {
  static const Tables tables;
  return tables;
}

// Table choice for MPEG-1 by sample rate, mono, bit-rate index.
constexpr uint8_t kChoice[3][2][16] = {{{0, 2, 2, 2, 2, 2, 2, 0, 0, 0, 1, 1, 1, 1, 1, 0},
                                        {0, 2, 2, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}},
                                       {{0, 2, 2, 2, 2, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                                        {0, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
                                       {{0, 3, 3, 3, 3, 3, 3, 0, 0, 0, 1, 1, 1, 1, 1, 0},
                                        {0, 3, 3, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0}}};

}  // namespace

const float* MpegLayer2Degroup(int levels) {
  struct Degroup {
    float v3[27][3], v5[125][3], v9[729][3];
    static void Fill(float (*out)[3], int levels) {
      for (int code = 0; code < levels * levels * levels; ++code) {
        int rest = code;
        for (int i = 0; i < 3; ++i) {
          out[code][i] = static_cast<float>(2 * (rest % levels) - (levels - 1)) / levels;
          rest /= levels;
        }
      }
    }
    Degroup() {
      Fill(v3, 3);
      Fill(v5, 5);
      Fill(v9, 9);
    }
  };
  static const Degroup tables;
  return levels == 3 ? &tables.v3[0][0] : levels == 5 ? &tables.v5[0][0] : &tables.v9[0][0];
}

const float* MpegLayer12ScaleFactors() {
  static const ScaleFactors factors;
  return factors.values;
}

const MpegLayer2AllocationTable& MpegLayer2Table(int index) {
  return AllTables().tables[index];
}

int MpegLayer2TableFor(int sampleRateIndex, int channels, int bitrateIndex) {
  return kChoice[sampleRateIndex][channels == 1 ? 1 : 0][bitrateIndex & 15];
}

}  // namespace vk2
