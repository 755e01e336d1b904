// The top menu's contents: the command table in order, the reduced menu, the interface lists
// and the script line each command runs.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "gui/top_menu/top_menu_model.h"
#include "tests/gui/windows/window_test_text.h"

namespace vk2::gui {
namespace {

std::vector<std::string> Keys(const MenuEntry& menu) {
  std::vector<std::string> keys;
  for (const MenuEntry& item : menu.items)
    keys.push_back(item.key.IsEmpty() ? "<" + Text(item.label) + ">" : Text(item.key));
  return keys;
}

std::string Script(const MenuCommandTable& table, const MenuEntry& item) {
  TString script;
  return table.Find(item.id, &script) ? Text(script) : "<none>";
}

InterfaceRecord Interface(uint32_t id, const char16_t* name, std::vector<WindowPair> frames,
                          std::vector<WindowPair> remotes) {
  InterfaceRecord record;
  record.identifier = id;
  record.cosmeticName = name;
  record.frames = std::move(frames);
  record.remotes = std::move(remotes);
  return record;
}

TopMenuSources Sources(bool reduced) {
  TopMenuSources sources;
  sources.reduced = reduced;
  sources.label = [](const char16_t* key) { return TString::Format(u"[%s]", key); };
  sources.interfaces = {
      Interface(7, u"Blue", {{u"Main", u"bluemain"}, {u"Mini", u"bluemini"}}, {{u"Pad", u"x"}}),
      // No frames: not a skin, but its remote is listed.
      Interface(42, u"Remotes only", {}, {{u"Wheel", u"w"}}),
  };
  sources.languages = {u"English", u"Deutsch"};
  return sources;
}

TEST(TopMenuModelTest, TheFullMenuFollowsTheCommandTable) {
  MenuCommandTable table;
  const MenuEntry bar = BuildTopMenu(Sources(false), &table);
  EXPECT_EQ(Keys(bar), (std::vector<std::string>{"file", "view", "language"}));
  EXPECT_EQ(Text(bar.items[0].label), "[file]");
  EXPECT_EQ(Keys(bar.items[0]),
            (std::vector<std::string>{"file.open", "file.skins", "file.remotes", "file.allwindows",
                                      "file.closewin", "file.exit"}));
  EXPECT_EQ(Keys(bar.items[1]),
            (std::vector<std::string>{"view.player", "view.playlist", "view.setup", "view.console",
                                      "view.status", "view.picker", "view.playbar",
                                      "view.onlinewindow"}));
  struct Case {
    const char16_t* key;
    const char* script;
  };
  const Case cases[] = {
      {u"file.open", ":velkora.OpenFiles()"},
      {u"file.closewin", "parent.DestroyWindow()"},
      {u"file.exit", ":velkora.Exit()"},
      {u"view.player", "DisplayWindow( \"3C8D8633-086F-4568-B078-6C4F1128DAC0\" )"},
      {u"view.playlist", "DisplayWindow( \"VK2_Playlist\" )"},
      {u"view.setup", "DisplayWindow( \"BDF7BA75-B066-41ee-9495-2C3982E960E4\" )"},
      {u"view.console", "DisplayWindow( \"D30D93AA-EE5E-4d4c-8478-58044ABC45EC\" )"},
      {u"view.status", "ToggleWindow( \"VK2_StatusBar\" )"},
      {u"view.picker", "ToggleWindow( \"VK2_NavigationBar\" )"},
      {u"view.playbar", "ToggleWindow( \"VK2_PlayBar\" )"},
      {u"view.onlinewindow", "DisplayWindow( \"5D82D185-E90F-41f0-B069-4AA1A5F24804\" )"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Text(TString(c.key)));
    const MenuEntry* item = FindMenuEntry(bar, c.key);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->submenu);
    EXPECT_EQ(Text(item->label), "[" + Text(TString(c.key)) + "]");
    EXPECT_EQ(Script(table, *item), c.script);
  }
  const MenuEntry& language = bar.items[2];
  ASSERT_EQ(language.items.size(), 2u);
  EXPECT_EQ(Text(language.items[1].label), "Deutsch");
  EXPECT_EQ(Script(table, language.items[1]), ":velkora.setlanguage_index(\"1\")");
}

TEST(TopMenuModelTest, TheReducedMenuKeepsOnlyWhatInterfaceTestsNeed) {
  MenuCommandTable table;
  const MenuEntry bar = BuildTopMenu(Sources(true), &table);
  EXPECT_EQ(Keys(bar), (std::vector<std::string>{"file", "view"}));
  EXPECT_EQ(Keys(bar.items[0]),
            (std::vector<std::string>{"file.open", "file.remotes", "file.allwindows",
                                      "file.closewin", "file.exit"}));
  EXPECT_EQ(Keys(bar.items[1]), (std::vector<std::string>{"view.playlist", "view.console",
                                                          "view.status", "view.playbar"}));
  // The remotes and frames are listed all the same.
  EXPECT_EQ(FindMenuEntry(bar, u"file.remotes")->items.size(), 2u);
  EXPECT_EQ(FindMenuEntry(bar, u"file.allwindows")->items.size(), 4u);
}

TEST(TopMenuModelTest, InterfaceListsNameEachInterfaceByItsIdentifier) {
  MenuCommandTable table;
  const MenuEntry bar = BuildTopMenu(Sources(false), &table);
  const MenuEntry* skins = FindMenuEntry(bar, u"file.skins");
  ASSERT_EQ(skins->items.size(), 1u);  // the interface without frames is no skin
  EXPECT_EQ(Text(skins->items[0].label), "Blue");
  EXPECT_EQ(Script(table, skins->items[0]), ":velkora.LoadInterface(7)");

  const MenuEntry* remotes = FindMenuEntry(bar, u"file.remotes");
  ASSERT_EQ(remotes->items.size(), 2u);
  EXPECT_EQ(Text(remotes->items[0].label), "Blue | Pad");
  EXPECT_EQ(Script(table, remotes->items[0]), ":velkora.LaunchRemote(7,\"Pad\")");
  EXPECT_EQ(Text(remotes->items[1].label), "Remotes only | Wheel");
  EXPECT_EQ(Script(table, remotes->items[1]), ":velkora.LaunchRemote(42,\"Wheel\")");

  const MenuEntry* all = FindMenuEntry(bar, u"file.allwindows");
  std::vector<std::string> labels;
  for (const MenuEntry& item : all->items)
    labels.push_back(Text(item.label));
  EXPECT_EQ(labels,
            (std::vector<std::string>{"Blue | frame: Main", "Blue | frame: Mini",
                                      "Blue | remote: Pad", "Remotes only | remote: Wheel"}));
  EXPECT_EQ(Script(table, all->items[1]),
            ":velkora.LaunchWindow(7,\"{4B87D871-D052-4C83-82A3-9B5C8C00BA77}\",\"bluemini\", "
            "\"{A22BA869-CF90-42F2-AA81-2A5890A49A3E}\")");
  EXPECT_EQ(Script(table, all->items[3]), ":velkora.LaunchRemote(42,\"Wheel\")");
}

TEST(TopMenuModelTest, CommandIdsAreUniqueAndNeverReusedByARebuild) {
  MenuCommandTable table;
  std::set<int32_t> ids;
  size_t commands = 0;
  std::function<void(const MenuEntry&)> collect = [&](const MenuEntry& menu) {
    for (const MenuEntry& item : menu.items) {
      if (item.submenu) {
        EXPECT_EQ(item.id, -1);
        collect(item);
      } else {
        ++commands;
        ids.insert(item.id);
      }
    }
  };
  collect(BuildTopMenu(Sources(false), &table));
  const size_t first = commands;
  // Menu order: the open command first, the last language last.
  EXPECT_EQ(*ids.begin(), 0);
  EXPECT_EQ(*ids.rbegin(), static_cast<int32_t>(first) - 1);
  collect(BuildTopMenu(Sources(false), &table));
  EXPECT_EQ(ids.size(), 2 * first);
  EXPECT_EQ(table.NextId(), static_cast<int32_t>(2 * first));
  TString script;
  EXPECT_FALSE(table.Find(-1, &script));
  EXPECT_FALSE(table.Find(table.NextId(), &script));
}

}  // namespace
}  // namespace vk2::gui
