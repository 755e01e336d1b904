#include <cstring>

#include "audio/decoders/mpeg/core/layer12_tables.h"
#include "audio/decoders/mpeg/core/layer_decoder.h"

namespace vk2 {

int MpegLayer1Decoder::DecodeFrame(void* out, bool asFloat) {
  const MpegFrameHeader& h = parser_.Header();
  if (!reader_.LoadFrame(static_cast<size_t>(h.PayloadLength()))) return -1;
  if (out == nullptr) return 0;  // consumed; layer I keeps nothing between frames
  BitReader bits = reader_.FrameBits();
  const int channels = h.channels;
  const int bound = h.mode == 1 ? 4 * (h.modeExtension + 1) : 32;
  const float* scale = MpegLayer12ScaleFactors();
  int allocation[2][32] = {};
  float factor[2][32] = {};
  for (int sb = 0; sb < 32; ++sb) {
    for (int ch = 0; ch < channels; ++ch) {
      if (sb >= bound && ch == 1) {
        allocation[1][sb] = allocation[0][sb];
        continue;
      }
      allocation[ch][sb] = static_cast<int>(bits.Get(4));
      if (allocation[ch][sb] == 15) return -1;  // no such allocation
    }
  }
  for (int sb = 0; sb < 32; ++sb)
    for (int ch = 0; ch < channels; ++ch)
      if (allocation[ch][sb]) {
        uint32_t index = bits.Get(6);
        if (index == 63) return -1;
        factor[ch][sb] = scale[index];
      }
  if (bits.Position() > reader_.FrameLength() * 8) return -1;
  alignas(64) float subbands[2][32 * 12];
  std::memset(subbands, 0, sizeof subbands);
  for (int t = 0; t < 12; ++t) {
    for (int sb = 0; sb < 32; ++sb) {
      float shared = 0;
      for (int ch = 0; ch < channels; ++ch) {
        int nb = allocation[ch][sb] + 1;
        if (nb == 1) continue;
        float value;
        if (sb >= bound && ch == 1) {
          value = shared;
        } else {
          float code = static_cast<float>(bits.Get(nb));
          float levels = static_cast<float>((1 << nb) - 1);
          value = code * (2.0f / levels) - (levels - 1.0f) / levels;
          shared = value;
        }
        subbands[ch][sb * 12 + t] = value * factor[ch][sb];
      }
    }
  }
  alignas(64) float pcm[2][32 * 12];
  for (int ch = 0; ch < channels; ++ch)
    synthesis_.Synthesize(ch, subbands[ch], 12, 12, pcm[ch]);
  const float* planes[2] = {pcm[0], pcm[1]};
  Emit(planes, channels, 12, out, asFloat);
  return 384 * channels;
}

}  // namespace vk2
