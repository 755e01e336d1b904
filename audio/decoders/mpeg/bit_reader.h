#pragma once
// Byte stream with look-ahead over an MpegByteSource, plus bit access to the current frame.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "audio/decoders/mpeg/byte_source.h"

namespace vk2 {

class MpegBitReader {
 public:
  explicit MpegBitReader(MpegByteSource& source);

  // True when the source has ended and no look-ahead bytes are left.
  bool AtEnd();
  // Makes sure `n` bytes stand in the look-ahead; returns how many do (fewer only at the end).
  size_t Peek(size_t n);
  // The look-ahead bytes; valid until the next call that reads or consumes.
  const uint8_t* PeekData() const { return buffer_.data() + head_; }
  // Consuming or peeking read into `buffer`; the count read.
  size_t Read(void* buffer, size_t n, bool consume = true);
  bool ReadByte(uint8_t& out);
  // Drops up to `n` bytes from the stream; the count dropped.
  uint64_t Skip(uint64_t n);
  // Puts bytes back in front of the look-ahead so that a search can go over them again; used to
  // resynchronise after a bad frame without seeking upstream (live streams cannot).
  void Unread(const uint8_t* data, size_t n);

  // Loads the next `n` bytes (consuming) as the current frame, followed by zero padding.
  bool LoadFrame(size_t n);
  const uint8_t* FrameData() const { return frame_.data(); }
  size_t FrameLength() const { return frameLength_; }
  // The next `n` bits (0..32) of the frame, most significant first; zero past the frame.
  uint32_t GetBits(int n) {
    if (n <= 0) return 0;
    uint64_t byte = bitPosition_ >> 3;
    if (byte >= frameLength_) {
      bitPosition_ += static_cast<uint64_t>(n);
      return 0;
    }
    // Eight bytes at a time: the frame buffer carries eight zero bytes behind the frame.
    uint64_t window;
    std::memcpy(&window, frame_.data() + byte, 8);
    window = __builtin_bswap64(window) << (bitPosition_ & 7);
    bitPosition_ += static_cast<uint64_t>(n);
    return static_cast<uint32_t>(window >> (64 - n));
  }
  uint64_t BitPosition() const { return bitPosition_; }
  void SetBitPosition(uint64_t bit) { bitPosition_ = bit; }

  // Stream position of the next look-ahead byte; -1 when unknown.
  int64_t Position() const { return position_; }
  int64_t Size() const { return source_.Size(); }
  // Moves the source and drops the look-ahead.
  bool Seek(int64_t offset);
  // Reads at an offset (origin 0 start, 1 current position, 2 end) without moving the stream.
  int64_t ReadAt(int64_t offset, int origin, void* buffer, size_t length);

 private:
  size_t Available() const { return tail_ - head_; }
  void Compact();

  MpegByteSource& source_;
  std::vector<uint8_t> buffer_;
  size_t head_ = 0;  // read offset: consuming never moves bytes, so skipping junk stays linear
  size_t tail_ = 0;
  int64_t position_ = 0;
  bool sourceEnded_ = false;
  std::vector<uint8_t> frame_;
  size_t frameLength_ = 0;
  uint64_t bitPosition_ = 0;
};

}  // namespace vk2
