#include "audio/decoders/mpeg/layer_decoder.h"

namespace vk2 {

void MpegLayerDecoder::Emit(const float* const* pcm, int channels, int slots, void* out,
                            bool asFloat) {
  if (asFloat)
    MpegSumsToFloat(pcm, channels, slots, static_cast<float*>(out));
  else
    MpegSumsToPcm16(pcm, channels, slots, static_cast<int16_t*>(out), synthesis_.Remainder());
}

}  // namespace vk2
