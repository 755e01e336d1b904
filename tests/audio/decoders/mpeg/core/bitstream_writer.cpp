#include "tests/audio/decoders/mpeg/core/bitstream_writer.h"

#include <algorithm>
#include <random>

#include "audio/decoders/mpeg/core/frame_header.h"
#include "audio/decoders/mpeg/core/layer12_tables.h"
#include "audio/decoders/mpeg/core/layer3_huffman_codes.h"
#include "audio/decoders/mpeg/core/layer3_tables.h"

namespace vk2::mpegtest {

namespace {

class BitWriter {
 public:
  void Put(uint32_t value, int bits) {
    for (int i = bits - 1; i >= 0; --i) {
      if (bit_ == 0) bytes_.push_back(0);
      if ((value >> i) & 1) bytes_.back() |= static_cast<uint8_t>(0x80 >> bit_);
      bit_ = (bit_ + 1) & 7;
      ++count_;
    }
  }
  size_t Bits() const { return count_; }
  std::vector<uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
  int bit_ = 0;
  size_t count_ = 0;
};

uint32_t Header(const WriterOptions& o, int layer, int padding = 0) {
  uint32_t versionBits = o.version == 0 ? 3 : 2;
  uint32_t h = 0x7FFu << 21;
  h |= versionBits << 19;
  h |= static_cast<uint32_t>(4 - layer) << 17;
  h |= 1u << 16;  // no CRC
  h |= static_cast<uint32_t>(o.bitrateIndex) << 12;
  h |= static_cast<uint32_t>(o.sampleRateIndex) << 10;
  h |= static_cast<uint32_t>(padding) << 9;
  h |= static_cast<uint32_t>(o.mode) << 6;
  h |= static_cast<uint32_t>(o.modeExtension) << 4;
  h |= 1u << 2;  // original
  return h;
}

// Appends one frame: header, payload, zero fill to the frame length.
void Finish(std::vector<uint8_t>& out, uint32_t header, BitWriter& payload, int frameLength) {
  for (int i = 3; i >= 0; --i)
    out.push_back(static_cast<uint8_t>(header >> (8 * i)));
  std::vector<uint8_t>& bytes = payload.Bytes();
  bytes.resize(static_cast<size_t>(frameLength - 4), 0);
  out.insert(out.end(), bytes.begin(), bytes.end());
}

int FrameLength(const WriterOptions& o, int layer) {
  MpegFrameHeader h;
  ParseMpegHeader(Header(o, layer), h);
  return h.frameLength;
}

}  // namespace

std::vector<uint8_t> WriteLayer1(const WriterOptions& o) {
  std::mt19937 random(o.seed);
  const int channels = o.mode == 3 ? 1 : 2;
  const int bound = o.mode == 1 ? 4 * (o.modeExtension + 1) : 32;
  const int length = FrameLength(o, 1);
  const size_t budget = static_cast<size_t>(length - 4) * 8;
  std::vector<uint8_t> out;
  for (int f = 0; f < o.frames; ++f) {
    int allocation[2][32] = {};
    int scale[2][32] = {};
    // Random allocations in the lower subbands, thinned until the frame holds them.
    int top = 8 + static_cast<int>(random() % 16);
    for (int sb = 0; sb < top; ++sb)
      for (int ch = 0; ch < channels; ++ch)
        allocation[ch][sb] = 1 + static_cast<int>(random() % 10);
    for (int sb = bound; sb < 32; ++sb)
      allocation[1][sb] = allocation[0][sb];
    auto bits = [&] {
      size_t n = 0;
      for (int sb = 0; sb < 32; ++sb) {
        n += sb < bound ? 4u * channels : 4u;
        for (int ch = 0; ch < channels; ++ch)
          if (allocation[ch][sb]) n += 6;
        int width = 0;
        for (int ch = 0; ch < channels; ++ch)
          if (allocation[ch][sb] && (sb < bound || ch == 0)) width += allocation[ch][sb] + 1;
        n += 12u * static_cast<size_t>(width);
      }
      return n;
    };
    while (bits() > budget) {
      int sb = static_cast<int>(random() % 32), ch = static_cast<int>(random() % channels);
      if (sb >= bound) ch = 0;
      if (allocation[ch][sb] > 0) --allocation[ch][sb];
      if (sb >= bound && channels == 2) allocation[1][sb] = allocation[0][sb];
    }
    for (int sb = 0; sb < 32; ++sb)
      for (int ch = 0; ch < channels; ++ch)
        scale[ch][sb] = 12 + static_cast<int>(random() % 30);
    BitWriter w;
    for (int sb = 0; sb < 32; ++sb)
      for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch)
        w.Put(static_cast<uint32_t>(allocation[ch][sb]), 4);
    for (int sb = 0; sb < 32; ++sb)
      for (int ch = 0; ch < channels; ++ch)
        if (allocation[ch][sb]) w.Put(static_cast<uint32_t>(scale[ch][sb]), 6);
    for (int t = 0; t < 12; ++t)
      for (int sb = 0; sb < 32; ++sb)
        for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch) {
          int nb = allocation[ch][sb] + 1;
          if (nb == 1) continue;
          w.Put(static_cast<uint32_t>(random() % ((1u << nb) - 1)), nb);  // never all ones
        }
    Finish(out, Header(o, 1), w, length);
  }
  return out;
}

