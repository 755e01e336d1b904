#include "oru/graphics/images/psd/packbits.h"

#include <cstring>

namespace vk2::oru {

bool UnpackBitsRow(const uint8_t* data, size_t size, uint8_t* out, size_t width) {
  size_t in = 0;
  size_t done = 0;
  while (in < size) {
    const int8_t head = static_cast<int8_t>(data[in++]);
    if (head >= 0) {
      const size_t count = static_cast<size_t>(head) + 1;
      if (count > size - in || count > width - done) return false;
      std::memcpy(out + done, data + in, count);
      in += count;
      done += count;
    } else if (head != -128) {  // -128 is a no-op
      const size_t count = static_cast<size_t>(1 - head);
      if (in >= size || count > width - done) return false;
      std::memset(out + done, data[in++], count);
      done += count;
    }
  }
  return done == width;
}

}  // namespace vk2::oru
