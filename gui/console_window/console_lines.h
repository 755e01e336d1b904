// Which console messages the console window shows: the newest ones that fit above the command
// entry, at or above the least severe level chosen, bottom up.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "foundation/text/tstring.h"

namespace vk2 {
class MConsole;
}

namespace vk2::gui {

struct ConsoleLine {
  TString text;
  int32_t level = 0;
  uint32_t color = 0;
  int32_t top = 0;  // may be negative: the oldest line shown can be cut at the top
  int32_t height = 0;
};

// Newest first. `measure` gives a text's height at the window's width.
std::vector<ConsoleLine> LayOutConsoleLines(MConsole* console, int32_t minLevel,
                                            int32_t usableHeight,
                                            const std::function<int32_t(const TString&)>& measure);

}  // namespace vk2::gui
