// Result codes shared by every interface: 0 or positive for success, negative for failure.
#pragma once

#include <cstdint>

namespace vk2 {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kErrFailed = -1;
inline constexpr int32_t kErrOutOfMemory = -3;
inline constexpr int32_t kErrNotFound = -5;      // a name or index not found
inline constexpr int32_t kErrMissingArg = -9;    // a missing or empty argument
inline constexpr int32_t kErrNoInterface = -15;  // no such class or interface served

constexpr bool Succeeded(int32_t r) { return r >= 0; }
constexpr bool Failed(int32_t r) { return r < 0; }

}  // namespace vk2
