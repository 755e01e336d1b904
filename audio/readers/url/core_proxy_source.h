// The proxy the media core's settings name ("proxy" preferences), applied by the media core
// to each connection, so that a change reaches the next connection opened. Without a media
// core, connections go direct.
#pragma once

#include "audio/readers/url/proxy_source.h"

namespace vk2 {

class CoreProxySource final : public ProxySource {
 public:
  void ApplyTo(MNetwork& connection) override;
};

}  // namespace vk2
