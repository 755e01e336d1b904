// The proxy the media core's settings name ("proxy" preferences), asked for each connection so
// that a change applies to the next stream opened. Without a media core, connections go direct.
#pragma once

#include <string_view>

#include "audio/readers/url/proxy_source.h"

namespace vk2 {

class CoreProxySource final : public ProxySource {
 public:
  NetProxy Proxy() override;
};

// "http://host:port/..." or "host:port" as a proxy (port 80 when none is given); an empty host
// when the text names none.
NetProxy ParseProxyUrl(std::string_view url);

}  // namespace vk2
