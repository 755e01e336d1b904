// The runtime's enumeration service. Its users only hold it for their lifetime, so it offers no
// operation of its own yet; folder listings and package descriptions live with their users.
#pragma once

#include "interfaces/unknown.h"

namespace vk2 {

class MEnumerationService : public MUnknown {
 protected:
  ~MEnumerationService() = default;
};

}  // namespace vk2
