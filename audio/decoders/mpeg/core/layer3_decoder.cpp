#include "audio/decoders/mpeg/core/layer3_decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vk2 {

namespace {

constexpr size_t kKeep = 1024;      // main_data_begin reaches back at most 511 bytes
constexpr size_t kMaxFrame = 2048;  // main data of one frame (a 320 kbit/s frame at 32 kHz is 1441)
constexpr size_t kPadding = 4096;   // zeros behind the data: a damaged granule may read past it
constexpr int kStride = 18;

constexpr uint8_t kSlen[2][16] = {{0, 0, 0, 0, 3, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4},
                                  {0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 2, 3}};
constexpr uint8_t kPretab[22] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 3, 3, 3, 2, 0};
// Scale factors per partition by table, and by long / short / mixed blocks.
constexpr uint8_t kLsfBands[6][3][4] = {{{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},
                                        {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
                                        {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}},
                                        {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
                                        {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},
                                        {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}}};
constexpr float kInvSqrt2 = 0.70710678118654752f;

// Position in the reordered layout of line k (within its window) of window w in short band s.
inline int ShortIndex(int freq, int w) {
  return (freq / 6) * 18 + (freq % 6) * 3 + w;
}

}  // namespace

MpegLayer3Decoder::MpegLayer3Decoder(MpegFrameParser& parser, MpegFrameStream& reader,
                                     MpegSynthesisFilter& synthesis)
    : MpegLayerDecoder(parser, reader, synthesis),
      tables_(Layer3Tables()),
      kernels_(MpegKernelsFor(synthesis.Level())),
      reservoir_(kKeep + kMaxFrame + kPadding, 0) {
  Reset();
}

void MpegLayer3Decoder::Reset() {
  fill_ = 0;
  complete_ = false;
  std::memset(overlap_, 0, sizeof overlap_);
  std::memset(scalefacLong_, 0, sizeof scalefacLong_);
  std::memset(scalefacShort_, 0, sizeof scalefacShort_);
  synthesis_.Reset();
}

bool MpegLayer3Decoder::ReadSideInfo(const MpegFrameHeader& h, BitReader r, MpegSideInfo& s) {
  const bool lsf = h.Lsf();
  const int channels = h.channels;
  s.mainDataBegin = static_cast<int>(r.Get(lsf ? 8 : 9));
  s.privateBits = static_cast<int>(r.Get(lsf ? (channels == 1 ? 1 : 2) : (channels == 1 ? 5 : 3)));
  if (!lsf)
    for (int ch = 0; ch < channels; ++ch)
      for (int g = 0; g < 4; ++g)
        s.scfsi[ch][g] = static_cast<int>(r.Get(1));
  const int granules = lsf ? 1 : 2;
  for (int gr = 0; gr < granules; ++gr) {
    for (int ch = 0; ch < channels; ++ch) {
      MpegGranuleChannel& g = s.granule[gr][ch];
      g = MpegGranuleChannel{};
      g.part23Length = static_cast<int>(r.Get(12));
      g.bigValues = static_cast<int>(r.Get(9));
      g.globalGain = static_cast<int>(r.Get(8));
      g.scalefacCompress = static_cast<int>(r.Get(lsf ? 9 : 4));
      g.windowSwitching = r.Get(1) != 0;
      if (g.windowSwitching) {
        g.blockType = static_cast<int>(r.Get(2));
        g.mixed = r.Get(1) != 0;
        g.tableSelect[0] = static_cast<int>(r.Get(5));
        g.tableSelect[1] = static_cast<int>(r.Get(5));
        for (int w = 0; w < 3; ++w)
          g.subblockGain[w] = static_cast<int>(r.Get(3));
        g.region0Count = g.blockType == 2 && !g.mixed ? 8 : 7;
        g.region1Count = 20 - g.region0Count;
        if (g.blockType == 0) return false;  // window switching needs a switching block type
      } else {
        for (int i = 0; i < 3; ++i)
          g.tableSelect[i] = static_cast<int>(r.Get(5));
        g.region0Count = static_cast<int>(r.Get(4));
        g.region1Count = static_cast<int>(r.Get(3));
      }
      if (!lsf) g.preflag = static_cast<int>(r.Get(1));
      g.scalefacScale = static_cast<int>(r.Get(1));
      g.count1Table = static_cast<int>(r.Get(1));
      if (g.bigValues > 288) return false;
    }
  }
  return r.Position() <= static_cast<uint64_t>(h.sideInfoLength) * 8;
}

