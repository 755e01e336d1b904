// Length-counted network strings: the count is the peer's claim, so any count against any bytes
// gives the string exactly or -1 with the caller's string untouched, never a read past the bytes
// or an allocation the bytes cannot back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/text/network_string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  const uint32_t count = static_cast<uint32_t>(data[0]) | static_cast<uint32_t>(data[1]) << 8 |
                         static_cast<uint32_t>(data[2]) << 16 |
                         static_cast<uint32_t>(data[3]) << 24;
  const uint8_t* source = data + 4;
  const size_t available = size - 4;
  vk2::TString text(u"kept");
  const int64_t used = vk2::ReadNetworkString(&text, source, available, count);
  if (used < 0) {
    if (used != -1 || text.Length() != 4 || text.c_str()[0] != u'k') std::abort();
    return 0;
  }
  if (used != int64_t{count} * 2 || static_cast<size_t>(used) > available) std::abort();
  if (text.Length() != count) std::abort();
  for (uint32_t i = 0; i < count; ++i) {
    if (text.c_str()[i] != static_cast<char16_t>(source[2 * i] << 8 | source[2 * i + 1])) {
      std::abort();
    }
  }
  return 0;
}
