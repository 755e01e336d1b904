// Length-counted UTF-16 text in network byte order, as peers send it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2 {

// Reads `count` big-endian 16-bit units from `source` (`available` bytes long, any alignment)
// into `string` and returns the bytes consumed (2 x count). When the source is too short or the
// string cannot be allocated, returns -1 and leaves `string` unchanged.
int64_t ReadNetworkString(TString* string, const void* source, size_t available, uint32_t count);

}  // namespace vk2
