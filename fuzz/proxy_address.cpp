// Proxy addresses as the network settings give them.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "oru/network/proxy_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vk2::NetProxy proxy =
      vk2::oru::ParseProxyAddress(std::string_view(reinterpret_cast<const char*>(data), size));
  // A usable proxy always names a host and a port.
  if (!proxy.host.empty() && proxy.port == 0) __builtin_trap();
  return 0;
}
