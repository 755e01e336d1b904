#include "audio/decoders/mpeg/core/layer_decoder.h"

namespace vk2 {

void MpegLayerDecoder::Emit(const float* const* pcm, int channels, int slots, void* out,
                            bool asFloat) {
  synthesis_.Output(pcm, channels, slots, out, asFloat);
}

}  // namespace vk2
