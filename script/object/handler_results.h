// What script handlers and script runs answer when they fail, as codes of the runtime's
// "Basic Errors" table.
#pragma once

#include <cstdint>

#include "foundation/util/result.h"

namespace vk2 {

// The arguments do not unpack to what the handler takes.
inline constexpr int32_t kHandlerBadArguments = kErrOutOfMemory;
// No object to act on, or the operation failed (its message already reported).
inline constexpr int32_t kHandlerFailed = kErrRefused;
// A script run ended in an error, reported with its position.
inline constexpr int32_t kScriptRunFailed = kErrMissingArg;

}  // namespace vk2
