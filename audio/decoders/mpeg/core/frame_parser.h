#pragma once
// Finds, checks and parses frames in the byte stream and keeps the running time and bit-rate
// figures from which duration, seeking and stream properties are derived.
#include <cstdint>

#include "audio/decoders/mpeg/core/frame_header.h"
#include "audio/decoders/mpeg/core/frame_stream.h"
#include "audio/decoders/mpeg/core/xing_header.h"

namespace vk2 {

class MpegFrameParser {
 public:
  // Search limit that format detection uses: bytes of junk (ID3v2 tags excluded) before the first
  // frame.
  static constexpr int64_t kDetectionSearchLimit = 262144;

  explicit MpegFrameParser(MpegFrameStream& reader) : reader_(reader) {}

  // Reads the next frame header (and CRC word); the payload is left for the layer decoder.
  // `searchLimit` bytes of junk at most (0: no limit). 0 on success, -1 at the end or past the
  // limit.
  int NextFrame(int64_t searchLimit = 0);
  // Puts the current frame back into the stream, one byte after its header's first, so that the
  // search goes on from there (a bad frame). The reader is not moved upstream.
  void SkipFrame();
  // Forgets the headers the search compares against.
  void ResetSync() { lastHeader_ = referenceHeader_ = 0; }

  const MpegFrameHeader& Header() const { return header_; }
  int64_t HeaderPosition() const { return headerPosition_; }
  uint16_t CrcWord() const { return crcWord_; }
  bool IsVbr() const { return vbr_; }
  // Decoded time in ms: the durations of the frames read since the start or the last seek.
  double PositionMs() const { return positionMs_; }
  uint64_t FrameCount() const { return frameCount_; }
  const MpegXingHeader& Xing() const { return xing_; }
  // Stream offset of the first audio frame (after any ID3v2 tag and Xing frame), -1 before it.
  int64_t AudioStart() const { return audioStart_; }
  bool FirstFrameSeen() const { return firstFrameSeen_; }

  // kbit/s: from the Xing record when present, else over the frames read; 0 before any frame.
  double AverageBitrate() const;
  // Total duration in ms; 0 when it cannot be told (no frame yet, unknown size).
  double TotalTimeEstimate() const;
  // Moves the stream near `ms`; the next NextFrame resynchronises there. False when the stream
  // cannot seek or nothing is known about it yet.
  bool SeekToTime(double ms);
  // Moves the stream to the start of audio frame `index` (0: the first after any Xing frame),
  // found by arithmetic where frames have one length on average: a constant bit rate. False
  // for variable-rate and free-format streams, or when nothing is known about the stream yet.
  bool SeekToFrame(int64_t index);
  const MpegFrameHeader& FirstHeader() const { return firstHeader_; }

 private:
  bool SkipId3v2();
  void NoteFirstFrame(const uint8_t* frame, size_t available);

  MpegFrameStream& reader_;
  MpegFrameHeader header_;
  uint32_t lastHeader_ = 0;
  uint32_t referenceHeader_ = 0;
  uint8_t headerBytes_[6] = {};
  int64_t headerPosition_ = -1;
  int64_t payloadPosition_ = -1;
  uint16_t crcWord_ = 0;
  uint64_t bitrateSum_ = 0;  // kbit/s
  uint64_t frameCount_ = 0;
  double positionMs_ = 0;
  int lastBitrateIndex_ = -1;
  bool vbr_ = false;
  int emphasis_ = 0;
  bool firstFrameSeen_ = false;
  MpegFrameHeader firstHeader_;
  MpegXingHeader xing_;
  int64_t xingFramePosition_ = -1;
  int64_t audioStart_ = -1;
  int64_t audioEnd_ = -1;
};

}  // namespace vk2
