#pragma once
// The MPEG frame stream: the look-ahead stream the frame search reads, plus the frame loaded for
// a layer decoder and bit access to it.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/bytes/bit_reader.h"
#include "foundation/bytes/lookahead_stream.h"

namespace vk2 {

class MpegFrameStream : public LookaheadStream {
 public:
  explicit MpegFrameStream(ByteSource& source);

  // Loads the next `n` bytes (consuming) as the current frame, followed by zero padding.
  bool LoadFrame(size_t n);
  const uint8_t* FrameData() const { return frame_.data(); }
  size_t FrameLength() const { return frameLength_; }
  // Bits of the loaded frame from its start, zero past its end. A local copy keeps the
  // decoders' bit state in registers.
  BitReader FrameBits() const { return BitReader(frame_.data(), frameLength_); }

 private:
  std::vector<uint8_t> frame_;
  size_t frameLength_ = 0;
};

}  // namespace vk2