void MpegLayer3Decoder::ReadScalefactorsMpeg1(BitReader& bits, const MpegGranuleChannel& gc, int ch,
                                              int gr) {
  const int slen1 = kSlen[0][gc.scalefacCompress];
  const int slen2 = kSlen[1][gc.scalefacCompress];
  int* sl = scalefacLong_[ch];
  int(*ss)[3] = scalefacShort_[ch];
  if (gc.blockType == 2) {
    int sfb = 0;
    if (gc.mixed) {
      for (; sfb < 8; ++sfb)
        sl[sfb] = static_cast<int>(bits.Get(slen1));
      sfb = 3;
    }
    for (; sfb < 6; ++sfb)
      for (int w = 0; w < 3; ++w)
        ss[sfb][w] = static_cast<int>(bits.Get(slen1));
    for (; sfb < 12; ++sfb)
      for (int w = 0; w < 3; ++w)
        ss[sfb][w] = static_cast<int>(bits.Get(slen2));
    ss[12][0] = ss[12][1] = ss[12][2] = 0;
    return;
  }
  static constexpr int kGroups[5] = {0, 6, 11, 16, 21};
  for (int g = 0; g < 4; ++g) {
    if (gr == 1 && side_.scfsi[ch][g]) continue;  // shared with the first granule
    int slen = g < 2 ? slen1 : slen2;
    for (int sfb = kGroups[g]; sfb < kGroups[g + 1]; ++sfb)
      sl[sfb] = static_cast<int>(bits.Get(slen));
  }
  sl[21] = 0;
}

void MpegLayer3Decoder::ReadScalefactorsLsf(BitReader& bits, MpegGranuleChannel& gc, int ch,
                                            bool intensityRight) {
  int slen[4] = {};
  int table = 0;
  int sfc = gc.scalefacCompress;
  if (!intensityRight) {
    if (sfc < 400) {
      slen[0] = (sfc >> 4) / 5;
      slen[1] = (sfc >> 4) % 5;
      slen[2] = (sfc & 15) >> 2;
      slen[3] = sfc & 3;
      table = 0;
    } else if (sfc < 500) {
      sfc -= 400;
      slen[0] = (sfc >> 2) / 5;
      slen[1] = (sfc >> 2) % 5;
      slen[2] = sfc & 3;
      table = 1;
    } else {
      sfc -= 500;
      slen[0] = sfc / 3;
      slen[1] = sfc % 3;
      gc.preflag = 1;
      table = 2;
    }
  } else {
    intensityScale_ = sfc & 1;
    int isc = sfc >> 1;
    if (isc < 180) {
      slen[0] = isc / 36;
      slen[1] = (isc % 36) / 6;
      slen[2] = (isc % 36) % 6;
      table = 3;
    } else if (isc < 244) {
      isc -= 180;
      slen[0] = (isc % 64) >> 4;
      slen[1] = (isc % 16) >> 2;
      slen[2] = isc % 4;
      table = 4;
    } else {
      isc -= 244;
      slen[0] = isc / 3;
      slen[1] = isc % 3;
      table = 5;
    }
  }
  // A scalefac_compress outside the partition table (slen 5 and up) is read as 4 bits at most.
  for (int& s : slen)
    s = std::min(s, 4);
  const int column = gc.blockType == 2 ? (gc.mixed ? 2 : 1) : 0;
  int values[39] = {};
  int limits[39] = {};
  int n = 0;
  for (int p = 0; p < 4; ++p) {
    for (int i = 0; i < kLsfBands[table][column][p] && n < 39; ++i, ++n) {
      values[n] = static_cast<int>(bits.Get(slen[p]));
      limits[n] = (1 << slen[p]) - 1;
    }
  }
  int* sl = scalefacLong_[ch];
  int(*ss)[3] = scalefacShort_[ch];
  if (gc.blockType != 2) {
    for (int sfb = 0; sfb < 21; ++sfb) {
      sl[sfb] = values[sfb];
      isLimitLong_[sfb] = limits[sfb];
    }
    sl[21] = 0;
    isLimitLong_[21] = limits[20];
    return;
  }
  int k = 0;
  int sfb = 0;
  if (gc.mixed) {
    for (; sfb < 6; ++sfb, ++k) {
      sl[sfb] = values[k];
      isLimitLong_[sfb] = limits[k];
    }
    sfb = 3;
  }
  for (; sfb < 12; ++sfb) {
    for (int w = 0; w < 3; ++w, ++k)
      ss[sfb][w] = values[k];
    isLimitShort_[sfb] = limits[k - 1];
  }
  ss[12][0] = ss[12][1] = ss[12][2] = 0;
  isLimitShort_[12] = isLimitShort_[11];
}

