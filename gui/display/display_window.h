// The display window type: the content area of an interface showing pages by name (a named
// window class given as identifier text, or a border element of the interface), bars docked
// around one fill page, with a history of fill pages that scripts walk with DisplayWindow,
// ToggleWindow and History.
#pragma once

#include "gui/display/display_pages.h"
#include "gui/window_base/module_window.h"
#include "interfaces/gui/app_state.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui {

class DisplayWindow final : public ModuleWindow<DisplayWindow> {
 public:
  // `initialPages` gives the `display_state` preference's text when no state record holds the
  // display's pages.
  DisplayWindow(MUnknown* base, std::function<TString()> initialPages);
  ~DisplayWindow() override;

  // Names the script object and adds the three methods.
  void Setup();
  // Holds the interface definition, reads the dev-test flag and the display area's background.
  void LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface);
  DisplayPages& Pages() { return pages_; }

  int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;
  int32_t HasOwnContent() override { return background_ ? 0 : 1; }

 private:
  std::shared_ptr<DisplayPage> MakePage(const TString& name);
  int32_t AnimationDuration();
  // The state record of the interface window around the display, or null.
  MAppStateStore* FindStateStore();
  // Shows the pages the state record names, or else those of the preference.
  void ShowStartPages();

  std::function<TString()> initialPages_;
  DisplayPages pages_;
  RefPtr<MInterfaceDefinition> definition_;
  RefPtr<MImageStyleDrawing> background_;
  bool started_ = false;
};

}  // namespace vk2::gui
