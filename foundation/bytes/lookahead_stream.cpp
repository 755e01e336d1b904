#include "foundation/bytes/lookahead_stream.h"

#include <algorithm>
#include <cstring>

namespace vk2 {

namespace {
constexpr size_t kChunk = 16384;
}  // namespace

LookaheadStream::LookaheadStream(ByteSource& source) : source_(source) {
  Reset();
}

void LookaheadStream::Reset() {
  head_ = tail_ = 0;
  sourceEnded_ = false;
  const int64_t start = source_.Tell();
  positionKnown_ = start >= 0;
  position_ = positionKnown_ ? start : 0;
}

bool LookaheadStream::AtEnd() {
  return Peek(1) == 0;
}

void LookaheadStream::Compact() {
  if (head_ == 0) return;
  std::memmove(buffer_.data(), buffer_.data() + head_, Available());
  tail_ -= head_;
  head_ = 0;
}

size_t LookaheadStream::Peek(size_t n) {
  while (Available() < n && !sourceEnded_) {
    // Move the live bytes to the front only when that frees real room; amortised linear.
    if (head_ > 0 && (head_ >= buffer_.size() / 2 || tail_ + kChunk > buffer_.size())) Compact();
    const size_t want = std::max(kChunk, n - Available());
    if (buffer_.size() < tail_ + want) buffer_.resize(tail_ + want);
    const int64_t got = source_.Read(buffer_.data() + tail_, want);
    // A failing source ends the look-ahead as the end of the stream does, until a seek.
    if (got <= 0) {
      sourceEnded_ = true;
    } else {
      tail_ += static_cast<size_t>(got);
    }
  }
  return std::min(n, Available());
}

int64_t LookaheadStream::Read(void* buffer, size_t bytes) {
  if (Available() == 0 && !sourceEnded_) {
    const int64_t got = source_.Read(buffer, bytes);
    if (got > 0) position_ += got;
    return got;
  }
  const size_t got = Peek(bytes);
  if (got) std::memcpy(buffer, buffer_.data() + head_, got);
  head_ += got;
  position_ += static_cast<int64_t>(got);
  return static_cast<int64_t>(got);
}

uint64_t LookaheadStream::Skip(uint64_t n) {
  uint64_t done = 0;
  while (done < n) {
    const size_t step = static_cast<size_t>(std::min<uint64_t>(n - done, kChunk));
    const size_t got = Peek(step);
    if (got == 0) break;
    head_ += got;
    position_ += static_cast<int64_t>(got);
    done += got;
  }
  return done;
}

void LookaheadStream::Unread(const uint8_t* data, size_t n) {
  if (n == 0) return;
  if (head_ < n) {
    const size_t live = Available();
    std::vector<uint8_t> grown(n + live + kChunk);
    if (live) std::memcpy(grown.data() + n, buffer_.data() + head_, live);
    buffer_.swap(grown);
    head_ = n;
    tail_ = n + live;
  }
  head_ -= n;
  std::memmove(buffer_.data() + head_, data, n);
  position_ -= static_cast<int64_t>(n);
}

int64_t LookaheadStream::Seek(int64_t offset, SeekOrigin origin) {
  if (origin == SeekOrigin::kCurrent && offset == 0) {
    // Only asks whether the source seeks: nothing moves, the look-ahead stays.
    return source_.Seek(0, SeekOrigin::kCurrent) < 0 ? -1 : Tell();
  }
  const int64_t target =
      SeekTarget(offset, origin, positionKnown_ ? position_ : -1, source_.Size());
  if (target < 0) return -1;
  const int64_t reached = source_.Seek(target, SeekOrigin::kBegin);
  if (reached < 0) return -1;
  head_ = tail_ = 0;
  position_ = reached;
  positionKnown_ = true;
  sourceEnded_ = false;
  return reached;
}

int64_t LookaheadStream::ReadAt(int64_t offset, void* buffer, size_t bytes) {
  return source_.ReadAt(offset, buffer, bytes);
}

int64_t LookaheadStream::ReadAt(int64_t offset, SeekOrigin origin, void* buffer, size_t bytes) {
  const int64_t target =
      SeekTarget(offset, origin, positionKnown_ ? position_ : -1, source_.Size());
  if (target < 0) return -1;
  return source_.ReadAt(target, buffer, bytes);
}

}  // namespace vk2
