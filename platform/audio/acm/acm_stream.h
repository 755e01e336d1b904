// A conversion from one wave format to PCM, block by block, on libavcodec.
//
// Convert takes whole source blocks (a frame for PCM-like formats, nBlockAlign bytes for ADPCM
// and other block codes) and gives whole destination frames. A block whose output does not fit
// the destination stays unconsumed; with kAcmConvertEnd a trailing partial block is decoded as
// far as it goes. A block that does not decode becomes silence of its length, so damaged data
// never stalls the caller. Formats whose frames vary in length (MPEG audio and the like) go
// through libavcodec's parser, which takes any amount of source and finds the frames itself.
#pragma once

#include <memory>
#include <vector>

#include "platform/audio/acm/acm_types.h"
#include "platform/audio/wave_format.h"

struct AVCodecContext;
struct AVCodecParserContext;
struct AVFrame;
struct AVPacket;

namespace vk2 {

class AcmStream {
 public:
  // `destination` must be integer PCM of 8, 16, 24 or 32 bits, or 32-bit float, with the
  // source's rate and channels.
  static int32_t Open(std::unique_ptr<AcmStream>& out, const WaveFormat& source,
                      const WaveFormat& destination, uint32_t flags = 0);
  AcmStream(const AcmStream&) = delete;
  AcmStream& operator=(const AcmStream&) = delete;
  ~AcmStream();

  // kAcmSizeSource: the destination bytes `bytes` of source convert to at most.
  // kAcmSizeDestination: the source bytes whose conversion fits `bytes` of destination (whole
  // blocks; 0 when not even one block fits).
  int32_t Size(uint32_t bytes, uint32_t* result, uint32_t flags);
  int32_t PrepareHeader(AcmStreamHeader* header);
  int32_t UnprepareHeader(AcmStreamHeader* header);
  int32_t Convert(AcmStreamHeader* header, uint32_t flags);
  // Forgets decoder state and pending output (a seek).
  int32_t Reset();

  uint32_t SourceBlockBytes() const { return source_.blockAlign; }
  // Destination bytes of one source block; 0 when it varies.
  uint32_t DestinationBlockBytes() const { return framesPerBlock_ * dstFrameBytes_; }

 private:
  AcmStream() = default;
  bool InitDecoder();
  // Decodes `bytes` of source into out_; false when the data would not decode.
  bool DecodeInto(const uint8_t* data, size_t bytes, bool flush);
  void AppendFrame(const AVFrame* frame);
  // Feeds source bytes through the parser; answers the bytes it took.
  uint32_t ParseInto(const uint8_t* data, uint32_t bytes);
  void FlushParser();
  uint32_t EstimateDestination(uint64_t sourceBytes) const;

  WaveFormat source_;
  WaveFormat destination_;
  PcmFormat dst_;
  uint32_t framesPerBlock_ = 0;
  uint32_t dstFrameBytes_ = 0;
  bool identity_ = false;  // PCM to the same PCM: a copy
  bool frameCoded_ = false;

  AVCodecContext* codec_ = nullptr;
  AVPacket* packet_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVCodecParserContext* parser_ = nullptr;  // formats without fixed blocks
  std::vector<uint8_t> parseInput_;         // the parser's input, padded with zeros
  std::vector<uint8_t> out_;                // decoded, not yet given out
  size_t outHead_ = 0;
};

}  // namespace vk2
