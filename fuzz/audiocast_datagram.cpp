// Metadata datagrams of the audiocast side channel.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "audio/readers/url/audiocast_datagram.h"
#include "platform/net/header_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  vk2::HeaderList headers;
  vk2::ForEachAudiocastHeader(std::string_view(reinterpret_cast<const char*>(data), size),
                              [&](std::string_view name, std::string_view value) {
                                headers.Set(name, value);
                                if (headers.Find("x-audiocast-udpseqnr")) {
                                  headers.Remove("x-audiocast-udpseqnr");
                                }
                              });
  return 0;
}
