#include "tests/support/files.h"

namespace vk2::test {

uint8_t PatternByte(int64_t offset) {
  return static_cast<uint8_t>((offset * 7 + (offset >> 8) * 13 + (offset >> 16)) & 0xFF);
}

std::vector<uint8_t> PatternBytes(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i)
    v[i] = PatternByte(static_cast<int64_t>(i));
  return v;
}

}  // namespace vk2::test
