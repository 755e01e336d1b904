#include "audio/decoders/mpeg/byte_source.h"

#include <algorithm>
#include <cstring>

namespace vk2 {

size_t MemoryByteSource::Read(void* buffer, size_t length) {
  size_t n = std::min(length, size_ - position_);
  if (n) std::memcpy(buffer, data_ + position_, n);
  position_ += n;
  return n;
}

int64_t MemoryByteSource::ReadAt(int64_t offset, void* buffer, size_t length) {
  if (live_ || offset < 0 || static_cast<uint64_t>(offset) > size_) return -1;
  size_t n = std::min(length, size_ - static_cast<size_t>(offset));
  if (n) std::memcpy(buffer, data_ + offset, n);
  return static_cast<int64_t>(n);
}

bool MemoryByteSource::Seek(int64_t offset) {
  if (live_ || offset < 0 || static_cast<uint64_t>(offset) > size_) return false;
  position_ = static_cast<size_t>(offset);
  return true;
}

}  // namespace vk2
