// The console window's typed lines: any text becomes a script line without harm; the line is
// trimmed, and a help request ends in "help()". Level names are read or refused, never half.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gui/console_window/console_command.h"
#include "gui/console_window/console_levels.h"

namespace {

bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const vk2::TString typed = vk2::FromNarrowString(reinterpret_cast<const char*>(data),
                                                   static_cast<int32_t>(size < 4096 ? size : 4096));
  const vk2::TString line = vk2::gui::ConsoleCommandLine(typed);
  const uint32_t length = line.Length();
  if (length > 0 && (IsBlank(line[0]) || IsBlank(line[length - 1]))) {
    // Only a help request keeps what followed "? " as typed, blanks inside included.
    if (!(length >= 6 && line[length - 1] == u')')) std::abort();
  }
  if (length > typed.Length() + 7) std::abort();
  int32_t level = -1;
  if (vk2::gui::ParseConsoleLevelName(typed, &level) != vk2::gui::IsSelectableConsoleLevel(level))
    std::abort();
  return 0;
}
