// The console's command entry: the GUI layer's edit box keeps the line and the caret; this
// wrapper draws them with the font the console hands it and tells the console of Enter.
#pragma once

#include <functional>
#include <utility>

#include "gui/window_base/module_window.h"
#include "interfaces/gui/controls.h"

namespace vk2::gui {

class ConsoleEntry final : public ModuleWindow<ConsoleEntry> {
 public:
  ConsoleEntry(MUnknown* base, std::function<void()> entered)
      : ModuleWindow(base), entered_(std::move(entered)) {}
  void Setup() {}

  int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;

 private:
  MEditBox* EditPart();

  std::function<void()> entered_;
  bool focused_ = false;
};

}  // namespace vk2::gui
