// Result codes of the stream readers besides the MediaSystem entries.
#pragma once

#include <cstdint>

#include "foundation/util/result.h"

namespace vk2 {

inline constexpr int32_t kReaderCannotOpen = -5;
inline constexpr int32_t kReaderWrongScheme = -8;
inline constexpr int32_t kReaderFileFailed = -11;  // a read, seek or size failed
inline constexpr int32_t kReaderNotSupported = -18;
inline constexpr int32_t kReaderOutOfRange = kErrOutOfRange;
inline constexpr int32_t kReaderNotOpen = -22;
inline constexpr int32_t kReaderAlreadyOpen = -23;

// Packets a reader hands out hold this many bytes.
inline constexpr uint32_t kReaderPacketBytes = 1024;

}  // namespace vk2
