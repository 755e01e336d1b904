// The console window's least severe level shown, changed from scripts (any thread) and read
// when the window draws.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "gui/console_window/console_levels.h"
#include "gui/console_window/console_script.h"

namespace vk2::gui {

class ConsoleFilter final : public ConsoleLevelTarget {
 public:
  // `changed` asks for a repaint (thread-safe).
  explicit ConsoleFilter(std::function<void()> changed = {}) : changed_(std::move(changed)) {}

  // Takes 1, 2, 6 or 7 and asks for a repaint; anything else is refused and changes nothing.
  bool SetMinLevel(int32_t level) override;
  int32_t MinLevel() const { return level_.load(std::memory_order_acquire); }

 private:
  std::function<void()> changed_;
  std::atomic<int32_t> level_{kConsoleDefaultMinLevel};
};

}  // namespace vk2::gui
