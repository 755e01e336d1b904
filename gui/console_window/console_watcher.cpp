#include "gui/console_window/console_watcher.h"

namespace vk2::gui {

ConsoleWatcher::~ConsoleWatcher() {
  Stop();
}

bool ConsoleWatcher::Watch(MConsole* console) {
  Stop();
  if (!console || console->AddRemoveListener(this, 1) != 0) return false;
  console->AddRef();
  console_ = console;
  return true;
}

void ConsoleWatcher::Stop() {
  if (!console_) return;
  console_->AddRemoveListener(this, 0);
  console_->Release();
  console_ = nullptr;
}

bool ConsoleWatcher::OnConsoleNotify(uint32_t code) {
  if (code != kConsoleNewOutput) return false;
  if (!pending_.exchange(true, std::memory_order_acq_rel) && post_) post_();
  return true;
}

}  // namespace vk2::gui
