// The settings window's menu built from the preference tree, the pane it opens with, and the
// room its dialog leaves for the scroll bars.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/object/com_object.h"
#include "gui/settings_window/settings_menu_model.h"
#include "gui/settings_window/settings_pane.h"
#include "interfaces/ids.h"
#include "tests/gui/windows/window_test_text.h"

namespace vk2::gui {
namespace {

// "label" for a plain item (with its node's name), "label[...]" for a submenu.
std::string Shape(const std::vector<MenuEntry>& items, const SettingsMenu& menu) {
  std::string out;
  for (const MenuEntry& item : items) {
    if (!out.empty()) out += " ";
    if (item.submenu) {
      out += Text(item.label) + "[" + Shape(item.items, menu) + "]";
    } else {
      out += Text(item.label);
      EXPECT_EQ(menu.nodes.at(item.id)->name, item.label);
    }
  }
  return out;
}

PreferenceNode& Add(PreferenceNode& parent, const char16_t* name, uint32_t number) {
  PreferenceNode node;
  node.name = name;
  node.number = number;
  parent.children.push_back(std::move(node));
  return parent.children.back();
}

void LinkParents(PreferenceNode& node) {
  for (PreferenceNode& child : node.children) {
    child.parent = &node;
    LinkParents(child);
  }
}

// root
//   preferences: languages, playlist, audio (one child: output), network
//   audio plugins: equalizer
struct Tree {
  Tree() {
    root.name = u"root";
    root.number = 1;
    PreferenceNode& prefs = Add(root, u"preferences", 2);
    Add(prefs, u"languages", 3);
    Add(prefs, u"playlist", 4);
    PreferenceNode& audio = Add(prefs, u"audio", 5);
    Add(audio, u"output", 6);
    Add(prefs, u"network", 7);
    PreferenceNode& plugins = Add(root, u"audio plugins", 8);
    Add(plugins, u"equalizer", 9);
    LinkParents(root);
  }
  const PreferenceNode& Node(size_t a, size_t b) { return root.children[a].children[b]; }
  PreferenceNode root;
};

TEST(SettingsMenuModelTest, EachAncestorGivesASubmenuOfItsChildrenOrAPlainItem) {
  Tree tree;
  // The pane of "playlist": its ancestor "preferences" has four children.
  SettingsMenu menu = BuildSettingsMenu(&tree.Node(0, 1));
  EXPECT_EQ(Shape(menu.bar.items, menu), "preferences[languages playlist audio network] playlist");
  ASSERT_EQ(menu.nodes.size(), 5u);
  EXPECT_EQ(menu.nodes[4], &tree.Node(0, 1));

  // A node with one child is a plain item, not a one-item submenu.
  const PreferenceNode& output = tree.Node(0, 2).children[0];
  menu = BuildSettingsMenu(&output);
  EXPECT_EQ(Shape(menu.bar.items, menu),
            "preferences[languages playlist audio network] audio output");

  // "audio plugins" has one child: a plain item too.
  menu = BuildSettingsMenu(&tree.Node(1, 0));
  EXPECT_EQ(Shape(menu.bar.items, menu), "audio plugins equalizer");

  EXPECT_TRUE(BuildSettingsMenu(&tree.root).bar.items.empty());
  EXPECT_TRUE(BuildSettingsMenu(nullptr).bar.items.empty());
}

TEST(SettingsMenuModelTest, StartsWithTheLastPaneOrTheFirstPaneOfTheFirstGroup) {
  Tree tree;
  EXPECT_EQ(SettingsStartNode(tree.root, 9), &tree.Node(1, 0));
  EXPECT_EQ(SettingsStartNode(tree.root, 6), &tree.Node(0, 2).children[0]);
  EXPECT_EQ(SettingsStartNode(tree.root, 0), &tree.Node(0, 0));    // none shown yet
  EXPECT_EQ(SettingsStartNode(tree.root, 555), &tree.Node(0, 0));  // a pane gone since
  PreferenceNode bare;
  bare.number = 1;
  EXPECT_EQ(SettingsStartNode(bare, 0), nullptr);
  Add(bare, u"group", 2);
  EXPECT_EQ(SettingsStartNode(bare, 0), nullptr);
}

TEST(SettingsMenuModelTest, TheDialogLeavesRoomForEachScrollBarItNeeds) {
  struct Case {
    ExtentI container;
    ExtentI wanted;
    ExtentI fitted;
  };
  const Case cases[] = {
      {{300, 200}, {250, 150}, {250, 150}},  // fits
      {{300, 200}, {400, 150}, {300, 150}},  // only wider: room at the bottom, still fits
      {{300, 200}, {400, 195}, {290, 190}},  // wider, and then too high for the reduced height
      {{300, 200}, {400, 300}, {290, 190}},  // wider and higher
      {{300, 200}, {250, 300}, {250, 200}},  // only higher: no room taken
      {{5, 5}, {10, 10}, {0, 0}},            // no room even for the bars
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.wanted.cx << "x" << c.wanted.cy);
    EXPECT_EQ(FitSettingsDialog(c.container, c.wanted), c.fitted);
  }
}

// A pane provider that gives `resource` (nothing when empty).
class FakePane final
    : public ComObject<FakePane, Face<MPrefsDialogProvider, kIID_MPrefsDialogProvider>> {
 public:
  explicit FakePane(const char16_t* resource) : resource_(resource) {}
  bool GetPane(PrefsPaneRecord* pane) override {
    pane->resourceName = resource_;
    return !resource_.IsEmpty();
  }

 private:
  TString resource_;
};

TEST(SettingsPaneTest, APaneComesFromItsClassOrTheNoSettingsClass) {
  PreferenceNode node;
  node.identifier = MakeGuid("11111111-2222-3333-4444-555555555555");
  node.number = 7;
  std::vector<std::string> asked;
  struct Case {
    const char16_t* own;  // null: the class cannot be made
    const char16_t* fallback;
    const char* shown;  // "" when nothing is shown
  };
  const Case cases[] = {{u"own.xml", u"none.xml", "own.xml"},
                        {nullptr, u"none.xml", "none.xml"},
                        {nullptr, nullptr, ""},
                        {u"", u"none.xml", ""}};  // a pane without markup keeps the shown one
  for (const Case& c : cases) {
    const PaneProviderMaker make = [&](const Guid& id) -> RefPtr<MPrefsDialogProvider> {
      const char16_t* resource = id == kNoSettingsPane ? c.fallback : c.own;
      if (!resource) return nullptr;
      return RefPtr<MPrefsDialogProvider>(
          static_cast<MPrefsDialogProvider*>(new FakePane(resource)));
    };
    PrefsPaneRecord pane;
    const bool loaded = LoadSettingsPane(node, make, &pane);
    EXPECT_EQ(loaded, *c.shown != 0);
    if (loaded) {
      EXPECT_EQ(Text(pane.resourceName), c.shown);
    }
  }
  EXPECT_TRUE(ShouldShowPane(&node, false, 7));  // opening shows it anyway
  EXPECT_FALSE(ShouldShowPane(&node, true, 7));  // chosen again: nothing happens
  EXPECT_TRUE(ShouldShowPane(&node, true, 3));
  EXPECT_FALSE(ShouldShowPane(nullptr, true, 3));
  EXPECT_FALSE(ShouldShowPane(nullptr, false, 3));
}

}  // namespace
}  // namespace vk2::gui
