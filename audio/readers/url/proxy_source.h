// Where the URL reader takes its proxy settings from (the media core's settings, once it
// gives them); without a source connections go direct.
#pragma once

#include "platform/net/net_connection.h"

namespace vk2 {

class ProxySource {
 public:
  virtual ~ProxySource() = default;
  // The proxy for the next connection; an empty host for none.
  virtual NetProxy Proxy() = 0;
};

}  // namespace vk2
