#include "audio/decoders/mpeg/bit_reader.h"

#include <algorithm>
#include <cstring>

namespace vk2 {

namespace {
constexpr size_t kChunk = 16384;
constexpr size_t kFramePadding = 8;  // GetBits loads eight bytes at a time
}  // namespace

MpegBitReader::MpegBitReader(MpegByteSource& source) : source_(source) {
  int64_t start = source_.Position();
  position_ = start < 0 ? 0 : start;
  frame_.assign(kFramePadding, 0);
}

bool MpegBitReader::AtEnd() {
  return Peek(1) == 0;
}

void MpegBitReader::Compact() {
  if (head_ == 0) return;
  std::memmove(buffer_.data(), buffer_.data() + head_, Available());
  tail_ -= head_;
  head_ = 0;
}

size_t MpegBitReader::Peek(size_t n) {
  while (Available() < n && !sourceEnded_) {
    // Move the live bytes to the front only when that frees real room; amortised linear.
    if (head_ > 0 && (head_ >= buffer_.size() / 2 || tail_ + kChunk > buffer_.size())) Compact();
    size_t want = std::max(kChunk, n - Available());
    if (buffer_.size() < tail_ + want) buffer_.resize(tail_ + want);
    size_t got = source_.Read(buffer_.data() + tail_, want);
    tail_ += got;
    if (got == 0) sourceEnded_ = true;
  }
  return std::min(n, Available());
}

size_t MpegBitReader::Read(void* buffer, size_t n, bool consume) {
  size_t got = Peek(n);
  if (got) std::memcpy(buffer, buffer_.data() + head_, got);
  if (consume) {
    head_ += got;
    position_ += static_cast<int64_t>(got);
  }
  return got;
}

bool MpegBitReader::ReadByte(uint8_t& out) {
  return Read(&out, 1) == 1;
}

uint64_t MpegBitReader::Skip(uint64_t n) {
  uint64_t done = 0;
  while (done < n) {
    size_t step = static_cast<size_t>(std::min<uint64_t>(n - done, kChunk));
    size_t got = Peek(step);
    if (got == 0) break;
    head_ += got;
    position_ += static_cast<int64_t>(got);
    done += got;
  }
  return done;
}

void MpegBitReader::Unread(const uint8_t* data, size_t n) {
  if (n == 0) return;
  if (head_ < n) {
    size_t live = Available();
    std::vector<uint8_t> grown(n + live + kChunk);
    std::memcpy(grown.data() + n, buffer_.data() + head_, live);
    buffer_.swap(grown);
    head_ = n;
    tail_ = n + live;
  }
  head_ -= n;
  std::memmove(buffer_.data() + head_, data, n);
  position_ -= static_cast<int64_t>(n);
}

bool MpegBitReader::LoadFrame(size_t n) {
  if (frame_.size() < n + kFramePadding) frame_.resize(n + kFramePadding);
  size_t got = Read(frame_.data(), n);
  std::memset(frame_.data() + got, 0, kFramePadding + (n - got));
  frameLength_ = got;
  bitPosition_ = 0;
  return got == n;
}

bool MpegBitReader::Seek(int64_t offset) {
  if (offset < 0 || !source_.Seek(offset)) return false;
  head_ = tail_ = 0;
  position_ = offset;
  sourceEnded_ = false;
  return true;
}

int64_t MpegBitReader::ReadAt(int64_t offset, int origin, void* buffer, size_t length) {
  int64_t target = offset;
  if (origin == 1) {
    target += position_;
  } else if (origin == 2) {
    int64_t size = source_.Size();
    if (size <= 0) return -1;
    target += size;
  }
  if (target < 0) return -1;
  return source_.ReadAt(target, buffer, length);
}

}  // namespace vk2
