#include "gui/console_window/console_filter.h"

namespace vk2::gui {

bool ConsoleFilter::SetMinLevel(int32_t level) {
  if (!IsSelectableConsoleLevel(level)) return false;
  level_.store(level, std::memory_order_release);
  if (changed_) changed_();
  return true;
}

}  // namespace vk2::gui
