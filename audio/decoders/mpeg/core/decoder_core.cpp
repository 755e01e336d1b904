#include "audio/decoders/mpeg/core/decoder_core.h"

#include "audio/decoders/mpeg/core/denormal_guard.h"
#include "audio/decoders/mpeg/core/layer3_decoder.h"

namespace vk2 {

MpegDecoderCore::MpegDecoderCore(ByteSource& source, MpegSimdLevel level)
    : reader_(source), parser_(reader_), synthesis_(level) {}

MpegDecoderCore::~MpegDecoderCore() = default;

int MpegDecoderCore::DecodeFrame(void* out, bool asFloat) {
  MpegDenormalGuard flushDenormals;
  const int layer = parser_.Header().layer;
  if (layer != layer_ || !layerDecoder_) {
    synthesis_.Reset();
    if (layer == 1)
      layerDecoder_ = std::make_unique<MpegLayer1Decoder>(parser_, reader_, synthesis_);
    else if (layer == 2)
      layerDecoder_ = std::make_unique<MpegLayer2Decoder>(parser_, reader_, synthesis_);
    else
      layerDecoder_ = std::make_unique<MpegLayer3Decoder>(parser_, reader_, synthesis_);
    layerDecoder_->Reset();
    layer_ = layer;
  }
  int result = layerDecoder_->DecodeFrame(out, asFloat);
  if (result < 0) {
    parser_.SkipFrame();
    parser_.ResetSync();
  }
  return result;
}

int MpegDecoderCore::Decode(void* out, bool asFloat) {
  for (;;) {
    if (parser_.NextFrame() != 0) return -1;
    int result = DecodeFrame(out, asFloat);
    if (result >= 0) return result;
  }
}

bool MpegDecoderCore::SeekToTime(double ms) {
  if (!parser_.SeekToTime(ms)) return false;
  if (!layerDecoder_) return true;
  layerDecoder_->Reset();
  if (layer_ != 3) return true;  // layers I and II keep nothing between frames
  int complete = 0;
  while (complete < 2) {
    if (parser_.NextFrame() != 0) break;
    if (DecodeFrame(nullptr, false) < 0) {
      layerDecoder_->Reset();
      complete = 0;
      continue;
    }
    complete = layerDecoder_->MainDataComplete() ? complete + 1 : 0;
  }
  return true;
}

}  // namespace vk2
