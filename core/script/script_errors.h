// Failure texts and result codes shared by every core script function: one place turns a result
// code into its message, one place tells a benign code from a real failure.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/runtime/error_registry.h"

namespace vk2 {

// What a native script function answers.
inline constexpr int32_t kScriptDone = 0;
inline constexpr int32_t kScriptNoTarget = -2;      // a player lookup gave nothing to act on
inline constexpr int32_t kScriptBadArguments = -3;  // the language reports the bad parameters
inline constexpr int32_t kScriptReported = -4;      // the handler wrote its own message

// The runtime's error service, or null when there is no runtime.
RefPtr<MErrorRegistry> MakeErrorRegistry();

// The message of `code` in any registered table, or "unknown error".
TString ErrorText(MErrorRegistry* registry, int32_t code);

// True when `code` is entry `entry` of the table named `table`.
bool IsErrorInCategory(MErrorRegistry* registry, int32_t code, uint32_t entry, const char* table);

}  // namespace vk2
