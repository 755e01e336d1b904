#include "audio/decoders/mpeg/core/decoder_core.h"

#include <algorithm>
#include <cmath>

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
  if (!(ms > 0)) ms = 0;  // negative and NaN seek to the start
  const MpegFrameHeader& first = parser_.FirstHeader();
  if (ms > 0 && parser_.FirstFrameSeen() && first.sampleRate > 0) {
    // Output resumes with the frame that holds `ms`; the frames before it are decoded in full
    // and dropped, so that the filter banks and the bit reservoir hold what they would have
    // held had the stream played through.
    const auto wanted = static_cast<int64_t>(std::floor(ms / first.DurationMs()));
    const int64_t from = std::max<int64_t>(0, wanted - LeadFrames(first));
    if (parser_.SeekToFrame(from)) {
      ResetDecoding();
      Prime(wanted - from);
      return true;
    }
  }
  if (!parser_.SeekToTime(ms)) return false;
  if (!layerDecoder_) return true;
  ResetDecoding();
  if (layer_ != 3) {
    Prime(1);
    return true;
  }
  int complete = 0;
  while (complete < 2) {
    if (parser_.NextFrame() != 0) break;
    if (DecodeFrame(scratch_.data(), true) < 0) {
      layerDecoder_->Reset();
      complete = 0;
      continue;
    }
    complete = layerDecoder_->MainDataComplete() ? complete + 1 : 0;
  }
  return true;
}

void MpegDecoderCore::ResetDecoding() {
  scratch_.resize(MpegLayerDecoder::kMaxFrameSamples);
  if (layerDecoder_) layerDecoder_->Reset();
  synthesis_.Reset();
}

void MpegDecoderCore::Prime(int64_t frames) {
  for (int64_t i = 0; i < frames; ++i) {
    if (parser_.NextFrame() != 0) return;
    DecodeFrame(scratch_.data(), true);
  }
}

int64_t MpegDecoderCore::LeadFrames(const MpegFrameHeader& header) {
  // Layers I and II: one frame fills the synthesis filter's history.
  if (header.layer != 3) return 1;
  // Layer III: the frames the bit reservoir reaches back over (main data begins at most 511
  // bytes back), one to settle the overlap of the hybrid filter bank, and one more.
  constexpr double kReservoirBytes = 511;
  const double frameBytes = header.samplesPerFrame / 8.0 * header.bitrate / header.sampleRate;
  const auto reservoirFrames =
      frameBytes > 0 ? static_cast<int64_t>(std::ceil(kReservoirBytes / frameBytes)) : 4;
  return reservoirFrames + 2;
}

}  // namespace vk2