int MpegLayer3Decoder::GainSegments(const MpegGranuleChannel& gc, int ch, int16_t* ends,
                                    float* gains) const {
  const int16_t* longBands = tables_.longBands[group_];
  const int16_t* shortBands = tables_.shortBands[group_];
  const float* gain = tables_.gain + MpegLayer3Tables::kGainOffset;
  auto gainOf = [&](int q) { return gain[std::clamp(q, -MpegLayer3Tables::kGainOffset, 63)]; };
  const int base = gc.globalGain - 210;
  const int shift = 2 * (1 + gc.scalefacScale);
  int n = 0;
  if (gc.blockType != 2 || gc.mixed) {
    // Mixed: long bands up to line 36. MPEG-2.5 at 8 kHz is the one rate whose short band 3
    // starts past that (at line 72), so lines 36-71 belong to no band; decoders disagree on
    // them. Here they keep their order (Reorder starts at band 3) and take the gain of short
    // band 3's first window.
    const int longEnd = gc.blockType == 2 ? 36 : 576;
    for (int sfb = 0; sfb < 22 && longBands[sfb] < longEnd; ++sfb) {
      int sf = scalefacLong_[ch][sfb] + (gc.preflag ? kPretab[sfb] : 0);
      ends[n] = static_cast<int16_t>(std::min(static_cast<int>(longBands[sfb + 1]), longEnd));
      gains[n++] = gainOf(base - shift * sf);
    }
  }
  if (gc.blockType == 2) {
    for (int sfb = gc.mixed ? 3 : 0; sfb < 13; ++sfb) {
      const int width = shortBands[sfb + 1] - shortBands[sfb];
      for (int w = 0; w < 3; ++w) {
        ends[n] = static_cast<int16_t>(shortBands[sfb] * 3 + (w + 1) * width);
        gains[n++] = gainOf(base - 8 * gc.subblockGain[w] - shift * scalefacShort_[ch][sfb][w]);
      }
    }
  }
  return n;
}

