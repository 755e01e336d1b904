// The settings window's menu: for the pane shown and each of its ancestors below the root, a
// submenu of its children when it has two or more, else a plain item that chooses its pane.
// An item's id is its node's index in the node list built alongside.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/text/tstring.h"
#include "gui/prefs_tree/preference_tree.h"
#include "gui/window_base/menu_entry.h"

namespace vk2::gui {

struct SettingsMenu {
  MenuEntry bar;  // from the topmost ancestor down; a plain item's id indexes `nodes`
  std::vector<const PreferenceNode*> nodes;
};

SettingsMenu BuildSettingsMenu(const PreferenceNode* shown);

// The pane shown when the window opens: the node numbered `lastPane` (depth first, children
// from the last to the first), else the first child of the root's first child; null when the
// tree has neither.
const PreferenceNode* SettingsStartNode(const PreferenceNode& root, uint32_t lastPane);

struct ExtentI {
  int32_t cx = 0;
  int32_t cy = 0;
  bool operator==(const ExtentI&) const = default;
};

// The size a pane's dialog gets in its container: what it wants, limited to the container less
// room for a scroll bar along each edge the dialog overflows; never below zero.
ExtentI FitSettingsDialog(const ExtentI& container, const ExtentI& wanted);

inline constexpr int32_t kSettingsScrollBarRoom = 10;

}  // namespace vk2::gui
