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
  // The next `n` bits (0..32) of the frame, most significant first; zero past the frame.
  uint32_t GetBits(int n) { return bits_.Get(n); }
  uint64_t BitPosition() const { return bits_.Position(); }

 private:
  std::vector<uint8_t> frame_;
  size_t frameLength_ = 0;
  BitReader bits_;
};

}  // namespace vk2
