// The top menu window: a menu bar built from the command table, the installed interfaces and
// the languages, whose chosen items run their script line in the context of the window that
// holds the bar.
#pragma once

#include <functional>

#include "gui/top_menu/menu_command_table.h"
#include "gui/top_menu/top_menu_model.h"
#include "gui/window_base/module_window.h"
#include "interfaces/gui/menus.h"

namespace vk2::gui {

class TopMenuWindow final : public ModuleWindow<TopMenuWindow> {
 public:
  // `sources` gives the labels, interfaces and languages each time the menu is built.
  TopMenuWindow(MUnknown* base, std::function<TopMenuSources()> sources)
      : ModuleWindow(base), sources_(std::move(sources)) {}

  void Setup() {}
  // Builds the menu anew (ids of an older build are never reused) and shows it as the bar.
  bool Rebuild();
  MMenuWindow* Bar() { return bar_.Get(); }
  const MenuCommandTable& Commands() const { return commands_; }
  void SetTextShadow(bool shadow) { textShadow_ = shadow; }

  // A display shows the menu as a bar along its top edge.
  bool IsPage() const override { return true; }
  int32_t PageKind() override { return 0; }
  int32_t PageSize() override;
  std::array<int32_t, 4> PageBorder() override { return border_; }
  // The style hook: the reduced menu of "Velkora2"'s `devtestmode`, and from "VK2_TopMenu" the
  // text shadow, the bar's fade and the border offset. False without a definition.
  bool AttachPage(MInterfaceDefinition* definition, const TString& argument) override;
  bool Reduced() const { return reduced_; }
  bool TextShadow() const { return textShadow_; }
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;

 private:
  std::function<TopMenuSources()> sources_;
  MenuCommandTable commands_;
  RefPtr<MMenuWindow> bar_;
  bool textShadow_ = true;
  bool reduced_ = false;
  int32_t barFadeMs_ = 0;
  std::array<int32_t, 4> border_{};
};

}  // namespace vk2::gui
