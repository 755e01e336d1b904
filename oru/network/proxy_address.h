// The proxy that settings text names: "http://host:port/...", "host:port" or "host" (port 80).
#pragma once

#include <string_view>

#include "platform/net/net_connection.h"

namespace vk2::oru {

// An empty host (a direct connection) when the text names no usable proxy.
NetProxy ParseProxyAddress(std::string_view url);

}  // namespace vk2::oru