std::vector<uint8_t> WriteLayer2(const WriterOptions& o) {
  std::mt19937 random(o.seed);
  const int channels = o.mode == 3 ? 1 : 2;
  const int tableIndex =
      o.version != 0 ? 4 : MpegLayer2TableFor(o.sampleRateIndex, channels, o.bitrateIndex);
  const MpegLayer2AllocationTable& table = MpegLayer2Table(tableIndex);
  const int sblimit = table.sblimit;
  const int bound = std::min(o.mode == 1 ? 4 * (o.modeExtension + 1) : 32, sblimit);
  const int length = FrameLength(o, 2);
  const size_t budget = static_cast<size_t>(length - 4) * 8;
  std::vector<uint8_t> out;
  for (int f = 0; f < o.frames; ++f) {
    int allocation[2][32] = {};
    int scfsi[2][32] = {};
    for (int sb = 0; sb < sblimit; ++sb)
      for (int ch = 0; ch < channels; ++ch) {
        int most = (1 << table.allocationBits[sb]) - 1;
        allocation[ch][sb] = static_cast<int>(random() % (most + 1));
        scfsi[ch][sb] = static_cast<int>(random() % 4);
      }
    auto shared = [&](int sb, int ch) { return sb >= bound && ch == 1; };
    for (int sb = bound; sb < sblimit; ++sb)
      allocation[1][sb] = allocation[0][sb];
    const int kScaleCount[4] = {3, 2, 1, 2};
    auto bits = [&] {
      size_t n = 0;
      for (int sb = 0; sb < sblimit; ++sb) {
        n += static_cast<size_t>(table.allocationBits[sb]) * (sb < bound ? channels : 1);
        for (int ch = 0; ch < channels; ++ch) {
          if (!allocation[ch][sb]) continue;
          n += 2 + 6u * static_cast<size_t>(kScaleCount[scfsi[ch][sb]]);
          if (shared(sb, ch)) continue;
          const MpegLayer2Class& c = *table.classes[sb][allocation[ch][sb]];
          n += 12u * static_cast<size_t>(c.grouped ? c.bits : 3 * c.bits);
        }
      }
      return n;
    };
    while (bits() > budget) {
      int sb = static_cast<int>(random() % static_cast<unsigned>(sblimit));
      for (int ch = 0; ch < channels; ++ch)
        if (allocation[ch][sb] > 0) allocation[ch][sb] /= 2;
      if (sb >= bound && channels == 2) allocation[1][sb] = allocation[0][sb];
    }
    BitWriter w;
    for (int sb = 0; sb < sblimit; ++sb)
      for (int ch = 0; ch < (sb < bound ? channels : 1); ++ch)
        w.Put(static_cast<uint32_t>(allocation[ch][sb]), table.allocationBits[sb]);
    for (int sb = 0; sb < sblimit; ++sb)
      for (int ch = 0; ch < channels; ++ch)
        if (allocation[ch][sb]) w.Put(static_cast<uint32_t>(scfsi[ch][sb]), 2);
    for (int sb = 0; sb < sblimit; ++sb)
      for (int ch = 0; ch < channels; ++ch)
        if (allocation[ch][sb])
          for (int i = 0; i < kScaleCount[scfsi[ch][sb]]; ++i)
            w.Put(12 + random() % 30, 6);
    for (int gr = 0; gr < 12; ++gr)
      for (int sb = 0; sb < sblimit; ++sb)
        for (int ch = 0; ch < channels; ++ch) {
          if (!allocation[ch][sb] || shared(sb, ch)) continue;
          const MpegLayer2Class& c = *table.classes[sb][allocation[ch][sb]];
          uint32_t levels = static_cast<uint32_t>(c.levels);
          if (c.grouped) {
            w.Put(random() % (levels * levels * levels), c.bits);
          } else {
            for (int i = 0; i < 3; ++i)
              w.Put(random() % levels, c.bits);  // never all ones
          }
        }
    Finish(out, Header(o, 2), w, length);
  }
  return out;
}

