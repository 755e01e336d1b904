#include <algorithm>
#include <cstring>

#include "audio/decoders/mpeg/core/layer12_tables.h"
#include "audio/decoders/mpeg/core/layer_decoder.h"

namespace vk2 {

namespace {

// Reads the three samples of one subband and granule, requantised (scale factor not applied).
void ReadSamples(BitReader& bits, const MpegLayer2Class& c, float* v) {
  // One refill serves all three: 3 x 16 bits at most.
  bits.Refill();
  if (c.grouped) {
    uint32_t code = bits.Take(c.bits);
    uint32_t levels = static_cast<uint32_t>(c.levels);
    if (code >= levels * levels * levels) {
      v[0] = v[1] = v[2] = 0;  // no such group in a sound stream
      return;
    }
    const float* values = MpegLayer2Degroup(c.levels) + 3 * code;
    v[0] = values[0];
    v[1] = values[1];
    v[2] = values[2];
    return;
  }
  float step = 1.0f / static_cast<float>(1 << (c.bits - 1));
  for (int i = 0; i < 3; ++i) {
    float s = static_cast<float>(bits.Take(c.bits)) * step - 1.0f;
    v[i] = (s + c.d) * c.c;
  }
}

}  // namespace

int MpegLayer2Decoder::DecodeFrame(void* out, bool asFloat) {
  const MpegFrameHeader& h = parser_.Header();
  if (!reader_.LoadFrame(static_cast<size_t>(h.PayloadLength()))) return -1;
  if (out == nullptr) return 0;  // consumed; layer II keeps nothing between frames
  BitReader bits = reader_.FrameBits();
  const int channels = h.channels;
  const int tableIndex =
      h.Lsf() ? 4 : MpegLayer2TableFor(h.sampleRateIndex, channels, h.bitrateIndex);
  const MpegLayer2AllocationTable& table = MpegLayer2Table(tableIndex);
  const int sblimit = table.sblimit;
  // A bound above the table's subbands would read allocation fields that do not exist.
  const int bound = std::min(h.mode == 1 ? 4 * (h.modeExtension + 1) : 32, sblimit);
  const float* scale = MpegLayer12ScaleFactors();

  const MpegLayer2Class* cls[2][32] = {};
  for (int sb = 0; sb < sblimit; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      if (sb >= bound && ch == 1) {
        cls[1][sb] = cls[0][sb];
        continue;
      }
      uint32_t value = bits.Get(table.allocationBits[sb]);
      cls[ch][sb] = value ? table.classes[sb][value] : nullptr;
    }
  }
  int scfsi[2][32] = {};
  for (int sb = 0; sb < sblimit; ++sb)
    for (int ch = 0; ch < channels; ++ch)
      if (cls[ch][sb]) scfsi[ch][sb] = static_cast<int>(bits.Get(2));
  float factor[2][32][3] = {};
  for (int sb = 0; sb < sblimit; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      if (!cls[ch][sb]) continue;
      float* f = factor[ch][sb];
      switch (scfsi[ch][sb]) {
        case 0:
          f[0] = scale[bits.Get(6)];
          f[1] = scale[bits.Get(6)];
          f[2] = scale[bits.Get(6)];
          break;
        case 1:
          f[0] = f[1] = scale[bits.Get(6)];
          f[2] = scale[bits.Get(6)];
          break;
        case 2:
          f[0] = f[1] = f[2] = scale[bits.Get(6)];
          break;
        default:
          f[0] = scale[bits.Get(6)];
          f[1] = f[2] = scale[bits.Get(6)];
          break;
      }
    }
  }
  if (bits.Position() > reader_.FrameLength() * 8) return -1;

  constexpr int kStride = 36;
  alignas(64) float subbands[2][32 * kStride];
  std::memset(subbands, 0, sizeof subbands);
  for (int gr = 0; gr < 12; ++gr) {
    const int part = gr >> 2;
    for (int sb = 0; sb < sblimit; ++sb) {
      float shared[3] = {};
      for (int ch = 0; ch < channels; ++ch) {
        const MpegLayer2Class* c = cls[ch][sb];
        if (!c) continue;
        float v[3];
        if (sb >= bound && ch == 1) {
          std::memcpy(v, shared, sizeof v);
        } else {
          ReadSamples(bits, *c, v);
          std::memcpy(shared, v, sizeof v);
        }
        float* dst = subbands[ch] + sb * kStride + gr * 3;
        const float f = factor[ch][sb][part];
        dst[0] = v[0] * f;
        dst[1] = v[1] * f;
        dst[2] = v[2] * f;
      }
    }
  }
  alignas(64) float pcm[2][32 * kStride];
  for (int ch = 0; ch < channels; ++ch)
    synthesis_.Synthesize(ch, subbands[ch], kStride, kStride, pcm[ch]);
  const float* planes[2] = {pcm[0], pcm[1]};
  Emit(planes, channels, kStride, out, asFloat);
  return 1152 * channels;
}

}  // namespace vk2
