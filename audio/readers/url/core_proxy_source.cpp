#include "audio/readers/url/core_proxy_source.h"

#include <charconv>

#include "audio/common/audio_runtime.h"
#include "interfaces/core/core.h"
#include "interfaces/ids.h"

namespace vk2 {
namespace {

constexpr uint16_t kDefaultProxyPort = 80;

class ProxyCatcher final : public MProxyReceiver {
 public:
  void SetProxy(const ProxyRecord& proxy) override { url = proxy.url.c_str(); }
  std::string url;
};

}  // namespace

NetProxy ParseProxyUrl(std::string_view url) {
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

NetProxy CoreProxySource::Proxy() {
  RefPtr<MCore> core = AudioCreate<MCore>(kMediaCoreClass, kIID_MCore);
  if (!core) return {};
  ProxyCatcher catcher;
  if (core->GetProxySettings(&catcher) < 0 || catcher.url.empty()) return {};
  return ParseProxyUrl(catcher.url);
}

}  // namespace vk2
