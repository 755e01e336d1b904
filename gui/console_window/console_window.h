// The console window: the newest console messages coloured by severity above a one-line
// command entry whose lines run as scripts in the context of the interface window around it.
#pragma once

#include "gui/console_window/console_entry.h"
#include "gui/console_window/console_filter.h"
#include "gui/console_window/console_watcher.h"
#include "gui/window_base/module_window.h"
#include "interfaces/runtime/console.h"
#include "interfaces/script/script_engine.h"

namespace vk2::gui {

class ConsoleWindow final : public ModuleWindow<ConsoleWindow> {
 public:
  explicit ConsoleWindow(MUnknown* base);
  ~ConsoleWindow() override;

  // Starts listening to the runtime's console.
  void Setup();
  ConsoleFilter& Filter() { return filter_; }

  // Shown by a display as its fill page.
  bool IsPage() const override { return true; }
  int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;

 private:
  void MakeEntry();
  void RunEntry();
  MScriptObject* ParentScript();

  RefPtr<MConsole> console_;
  ConsoleWatcher watcher_;
  ConsoleFilter filter_;
  RefPtr<ConsoleEntry> entry_;
  RefPtr<MScriptObject> levelHolder_;  // the script object SetMinDisplayType was added to
};

}  // namespace vk2::gui
