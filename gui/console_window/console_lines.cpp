#include "gui/console_window/console_lines.h"

#include "gui/console_window/console_levels.h"
#include "interfaces/runtime/console.h"

namespace vk2::gui {

std::vector<ConsoleLine> LayOutConsoleLines(MConsole* console, int32_t minLevel,
                                            int32_t usableHeight,
                                            const std::function<int32_t(const TString&)>& measure) {
  std::vector<ConsoleLine> lines;
  uint32_t newest = 0;
  uint32_t count = 0;
  if (!console || console->GetNewest(&newest, &count) != 0) return lines;
  int32_t bottom = usableHeight;
  for (uint32_t walked = 0; walked < count && bottom > 0; ++walked) {
    ConsoleLine line;
    // Messages dropped by the console while we walk end the walk.
    if (console->GetEntry(&line.text, newest - walked, &line.level) != 0) break;
    if (line.level < minLevel) continue;
    line.height = measure ? measure(line.text) : 0;
    // A line that measures nothing would keep the walk going through the whole log.
    if (line.height <= 0) continue;
    line.top = bottom - line.height;
    line.color = ConsoleLevelColor(line.level);
    bottom = line.top;
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace vk2::gui
