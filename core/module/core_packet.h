// The command packets a callback sink receives: a run of strings, each a 32-bit big-endian byte
// length and that many bytes of big-endian UTF-16; the first is the command.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"

namespace vk2 {

// The strings of a payload, or false when a length runs past the payload or is odd.
bool ParseCommandPacket(const uint8_t* payload, uint32_t bytes, std::vector<TString>* strings);

}  // namespace vk2