bool MpegLayer3Decoder::DecodeLines(BitReader& bits, const MpegGranuleChannel& gc, int ch,
                                    uint64_t part23End) {
  const int16_t* longBands = tables_.longBands[group_];
  const int16_t* shortBands = tables_.shortBands[group_];
  const float* pow43 = tables_.pow43;
  int16_t ends[48];
  float gains[48];
  const int segments = GainSegments(gc, ch, ends, gains);
  const int bigEnd = std::min(gc.bigValues * 2, 576);
  int region1, region2;
  if (gc.windowSwitching) {
    region1 = gc.blockType == 2 && !gc.mixed ? shortBands[3] * 3 : longBands[8];
    region2 = 576;
  } else {
    // Counts that run past the band table stop at its end.
    region1 = longBands[std::min(gc.region0Count + 1, 22)];
    region2 = longBands[std::min(gc.region0Count + gc.region1Count + 2, 22)];
  }
  region1 = std::min(region1, bigEnd);
  region2 = std::min(std::max(region2, region1), bigEnd);
  float* xr = lines_[ch];
  // A copy: the caller moves on to part23End whatever this granule read.
  BitReader bc = bits;
  int seg = 0;
  int i = 0;
  const int regionEnds[3] = {region1, region2, bigEnd};
  for (int region = 0; region < 3; ++region) {
    const int end = regionEnds[region];
    const int select = gc.tableSelect[region];
    if (select == 4 || select == 14) return false;  // tables that do not exist
    const uint32_t* table = tables_.huffman[select];
    const int linbits = tables_.linbits[select];
    while (i < end) {
      while (ends[seg] <= i && seg + 1 < segments)
        ++seg;
      const int stop = std::min(end, static_cast<int>(ends[seg]));
      const float g = gains[seg];
      if (table == nullptr) {
        for (; i < stop; ++i)
          xr[i] = 0.0f;
        continue;
      }
      for (; i < stop; i += 2) {
        bc.Refill();
        uint32_t e = table[bc.Window() >> 56];
        if (e & 0x80000000u)
          e = table[(e & 0xFFFFFFu) +
                    static_cast<uint32_t>((bc.Window() << 8) >> (64 - ((e >> 24) & 31)))];
        bc.Skip(static_cast<int>((e >> 8) & 31));
        uint32_t x = (e >> 4) & 15;
        uint32_t y = e & 15;
        if (linbits) {
          if (x == 15) x += bc.Take(linbits);
          uint32_t sx = x ? bc.Take(1) : 0;
          if (y == 15) y += bc.Take(linbits);
          uint32_t sy = y ? bc.Take(1) : 0;
          float fx = pow43[std::min<uint32_t>(x, MpegLayer3Tables::kPow43Size - 1)] * g;
          float fy = pow43[std::min<uint32_t>(y, MpegLayer3Tables::kPow43Size - 1)] * g;
          xr[i] = sx ? -fx : fx;
          xr[i + 1] = sy ? -fy : fy;
        } else {
          // Sign bits follow in order for the non-zero values; take both at once.
          uint32_t nx = x != 0, ny = y != 0;
          uint32_t two = bc.Peek(2);
          uint32_t sx = nx & (two >> 1);
          uint32_t sy = ny & (nx ? two : two >> 1);
          bc.Skip(static_cast<int>(nx + ny));
          float fx = pow43[x] * g;
          float fy = pow43[y] * g;
          xr[i] = sx ? -fx : fx;
          xr[i + 1] = sy ? -fy : fy;
        }
      }
    }
  }
  i = bigEnd;
  const uint32_t* quad = tables_.huffman[32 + gc.count1Table];
  while (i + 4 <= 576) {
    bc.Refill();
    uint32_t e = quad[bc.Window() >> 56];
    int length = static_cast<int>((e >> 8) & 31);
    uint32_t nibble = e & 15;
    static constexpr uint8_t kOnes[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};
    int signs = kOnes[nibble];
    // A quadruple that runs past this granule's data is dropped.
    if (bc.Position() + static_cast<uint64_t>(length + signs) > part23End) break;
    bc.Skip(length);
    uint32_t signBits = signs ? bc.Take(signs) << (4 - signs) : 0;  // first sign in bit 3
    // Band boundaries are even, so each pair of the quadruple has one gain.
    while (ends[seg] <= i && seg + 1 < segments)
      ++seg;
    const float g01 = gains[seg];
    while (ends[seg] <= i + 2 && seg + 1 < segments)
      ++seg;
    const float g23 = gains[seg];
    const float g[4] = {g01, g01, g23, g23};
    // Branch-free: a zero value multiplies its gain by 0 and takes no sign bit.
    for (int k = 0; k < 4; ++k) {
      uint32_t set = (nibble >> (3 - k)) & 1;
      uint32_t sign = (signBits >> 3) & set;
      signBits <<= set;
      float v = g[k] * static_cast<float>(set);
      uint32_t bits;
      std::memcpy(&bits, &v, 4);
      bits ^= sign << 31;
      std::memcpy(xr + i + k, &bits, 4);
    }
    i += 4;
  }
  std::fill(xr + i, xr + 576, 0.0f);
  limit_[ch] = i;
  return true;
}

