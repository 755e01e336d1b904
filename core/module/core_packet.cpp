#include "core/module/core_packet.h"

#include "core/text/network_string.h"

namespace vk2 {

bool ParseCommandPacket(const uint8_t* payload, uint32_t bytes, std::vector<TString>* strings) {
  strings->clear();
  if (!payload && bytes) return false;
  uint64_t at = 0;
  while (at < bytes) {
    if (bytes - at < 4) return false;
    const uint32_t length = (uint32_t{payload[at]} << 24) | (uint32_t{payload[at + 1]} << 16) |
                            (uint32_t{payload[at + 2]} << 8) | uint32_t{payload[at + 3]};
    at += 4;
    if ((length & 1) != 0 || length > bytes - at) return false;
    TString text;
    if (ReadNetworkString(&text, payload + at, bytes - at, length / 2) < 0) return false;
    strings->push_back(std::move(text));
    at += length;
  }
  return true;
}

}  // namespace vk2
