#include "gui/console_window/console_levels.h"

namespace vk2::gui {
namespace {

struct LevelName {
  const char16_t* name;
  int32_t level;
};
constexpr LevelName kLevelNames[] = {{u"debug", 1}, {u"info", 2}, {u"warning", 6}, {u"error", 7}};

}  // namespace

uint32_t ConsoleLevelColor(int32_t level) {
  switch (level) {
    case 1:
      return 0xFFC0C0C0;
    case kConsoleLevelEcho:
      return 0xFF000000;
    case 6:
      return 0xFFFFFF80;
    case 7:
      return 0xFFFFC0C0;
    default:  // info, results and anything unknown
      return 0xFFFFFFFF;
  }
}

bool IsSelectableConsoleLevel(int32_t level) {
  for (const LevelName& entry : kLevelNames) {
    if (entry.level == level) return true;
  }
  return false;
}

bool ParseConsoleLevelName(const TString& name, int32_t* level) {
  for (const LevelName& entry : kLevelNames) {
    if (name.Equals(TString(entry.name), false)) {
      *level = entry.level;
      return true;
    }
  }
  return false;
}

}  // namespace vk2::gui
