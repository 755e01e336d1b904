// The window type an interface uses for its top-level windows: a Generic markup window drawn
// with the application's display font, with a status listener list of its own, that takes
// files dropped on it into the default playlist.
#pragma once

#include "gui/window_base/module_window.h"
#include "interfaces/gui/gui_application.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui {

class InterfaceWindow final : public ModuleWindow<InterfaceWindow> {
 public:
  // `guiMain` (may be null) takes the dropped files; `displayFont` (may be null) is the
  // window's font.
  InterfaceWindow(MUnknown* base, MGuiMain* guiMain, MFont* displayFont)
      : ModuleWindow(base), guiMain_(guiMain), displayFont_(displayFont) {}

  // Sets the font and adds the quiet listener list to the window's parts.
  void Setup();
  // The type has no style of its own: the Generic window's attributes are all it reads.
  void LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface) {
    (void)markup;
    (void)iface;
  }

  int32_t OnNotify(uint32_t code, uintptr_t argument) override;

 private:
  RefPtr<MGuiMain> guiMain_;
  RefPtr<MFont> displayFont_;
};

}  // namespace vk2::gui
