// The console window's severities: the colour each level is drawn in, and the levels a user
// may choose as the least severe one shown.
#pragma once

#include <cstdint>

#include "foundation/text/tstring.h"

namespace vk2::gui {

inline constexpr int32_t kConsoleLevelEcho = 4;    // a command as typed
inline constexpr int32_t kConsoleLevelResult = 5;  // what a command gave back
inline constexpr int32_t kConsoleDefaultMinLevel = 2;

// ARGB colour of a line of `level`.
uint32_t ConsoleLevelColor(int32_t level);
// Only debug (1), info (2), warning (6) and error (7) can be the least severe level shown.
bool IsSelectableConsoleLevel(int32_t level);
// "debug", "info", "warning" or "error", in any case; false for anything else.
bool ParseConsoleLevelName(const TString& name, int32_t* level);

}  // namespace vk2::gui
