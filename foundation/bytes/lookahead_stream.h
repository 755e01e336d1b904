// A byte source with look-ahead over another: parsers peek at bytes before they consume them,
// and can put bytes back to search over them again. Reads that find no look-ahead go straight
// to the source, so a reader that never peeks sees the source's own reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/bytes/byte_source.h"

namespace vk2 {

class LookaheadStream : public ByteSource {
 public:
  explicit LookaheadStream(ByteSource& source);
  LookaheadStream(const LookaheadStream&) = delete;
  LookaheadStream& operator=(const LookaheadStream&) = delete;

  // The consuming read. A read failure of the source comes back only when no byte was read.
  int64_t Read(void* buffer, size_t bytes) override;
  int64_t ReadAt(int64_t offset, void* buffer, size_t bytes) override;
  // Drops the look-ahead when the position moves.
  int64_t Seek(int64_t offset, SeekOrigin origin) override;
  int64_t Tell() override { return positionKnown_ ? position_ : -1; }
  int64_t Size() override { return source_.Size(); }

  // The source moved behind this stream's back: the look-ahead goes, the position comes anew
  // from the source.
  void Reset();

  // True when the source has ended (or failed) and no look-ahead bytes are left.
  bool AtEnd();
  // Makes sure `n` bytes stand in the look-ahead; how many do (fewer only at the end).
  size_t Peek(size_t n);
  // The look-ahead bytes; valid until the next call that reads or consumes.
  const uint8_t* PeekData() const { return buffer_.data() + head_; }
  // Drops up to `n` bytes; the count dropped.
  uint64_t Skip(uint64_t n);
  // Puts bytes back in front of the look-ahead so that a search can go over them again, without
  // seeking the source (live streams cannot).
  void Unread(const uint8_t* data, size_t n);
  // Reads at an offset from `origin` without moving the stream; -1 when not possible.
  int64_t ReadAt(int64_t offset, SeekOrigin origin, void* buffer, size_t bytes);
  // Bytes consumed since the start or the last seek, counted from the source's position then (0
  // when that is unknown): the figure frame positions are measured in.
  int64_t Position() const { return position_; }

 private:
  size_t Available() const { return tail_ - head_; }
  void Compact();

  ByteSource& source_;
  std::vector<uint8_t> buffer_;
  size_t head_ = 0;  // read offset: consuming never moves bytes, so skipping junk stays linear
  size_t tail_ = 0;
  int64_t position_ = 0;
  bool positionKnown_ = false;
  bool sourceEnded_ = false;
};

}  // namespace vk2