void MpegLayer3Decoder::Reorder(const MpegGranuleChannel& gc, int ch) {
  if (gc.blockType != 2) return;
  const int16_t* shortBands = tables_.shortBands[group_];
  float* xr = lines_[ch];
  alignas(64) float tmp[576];
  const int first = gc.mixed ? 3 : 0;
  const int from = shortBands[first] * 3;
  std::memcpy(tmp + from, xr + from, sizeof(float) * static_cast<size_t>(576 - from));
  for (int sfb = first; sfb < 13; ++sfb) {
    const int width = shortBands[sfb + 1] - shortBands[sfb];
    const int start = shortBands[sfb] * 3;
    for (int w = 0; w < 3; ++w)
      for (int k = 0; k < width; ++k)
        xr[ShortIndex(shortBands[sfb] + k, w)] = tmp[start + w * width + k];
  }
  limit_[ch] = 576;  // reordering spreads the lines over every subband
}

void MpegLayer3Decoder::IntensityLong(const MpegFrameHeader& h, int firstBand, int endLine,
                                      bool ms) {
  const int16_t* longBands = tables_.longBands[group_];
  float* l = lines_[0];
  float* r = lines_[1];
  for (int sfb = firstBand; sfb < 22 && longBands[sfb] < endLine; ++sfb) {
    const int start = longBands[sfb];
    const int end = std::min(static_cast<int>(longBands[sfb + 1]), endLine);
    int pos = scalefacLong_[1][sfb < 21 ? sfb : 20];
    bool legal = lsf_ ? pos != isLimitLong_[sfb] : pos < 7;
    if (!legal) {
      if (ms)
        for (int i = start; i < end; ++i) {
          float m = l[i], s = r[i];
          l[i] = (m + s) * kInvSqrt2;
          r[i] = (m - s) * kInvSqrt2;
        }
      continue;
    }
    float kl, kr;
    if (!lsf_) {
      kl = tables_.isRatioLeft[pos];
      kr = tables_.isRatioRight[pos];
    } else {
      float k = tables_.lsfIsRatio[intensityScale_][pos & 31];
      kl = (pos & 1) ? k : 1.0f;
      kr = (pos & 1) ? 1.0f : k;
    }
    (void)h;
    for (int i = start; i < end; ++i) {
      float x = l[i];
      l[i] = x * kl;
      r[i] = x * kr;
    }
  }
}

void MpegLayer3Decoder::Stereo(const MpegFrameHeader& h, const MpegGranuleChannel* gcs) {
  if (h.channels != 2 || h.mode != 1) return;
  const bool ms = (h.modeExtension & 2) != 0;
  const bool is = (h.modeExtension & 1) != 0;
  float* l = lines_[0];
  float* r = lines_[1];
  int limit = std::max(limit_[0], limit_[1]);
  auto midSide = [&](int from, int to) {
    for (int i = from; i < to; ++i) {
      float m = l[i], s = r[i];
      l[i] = (m + s) * kInvSqrt2;
      r[i] = (m - s) * kInvSqrt2;
    }
  };
  if (!is) {
    if (ms) midSide(0, limit);
    limit_[0] = limit_[1] = limit;
    return;
  }
  const MpegGranuleChannel& right = gcs[1];
  const int16_t* longBands = tables_.longBands[group_];
  const int16_t* shortBands = tables_.shortBands[group_];
  if (right.blockType != 2) {
    // Intensity stereo from the band after the right channel's last non-zero line.
    int last = limit_[1] - 1;
    while (last >= 0 && r[last] == 0.0f)
      --last;
    int band = 0;
    while (band < 22 && longBands[band + 1] <= last)
      ++band;
    if (last < 0)
      band = 0;
    else
      ++band;
    int isStart = band < 22 ? longBands[band] : 576;
    if (ms) midSide(0, isStart);
    IntensityLong(h, band, 576, ms);
    limit_[0] = limit_[1] = 576;
    return;
  }
  // Short blocks: each window on its own, in the reordered layout.
  const int first = right.mixed ? 3 : 0;
  bool shortPartSilent = true;
  for (int w = 0; w < 3; ++w) {
    int band = 12;
    for (; band >= first; --band) {
      bool nonzero = false;
      for (int f = shortBands[band]; f < shortBands[band + 1] && !nonzero; ++f)
        nonzero = r[ShortIndex(f, w)] != 0.0f;
      if (nonzero) break;
    }
    if (band >= first) shortPartSilent = false;
    for (int sfb = first; sfb < 13; ++sfb) {
      bool intensity = sfb > band;
      int pos = scalefacShort_[1][sfb < 12 ? sfb : 11][w];
      bool legal = lsf_ ? pos != isLimitShort_[sfb] : pos < 7;
      for (int f = shortBands[sfb]; f < shortBands[sfb + 1]; ++f) {
        int i = ShortIndex(f, w);
        if (intensity && legal) {
          float kl, kr;
          if (!lsf_) {
            kl = tables_.isRatioLeft[pos];
            kr = tables_.isRatioRight[pos];
          } else {
            float k = tables_.lsfIsRatio[intensityScale_][pos & 31];
            kl = (pos & 1) ? k : 1.0f;
            kr = (pos & 1) ? 1.0f : k;
          }
          float x = l[i];
          l[i] = x * kl;
          r[i] = x * kr;
        } else if (ms) {
          float m = l[i], s = r[i];
          l[i] = (m + s) * kInvSqrt2;
          r[i] = (m - s) * kInvSqrt2;
        }
      }
    }
  }
  if (right.mixed) {
    // The long part takes intensity stereo only where the short part has none of its own data.
    const int longEnd = 36;
    int band = 0;
    if (shortPartSilent) {
      int last = longEnd - 1;
      while (last >= 0 && r[last] == 0.0f)
        --last;
      while (band < 22 && longBands[band + 1] <= last)
        ++band;
      band = last < 0 ? 0 : band + 1;
    } else {
      while (band < 22 && longBands[band] < longEnd)
        ++band;
    }
    int isStart = std::min(static_cast<int>(longBands[std::min(band, 22)]), longEnd);
    if (ms) midSide(0, isStart);
    IntensityLong(h, band, longEnd, ms);
  }
  limit_[0] = limit_[1] = 576;
}

