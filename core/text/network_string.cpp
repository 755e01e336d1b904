#include "core/text/network_string.h"

#include <limits>

namespace vk2 {

int64_t ReadNetworkString(TString* string, const void* source, size_t available, uint32_t count) {
  if (!string) return -1;
  if (count == 0) {
    string->Release();
    return 0;
  }
  if (!source || count == std::numeric_limits<uint32_t>::max() ||
      available / 2 < static_cast<size_t>(count)) {
    return -1;
  }
  TString text;
  if (!text.Reserve(count + 1)) return -1;
  const auto* bytes = static_cast<const uint8_t*>(source);
  char16_t* out = text.WritableData();
  for (uint32_t i = 0; i < count; ++i)
    out[i] = static_cast<char16_t>((bytes[2 * i] << 8) | bytes[2 * i + 1]);
  out[count] = 0;
  *string = std::move(text);
  return static_cast<int64_t>(count) * 2;
}

}  // namespace vk2
