#pragma once
// One decoding run over a byte source: frame search, the layer decoder the frames need, the
// synthesis filter. The decoder module wraps this in its chain interfaces:
//   - start of a run: a source over the upstream reader, a core on it; the first NextFrame skips
//     any ID3v2 tag and reads the Xing/Info record (Parser().Xing()); the ID3v1 block comes from
//     Reader().ReadAt(-128, SeekOrigin::kEnd, ...) and ParseId3v1;
//   - format detection: NextFrame(MpegFrameParser::kDetectionSearchLimit) and DecodeFrame(nullptr)
//     eight times; a result of 0 is success for every layer;
//   - packets: NextFrame, then DecodeFrame into the packet (16-bit or float); -1 from NextFrame at
//     Reader().AtEnd() is the end of the stream, elsewhere the "no more headers" error;
//   - properties: Header(), Parser().AverageBitrate(), IsVbr(), TotalTimeEstimate(), PositionMs();
//   - seeking: SeekToTime (clamps, primes layer III).
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/decoders/mpeg/core/frame_parser.h"
#include "audio/decoders/mpeg/core/frame_stream.h"
#include "audio/decoders/mpeg/core/layer_decoder.h"
#include "audio/decoders/mpeg/core/simd_level.h"
#include "audio/decoders/mpeg/core/synthesis_filter.h"

namespace vk2 {

class MpegDecoderCore {
 public:
  explicit MpegDecoderCore(ByteSource& source, MpegSimdLevel level = MpegProcessSimdLevel());
  ~MpegDecoderCore();

  // Finds the next frame (see MpegFrameParser::NextFrame).
  int NextFrame(int64_t searchLimit = 0) { return parser_.NextFrame(searchLimit); }
  // Decodes the frame just found into `out` (room for MpegLayerDecoder::kMaxFrameSamples values),
  // or consumes it without output when `out` is null. Builds the layer decoder on a layer change.
  // A bad frame is skipped and the search resynchronised one byte after its header; the result is
  // then -1. Otherwise the count of sample values written (0 when none).
  int DecodeFrame(void* out, bool asFloat);
  // Next frame and its decode in one, going over bad frames: the count written, 0 for a frame
  // without output, -1 at the end of the stream.
  int Decode(void* out, bool asFloat);
  // Moves near `ms`; layer III then primes its bit reservoir with frames decoded without output
  // until two frames found their main data complete. False when the stream cannot seek.
  bool SeekToTime(double ms);

  MpegFrameParser& Parser() { return parser_; }
  MpegFrameStream& Reader() { return reader_; }
  const MpegFrameHeader& Header() const { return parser_.Header(); }
  // The layer the decoder objects were built for, -1 before the first frame.
  int Layer() const { return layer_; }
  MpegLayerDecoder* LayerDecoder() { return layerDecoder_.get(); }
  MpegSynthesisFilter& Synthesis() { return synthesis_; }

 private:
  void ResetDecoding();
  // Decodes `frames` frames in full and drops their output.
  void Prime(int64_t frames);
  static int64_t LeadFrames(const MpegFrameHeader& header);
  MpegFrameStream reader_;
  MpegFrameParser parser_;
  MpegSynthesisFilter synthesis_;
  std::unique_ptr<MpegLayerDecoder> layerDecoder_;
  // Output of the frames decoded only to settle the filter banks after a seek.
  std::vector<float> scratch_;
  int layer_ = -1;
};

}  // namespace vk2
