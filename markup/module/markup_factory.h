// What the markup engine serves through tessel's main class factory.
#pragma once

#include <cstdint>

#include "foundation/util/guid.h"

namespace vk2::markup {

// True when the markup engine serves `iid`; then `*out` gets the new object (one reference)
// and `*result` the factory's answer.
bool CreateMarkupInstance(const Guid& iid, void** out, int32_t* result);

}  // namespace vk2::markup
