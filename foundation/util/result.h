// Result codes shared by every interface: 0 or positive for success, negative for failure.
#pragma once

#include <cstdint>

namespace vk2 {

inline constexpr int32_t kOk = 0;

// The runtime's "Basic Errors" table: entry N is code -(N + 1), its message the runtime's.
inline constexpr int32_t kErrFailed = -1;
inline constexpr int32_t kErrNoService = -2;       // a required service is not available
inline constexpr int32_t kErrOutOfMemory = -3;     // also: a null result
inline constexpr int32_t kErrRefused = -4;         // the operation was refused
inline constexpr int32_t kErrNotFound = -5;        // a name or index not found
inline constexpr int32_t kErrAlreadyPresent = -6;  // e.g. a callback registered twice
inline constexpr int32_t kErrCannotRead = -7;      // the data could not be read
inline constexpr int32_t kErrWrongState = -8;      // not valid in the current state
inline constexpr int32_t kErrMissingArg = -9;      // a missing or empty argument
inline constexpr int32_t kErrCannotWrite = -10;    // the data could not be written
inline constexpr int32_t kErrTimedOut = -11;
inline constexpr int32_t kErrCancelled = -12;
inline constexpr int32_t kErrAccessDenied = -13;
inline constexpr int32_t kErrVersionUnsupported = -14;
inline constexpr int32_t kErrNoInterface = -15;  // no such class or interface served
inline constexpr int32_t kErrBadData = -16;      // not in the expected format
inline constexpr int32_t kErrResourceNotFound = -17;
inline constexpr int32_t kErrCannotOpen = -18;    // the file could not be opened
inline constexpr int32_t kErrCannotCreate = -19;  // the object could not be created
inline constexpr int32_t kErrNotSupported = -20;  // the operation is not supported

// Past the table, with no message of their own: the codes property setters and readers share.
inline constexpr int32_t kErrOutOfRange = -21;  // a value or position out of range

constexpr bool Succeeded(int32_t r) {
  return r >= 0;
}
constexpr bool Failed(int32_t r) {
  return r < 0;
}

}  // namespace vk2