void MpegLayer3Decoder::AliasReduce(const MpegGranuleChannel& gc, int ch) {
  if (gc.blockType == 2 && !gc.mixed) return;
  float* xr = lines_[ch];
  int subbands = (limit_[ch] + 17) / 18;
  int boundaries = gc.blockType == 2 ? 1 : std::min(subbands, 31);
  const float* cs = tables_.aliasCs;
  const float* ca = tables_.aliasCa;
  for (int sb = 1; sb <= boundaries; ++sb) {
    float* lo = xr + 18 * sb - 1;
    float* hi = xr + 18 * sb;
    for (int i = 0; i < 8; ++i) {
      float a = lo[-i], b = hi[i];
      lo[-i] = a * cs[i] - b * ca[i];
      hi[i] = b * cs[i] + a * ca[i];
    }
  }
  limit_[ch] = std::min(576, std::max(limit_[ch], (boundaries + 1) * 18));
}

void MpegLayer3Decoder::Hybrid(const MpegGranuleChannel& gc, int ch, float* out) {
  float* xr = lines_[ch];
  float* overlap = overlap_[ch];
  const int active = std::min(32, (limit_[ch] + 17) / 18);
  int longCount = gc.blockType != 2 ? active : (gc.mixed ? std::min(active, 2) : 0);
  const float* window = tables_.imdctWindow[gc.blockType == 2 ? 0 : gc.blockType];
  if (longCount > 0) kernels_.imdct36(xr, overlap, window, out, kStride, 0, longCount);
  int sb = longCount;
  if (gc.blockType == 2) {
    const float* win = tables_.imdctWindow[2];
    static const struct Cos12 {
      float m[6][6];
      Cos12() {
        for (int n = 0; n < 6; ++n)
          for (int k = 0; k < 6; ++k)
            m[n][k] = static_cast<float>(
                std::cos(3.14159265358979323846 * (2 * n + 1) * (2 * k + 1) / 24.0));
      }
    } cos12;
    for (; sb < active; ++sb) {
      float y36[36] = {};
      const float* x = xr + sb * 18;
      for (int w = 0; w < 3; ++w) {
        float z[6];
        for (int n = 0; n < 6; ++n) {
          float s = 0;
          for (int k = 0; k < 6; ++k)
            s += x[3 * k + w] * cos12.m[n][k];
          z[n] = s;
        }
        // y = [z3, z4, z5, -z5 .. -z0, -z0, -z1, -z2]
        const float y[12] = {z[3],  z[4],  z[5],  -z[5], -z[4], -z[3],
                             -z[2], -z[1], -z[0], -z[0], -z[1], -z[2]};
        for (int i = 0; i < 12; ++i)
          y36[6 + 6 * w + i] += y[i] * win[i];
      }
      float* o = out + sb * kStride;
      for (int t = 0; t < 18; ++t) {
        float v = y36[t] + overlap[t * 32 + sb];
        overlap[t * 32 + sb] = y36[18 + t];
        o[t] = (sb & t & 1) ? -v : v;
      }
    }
  }
  // Silent subbands only hand out what the previous granule left in them.
  for (; sb < 32; ++sb) {
    float* o = out + sb * kStride;
    for (int t = 0; t < 18; ++t) {
      float v = overlap[t * 32 + sb];
      overlap[t * 32 + sb] = 0.0f;
      o[t] = (sb & t & 1) ? -v : v;
    }
  }
}

