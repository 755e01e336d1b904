// Big-endian reading over a byte range that never steps outside it: a read past the end sets
// the failed flag and yields zeros, so a parser checks once per structure.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vk2::oru {

class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  int16_t I16() { return static_cast<int16_t>(U16()); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // The next `count` bytes, or null (and failed) when fewer remain.
  const uint8_t* Take(uint64_t count);
  void Skip(uint64_t count) { Take(count); }
  // A reader over the next `count` bytes; this one moves past them.
  ByteReader Sub(uint64_t count);

  size_t Position() const { return at_; }
  size_t Remaining() const { return size_ - at_; }
  bool Failed() const { return failed_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
  bool failed_ = false;
};

}  // namespace vk2::oru
