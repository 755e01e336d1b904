#include "gui/settings_window/settings_menu_model.h"

#include <algorithm>

namespace vk2::gui {
namespace {

void AddNode(const PreferenceNode& node, std::vector<MenuEntry>* menu,
             std::vector<const PreferenceNode*>* nodes) {
  if (node.children.size() >= 2) {
    MenuEntry submenu;
    submenu.label = node.name;
    submenu.submenu = true;
    for (const PreferenceNode& child : node.children)
      AddNode(child, &submenu.items, nodes);
    // A group none of whose children gave an item would open an empty drop-down.
    if (!submenu.items.empty()) menu->push_back(std::move(submenu));
    return;
  }
  MenuEntry item;
  item.label = node.name;
  item.id = static_cast<int32_t>(nodes->size());
  nodes->push_back(&node);
  menu->push_back(std::move(item));
}

const PreferenceNode* FindNumber(const PreferenceNode& node, uint32_t number) {
  if (node.number == number) return &node;
  for (auto it = node.children.rbegin(); it != node.children.rend(); ++it) {
    if (const PreferenceNode* found = FindNumber(*it, number)) return found;
  }
  return nullptr;
}

}  // namespace

SettingsMenu BuildSettingsMenu(const PreferenceNode* shown) {
  SettingsMenu menu;
  menu.bar.submenu = true;
  std::vector<const PreferenceNode*> chain;
  for (const PreferenceNode* node = shown; node && node->parent; node = node->parent)
    chain.push_back(node);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    AddNode(**it, &menu.bar.items, &menu.nodes);
  return menu;
}

const PreferenceNode* SettingsStartNode(const PreferenceNode& root, uint32_t lastPane) {
  if (const PreferenceNode* last = FindNumber(root, lastPane)) return last;
  if (root.children.empty() || root.children.front().children.empty()) return nullptr;
  return &root.children.front().children.front();
}

ExtentI FitSettingsDialog(const ExtentI& container, const ExtentI& wanted) {
  int32_t usableWidth = container.cx;
  int32_t usableHeight = container.cy;
  if (container.cx < wanted.cx) {
    usableHeight = container.cy - kSettingsScrollBarRoom;
    if (usableHeight < wanted.cy) usableWidth = container.cx - kSettingsScrollBarRoom;
  }
  // A container smaller than the scroll bars' room gives the dialog no size rather than a
  // negative one.
  return ExtentI{std::max(0, std::min(wanted.cx, usableWidth)),
                 std::max(0, std::min(wanted.cy, usableHeight))};
}

}  // namespace vk2::gui
