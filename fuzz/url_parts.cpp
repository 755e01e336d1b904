// URLs as users and playlists give them, and Location answers resolved against them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/net/url_parts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto parts = vk2::ParseUrl(text);
  if (parts) {
    (void)vk2::HostHeader(*parts);
    (void)vk2::WirePath(parts->path);
    const size_t half = size / 2;
    (void)vk2::ResolveLocation(*parts, text.substr(half));
  }
  return 0;
}
