#include "oru/network/proxy_address.h"

#include <charconv>

namespace vk2::oru {
namespace {

constexpr uint16_t kDefaultProxyPort = 80;

}  // namespace

NetProxy ParseProxyAddress(std::string_view url) {
  NetProxy proxy;
  if (const size_t scheme = url.find("://"); scheme != std::string_view::npos) {
    url.remove_prefix(scheme + 3);
  }
  url = url.substr(0, url.find('/'));
  const size_t colon = url.rfind(':');
  proxy.port = kDefaultProxyPort;
  if (colon != std::string_view::npos) {
    uint16_t port = 0;
    const std::string_view digits = url.substr(colon + 1);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (error != std::errc() || end != digits.data() + digits.size() || port == 0) return {};
    proxy.port = port;
    url = url.substr(0, colon);
  }
  if (url.empty()) return {};
  proxy.host = std::string(url);
  return proxy;
}

}  // namespace vk2::oru
