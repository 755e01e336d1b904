// Where the URL reader's connections take their proxy from (the media core's settings); a
// connection given none goes direct.
#pragma once

#include "interfaces/runtime/network.h"

namespace vk2 {

class ProxySource {
 public:
  virtual ~ProxySource() = default;
  // Gives a new connection the proxy the settings name now, if any.
  virtual void ApplyTo(MNetwork& connection) = 0;
};

}  // namespace vk2
