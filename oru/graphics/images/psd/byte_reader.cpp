#include "oru/graphics/images/psd/byte_reader.h"

namespace vk2::oru {

const uint8_t* ByteReader::Take(uint64_t count) {
  if (failed_ || count > size_ - at_) {
    failed_ = true;
    at_ = size_;
    return nullptr;
  }
  const uint8_t* p = data_ + at_;
  at_ += static_cast<size_t>(count);
  return p;
}

uint8_t ByteReader::U8() {
  const uint8_t* p = Take(1);
  return p ? p[0] : 0;
}

uint16_t ByteReader::U16() {
  const uint8_t* p = Take(2);
  return p ? static_cast<uint16_t>(p[0] << 8 | p[1]) : 0;
}

uint32_t ByteReader::U32() {
  const uint8_t* p = Take(4);
  return p ? uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3] : 0;
}

ByteReader ByteReader::Sub(uint64_t count) {
  const uint8_t* p = Take(count);
  ByteReader sub(p, p ? static_cast<size_t>(count) : 0);
  if (!p) sub.failed_ = true;
  return sub;
}

}  // namespace vk2::oru