int MpegLayer3Decoder::DecodeFrame(void* out, bool asFloat) {
  const MpegFrameHeader& h = parser_.Header();
  if (!reader_.LoadFrame(static_cast<size_t>(h.PayloadLength()))) return -1;
  if (!ReadSideInfo(h, reader_.FrameBits(), side_)) return -1;
  lsf_ = h.Lsf();
  group_ = h.version * 3 + h.sampleRateIndex;
  const size_t mainLength = static_cast<size_t>(h.PayloadLength() - h.sideInfoLength);
  const uint8_t* main = reader_.FrameData() + h.sideInfoLength;
  // Keep only what later frames can reach back to, then append this frame's main data.
  if (fill_ > kKeep) {
    std::memmove(reservoir_.data(), reservoir_.data() + fill_ - kKeep, kKeep);
    fill_ = kKeep;
  }
  const size_t before = fill_;
  const size_t take = std::min(mainLength, kMaxFrame);
  std::memcpy(reservoir_.data() + fill_, main, take);
  fill_ += take;
  std::memset(reservoir_.data() + fill_, 0, kPadding);
  complete_ = static_cast<size_t>(side_.mainDataBegin) <= before;
  if (!complete_ || out == nullptr) return 0;

  const int channels = h.channels;
  const int granules = lsf_ ? 1 : 2;
  // The reservoir's last eight bytes are the bit reader's load room.
  BitReader bits(reservoir_.data(), reservoir_.size() - 8,
                 (before - static_cast<size_t>(side_.mainDataBegin)) * 8);
  const uint64_t endBits = static_cast<uint64_t>(fill_) * 8;
  alignas(64) float subbands[32 * kStride];
  alignas(64) float pcm[2][36 * 32];
  for (int gr = 0; gr < granules; ++gr) {
    for (int ch = 0; ch < channels; ++ch) {
      MpegGranuleChannel& gc = side_.granule[gr][ch];
      const uint64_t part23End =
          std::min(bits.Position() + static_cast<uint64_t>(gc.part23Length), endBits);
      if (lsf_)
        ReadScalefactorsLsf(bits, gc, ch, h.mode == 1 && (h.modeExtension & 1) && ch == 1);
      else
        ReadScalefactorsMpeg1(bits, gc, ch, gr);
      if (!DecodeLines(bits, gc, ch, part23End)) return -1;
      bits.SetPosition(part23End);
      Reorder(gc, ch);
    }
    Stereo(h, side_.granule[gr]);
    for (int ch = 0; ch < channels; ++ch) {
      const MpegGranuleChannel& gc = side_.granule[gr][ch];
      AliasReduce(gc, ch);
      Hybrid(gc, ch, subbands);
      synthesis_.Synthesize(ch, subbands, kStride, 18, pcm[ch] + gr * 18 * 32);
    }
  }
  const float* planes[2] = {pcm[0], pcm[1]};
  Emit(planes, channels, 18 * granules, out, asFloat);
  return 576 * granules * channels;
}

}  // namespace vk2
