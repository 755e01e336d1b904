// The top menu window: a menu bar built from the command table, the installed interfaces and
// the languages, whose chosen items run their script line in the context of the window that
// holds the bar.
#pragma once

#include <functional>

#include "gui/top_menu/menu_command_table.h"
#include "gui/top_menu/top_menu_model.h"
#include "gui/top_menu/top_menu_style.h"
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
  void SetTextShadow(bool shadow) { style_.textShadow = shadow; }

  // A display shows the menu as a bar along its top edge.
  bool IsPage() const override { return true; }
  int32_t PageKind() override { return 0; }
  int32_t PageSize() override;
  std::array<int32_t, 4> PageBorder() override { return style_.border; }
  // The style hook: reads the style (top_menu_style.h). False without a definition.
  bool AttachPage(MInterfaceDefinition* definition, const TString& argument) override;
  const TopMenuStyle& Style() const { return style_; }
  bool Reduced() const { return style_.reduced; }
  bool TextShadow() const { return style_.textShadow; }
  // The bar's background image, or grey while no style was read.
  int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;

 private:
  std::function<TopMenuSources()> sources_;
  MenuCommandTable commands_;
  RefPtr<MMenuWindow> bar_;
  TopMenuStyle style_;
};

}  // namespace vk2::gui