namespace {

// Layer III content of one granule and channel, before coding.
struct Granule {
  int values[576] = {};
  int longScale[22] = {};
  int shortScale[13][3] = {};
  int bigValues = 0;
  int globalGain = 170;
  int scalefacCompress = 0;
  int subblockGain[3] = {};
  std::vector<uint8_t> part23;  // written later
  size_t part23Bits = 0;
};

void PutPairs(BitWriter& w, const int* v, int count) {
  MpegHuffmanCodes codes = MpegLayer3HuffmanCodes(13);
  for (int i = 0; i < count; i += 2) {
    int x = std::abs(v[i]), y = std::abs(v[i + 1]);
    uint32_t code = codes.codes[x * 16 + y];
    w.Put(code & 0xFFFFF, static_cast<int>(code >> 20));
    if (x) w.Put(v[i] < 0, 1);
    if (y) w.Put(v[i + 1] < 0, 1);
  }
}

}  // namespace

std::vector<uint8_t> WriteLayer3(const WriterOptions& o) {
  std::mt19937 random(o.seed);
  const bool lsf = o.version != 0;
  const int channels = o.mode == 3 ? 1 : 2;
  const int granules = lsf ? 1 : 2;
  const bool intensity = o.mode == 1 && (o.modeExtension & 1);
  const bool shortBlocks = o.blockType == 2;
  const int group = (lsf ? 3 : 0) + o.sampleRateIndex;
  const MpegLayer3Tables& t = Layer3Tables();
  const int16_t* longBands = t.longBands[group];
  const int16_t* shortBands = t.shortBands[group];
  const int length = FrameLength(o, 3);
  const int sideLength = lsf ? (channels == 2 ? 17 : 9) : (channels == 2 ? 32 : 17);
  std::vector<uint8_t> out;
  for (int f = 0; f < o.frames; ++f) {
    Granule g[2][2];
    for (int gr = 0; gr < granules; ++gr) {
      for (int ch = 0; ch < channels; ++ch) {
        Granule& q = g[gr][ch];
        // The right channel of intensity stereo ends early; above, its scale factors are positions.
        int end =
            (intensity && ch == 1) ? (shortBlocks ? 3 * shortBands[4] : longBands[6]) : 3 * 64;
        for (int i = 0; i < end; ++i) {
          int span = i < 60 ? 9 : i < 120 ? 4 : 2;
          int v = static_cast<int>(random() % static_cast<unsigned>(span)) - span / 2;
          q.values[i] = v;
        }
        q.bigValues = end / 2;
        q.globalGain = 165 + static_cast<int>(random() % 10);
        int most = (intensity && ch == 1) ? (o.illegalIntensity ? 8 : 7) : 4;
        for (int& s : q.longScale)
          s = static_cast<int>(random() % static_cast<unsigned>(most));
        for (auto& s : q.shortScale)
          for (int& v : s)
            v = static_cast<int>(random() % static_cast<unsigned>(most));
        for (int& s : q.subblockGain)
          s = static_cast<int>(random() % 3);
      }
    }
    // Scale factors and Huffman data.
    BitWriter main;
    for (int gr = 0; gr < granules; ++gr) {
      for (int ch = 0; ch < channels; ++ch) {
        Granule& q = g[gr][ch];
        size_t start = main.Bits();
        if (!lsf) {
          q.scalefacCompress = 13;  // slen 3 and 3
          if (shortBlocks) {
            int sfb = 0;
            if (o.mixed) {
              for (; sfb < 8; ++sfb)
                main.Put(static_cast<uint32_t>(q.longScale[sfb]), 3);
              sfb = 3;
            }
            for (; sfb < 12; ++sfb)
              for (int w = 0; w < 3; ++w)
                main.Put(static_cast<uint32_t>(q.shortScale[sfb][w]), 3);
          } else {
            for (int sfb = 0; sfb < 21; ++sfb)
              main.Put(static_cast<uint32_t>(q.longScale[sfb]), 3);
          }
        } else {
          bool right = intensity && ch == 1;
          // slen 3 in every partition: table 0 for plain channels, table 3 for the intensity one.
          // The seed picks intensity_scale, so that both scales get written.
          int scale = static_cast<int>(o.seed & 1) ^ (o.modeExtension >> 1);
          q.scalefacCompress = right ? ((129 << 1) | scale) : ((3 * 5 + 3) << 4 | 3 << 2 | 3);
          static const int kPlain[3][4] = {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}};
          static const int kRight[3][4] = {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}};
          const int(*counts)[4] = right ? kRight : kPlain;
          int column = shortBlocks ? (o.mixed ? 2 : 1) : 0;
          int total = 0;
          for (int p = 0; p < 4; ++p)
            total += counts[column][p];
          std::vector<int> flat;
          if (!shortBlocks) {
            for (int sfb = 0; sfb < 21; ++sfb)
              flat.push_back(q.longScale[sfb]);
          } else {
            int sfb = 0;
            if (o.mixed) {
              for (; sfb < 6; ++sfb)
                flat.push_back(q.longScale[sfb]);
              sfb = 3;
            }
            for (; sfb < 12; ++sfb)
              for (int w = 0; w < 3; ++w)
                flat.push_back(q.shortScale[sfb][w]);
          }
          for (int i = 0; i < total; ++i)
            main.Put(static_cast<uint32_t>(flat[static_cast<size_t>(i)] & 7), 3);
          // What was written is what a decoder will see.
          if (!shortBlocks) {
            for (int sfb = 0; sfb < 21; ++sfb)
              q.longScale[sfb] = flat[static_cast<size_t>(sfb)] & 7;
          }
        }
        PutPairs(main, q.values, q.bigValues * 2);
        q.part23Bits = main.Bits() - start;
      }
    }
    // Side information.
    BitWriter side;
    side.Put(0, lsf ? 8 : 9);  // main_data_begin: every frame carries its own main data
    side.Put(0, lsf ? (channels == 1 ? 1 : 2) : (channels == 1 ? 5 : 3));
    if (!lsf)
      for (int ch = 0; ch < channels; ++ch)
        side.Put(0, 4);
    for (int gr = 0; gr < granules; ++gr) {
      for (int ch = 0; ch < channels; ++ch) {
        const Granule& q = g[gr][ch];
        side.Put(static_cast<uint32_t>(q.part23Bits), 12);
        side.Put(static_cast<uint32_t>(q.bigValues), 9);
        side.Put(static_cast<uint32_t>(q.globalGain), 8);
        side.Put(static_cast<uint32_t>(q.scalefacCompress), lsf ? 9 : 4);
        if (shortBlocks) {
          side.Put(1, 1);
          side.Put(2, 2);
          side.Put(o.mixed ? 1 : 0, 1);
          side.Put(13, 5);
          side.Put(13, 5);
          for (int w = 0; w < 3; ++w)
            side.Put(static_cast<uint32_t>(q.subblockGain[w]), 3);
        } else {
          side.Put(0, 1);
          for (int r = 0; r < 3; ++r)
            side.Put(13, 5);
          side.Put(7, 4);
          side.Put(7, 3);
        }
        if (!lsf) side.Put(0, 1);  // preflag
        side.Put(0, 1);            // scalefac_scale
        side.Put(0, 1);            // count1 table
      }
    }
    BitWriter payload;
    for (uint8_t b : side.Bytes())
      payload.Put(b, 8);
    payload.Bytes().resize(static_cast<size_t>(sideLength), 0);
    std::vector<uint8_t>& bytes = payload.Bytes();
    const std::vector<uint8_t>& m = main.Bytes();
    if (static_cast<int>(m.size()) > length - 4 - sideLength)
      return {};  // does not fit: a writer bug
    bytes.insert(bytes.end(), m.begin(), m.end());
    BitWriter whole;
    for (uint8_t b : bytes)
      whole.Put(b, 8);
    Finish(out, Header(o, 3), whole, length);
  }
  return out;
}

}  // namespace vk2::mpegtest
