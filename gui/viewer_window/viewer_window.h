// The viewer window: a frame that opens the built-in interface's visual viewer inside itself.
#pragma once

#include "gui/window_base/module_window.h"
#include "interfaces/gui/gui_application.h"

namespace vk2::gui {

class ViewerWindow final : public ModuleWindow<ViewerWindow> {
 public:
  ViewerWindow(MUnknown* base, MGuiMain* guiMain) : ModuleWindow(base), guiMain_(guiMain) {}

  void Setup() {}
  // Whether the built-in window was opened (false: the viewer is an empty frame).
  bool Opened() const { return opened_; }

  // Shown by a display as its fill page.
  bool IsPage() const override { return true; }
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;

 private:
  RefPtr<MGuiMain> guiMain_;
  bool opened_ = false;
};

}  // namespace vk2::gui
