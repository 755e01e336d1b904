#pragma once
// A decoder of one layer. It decodes the frame the parser has just found: the header and CRC word
// are read, the payload is still in the bit reader's stream.
#include <cstdint>

#include "audio/decoders/mpeg/core/frame_parser.h"
#include "audio/decoders/mpeg/core/frame_stream.h"
#include "audio/decoders/mpeg/core/synthesis_filter.h"

namespace vk2 {

class MpegLayerDecoder {
 public:
  // Most sample values one frame can produce (1152 per channel, two channels).
  static constexpr int kMaxFrameSamples = 2304;

  MpegLayerDecoder(MpegFrameParser& parser, MpegFrameStream& reader, MpegSynthesisFilter& synthesis)
      : parser_(parser), reader_(reader), synthesis_(synthesis) {}
  virtual ~MpegLayerDecoder() = default;

  // Decodes into `out` (interleaved 16-bit or float samples by `asFloat`, room for
  // kMaxFrameSamples). With `out` null the frame is consumed without output (format detection,
  // scans, seek priming). Returns the sample values written over all channels, 0 when there are
  // none (no output wanted, or a layer III frame whose main data is not complete), -1 for a bad
  // frame (the caller resynchronises).
  virtual int DecodeFrame(void* out, bool asFloat) = 0;
  // Forgets everything carried between frames.
  virtual void Reset() = 0;
  // Layer III: whether the last frame found all its main data; the other layers always do.
  virtual bool MainDataComplete() const { return true; }

 protected:
  // Window sums of both channels to the caller's format.
  void Emit(const float* const* pcm, int channels, int slots, void* out, bool asFloat);

  MpegFrameParser& parser_;
  MpegFrameStream& reader_;
  MpegSynthesisFilter& synthesis_;
};

class MpegLayer1Decoder final : public MpegLayerDecoder {
 public:
  using MpegLayerDecoder::MpegLayerDecoder;
  int DecodeFrame(void* out, bool asFloat) override;
  void Reset() override {}
};

class MpegLayer2Decoder final : public MpegLayerDecoder {
 public:
  using MpegLayerDecoder::MpegLayerDecoder;
  int DecodeFrame(void* out, bool asFloat) override;
  void Reset() override {}
};

}  // namespace vk2
