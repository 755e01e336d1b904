#include "oru/network/proxy_address.h"

#include <charconv>

namespace vk2::oru {
namespace {

constexpr uint16_t kDefaultProxyPort = 80;

// "1" to "65535" and nothing else; 0 otherwise.
uint16_t PortNumber(std::string_view digits) {
  uint16_t port = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
  if (error != std::errc() || end != digits.data() + digits.size()) return 0;
  return port;
}

}  // namespace

NetProxy ParseProxyAddress(std::string_view url) {
  if (const size_t scheme = url.find("://"); scheme != std::string_view::npos) {
    url.remove_prefix(scheme + 3);
  }
  url = url.substr(0, url.find('/'));
  std::string_view host = url;
  std::string_view rest;
  if (url.starts_with('[')) {
    // An IPv6 literal: its colons are no port.
    const size_t close = url.find(']');
    if (close == std::string_view::npos) return {};
    host = url.substr(1, close - 1);
    rest = url.substr(close + 1);
    if (!rest.empty() && !rest.starts_with(':')) return {};
  } else if (const size_t colon = url.rfind(':'); colon != std::string_view::npos) {
    host = url.substr(0, colon);
    rest = url.substr(colon);
  }
  NetProxy proxy;
  proxy.port = rest.empty() ? kDefaultProxyPort : PortNumber(rest.substr(1));
  if (host.empty() || proxy.port == 0) return {};
  proxy.host = std::string(host);
  return proxy;
}

}  // namespace vk2::oru
