// The proxy that settings text names.
#include "oru/network/proxy_address.h"

#include <gtest/gtest.h>

namespace vk2::test {
namespace {

TEST(ProxyAddressTest, SettingsTextGivesHostAndPort) {
  const struct {
    const char* url;
    const char* host;
    uint16_t port;
  } cases[] = {
      {"http://127.0.0.1:3128", "127.0.0.1", 3128},
      {"http://127.0.0.1:3128/", "127.0.0.1", 3128},
      {"127.0.0.1:8080", "127.0.0.1", 8080},
      {"http://proxy.local", "proxy.local", 80},
      {"proxy.local/path:99", "proxy.local", 80},
      {"http://[::1]:8080/", "::1", 8080},
      {"[::1]", "::1", 80},
      {"[::1", "", 0},
      {"[::1]x", "", 0},
      {"[]:80", "", 0},
      {"http://:3128", "", 0},
      {"http://host:port", "", 0},
      {"http://host:99999", "", 0},
      {"http://host:0", "", 0},
      {"http://host:", "", 0},
      {"", "", 0},
  };
  for (const auto& c : cases) {
    const NetProxy proxy = oru::ParseProxyAddress(c.url);
    EXPECT_EQ(proxy.host, c.host) << c.url;
    EXPECT_EQ(proxy.port, c.port) << c.url;
  }
}

}  // namespace
}  // namespace vk2::test
