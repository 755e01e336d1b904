// The settings window: a menu of the preference tree's branches above the pane shown and, below
// it, the chosen pane's dialog loaded from the pane's archive into a container window. The old
// container fades out when another pane is chosen.
#pragma once

#include <memory>
#include <mutex>

#include "gui/prefs_tree/preference_tree.h"
#include "gui/settings_window/dialog_fit.h"
#include "gui/settings_window/settings_menu_model.h"
#include "gui/settings_window/settings_pane.h"
#include "gui/window_base/module_window.h"
#include "gui/window_base/style_element.h"
#include "interfaces/gui/controls.h"
#include "interfaces/gui/menus.h"
#include "interfaces/markup/interface_loader.h"

namespace vk2::gui {

class SettingsWindow final : public ModuleWindow<SettingsWindow> {
 public:
  // `tree` builds the preference tree (the registry's in the module); `makeProvider` makes a
  // pane's class.
  SettingsWindow(MUnknown* base, std::function<void(PreferenceTree*)> tree,
                 PaneProviderMaker makeProvider);
  ~SettingsWindow() override;

  void Setup();
  // The style hook: background and border offset from "VK2_SettingsWindow"; false without a
  // definition.
  bool LoadStyle(MInterfaceDefinition* iface);

  uint32_t LastPane() const { return lastPane_; }
  const SettingsMenu& Menu() const { return menu_; }
  // The dialog of the pane shown, or null.
  MWindowElement* Dialog() { return dialog_.Get(); }
  // The scroll bars of the pane's area (vertical at the right, horizontal at the bottom).
  MScrollBar* VerticalBar() { return bars_[0].Get(); }
  MScrollBar* HorizontalBar() { return bars_[1].Get(); }

  bool IsPage() const override { return true; }
  TString PageState() override { return TString::Format(u"%d", static_cast<int32_t>(lastPane_)); }
  std::array<int32_t, 4> PageBorder() override;
  bool AttachPage(MInterfaceDefinition* definition, const TString& argument) override;

  int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t OnNotify(uint32_t code, uintptr_t argument) override;
  // A resized container refits its dialog.
  int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) override;

 private:
  void BuildMenu(const PreferenceNode* shown);
  void ShowPane(const PreferenceNode* node, bool fade);
  int32_t AnimationDuration();
  // The bars along the pane's right and bottom edges, hidden until a dialog overflows.
  void AddScrollBars();
  // Lets the container pan over as much of the dialog as does not fit and shows the bars
  // that takes.
  void FitDialogToContainer();

  std::function<void(PreferenceTree*)> buildTree_;
  PaneProviderMaker makeProvider_;
  std::unique_ptr<PreferenceTree> tree_;
  RefPtr<MInterfaceDefinition> definition_;
  RefPtr<MImageStyleDrawing> background_;
  BorderOffset border_;
  SettingsMenu menu_;
  RefPtr<MMenuWindow> menuWindow_;
  std::recursive_mutex paneMutex_;
  RefPtr<MWindowElement> container_;
  RefPtr<MWindowElement> dialog_;
  RefPtr<MScrollBar> bars_[2];
  RefPtr<MInterfaceLoader> paneDocument_;  // the shown dialog's document
  uint32_t lastPane_ = 0;
};

}  // namespace vk2::gui
