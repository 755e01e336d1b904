#include "gui/top_menu/top_menu_model.h"

#include "foundation/util/guid_text.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

constexpr char16_t kVelkoraPrefix[] = u":velkora.";

struct Row {
  const char16_t* key;
  const char16_t* script;  // null for a submenu
  bool keptWhenReduced;
};

constexpr Row kFileRows[] = {
    {u"file.open", u":velkora.OpenFiles()", true},
    {u"file.skins", nullptr, false},
    {u"file.remotes", nullptr, true},
    {u"file.allwindows", nullptr, true},
    {u"file.closewin", u"parent.DestroyWindow()", true},
    {u"file.exit", u":velkora.Exit()", true},
};

constexpr Row kViewRows[] = {
    {u"view.player", u"DisplayWindow( \"3C8D8633-086F-4568-B078-6C4F1128DAC0\" )", false},
    {u"view.playlist", u"DisplayWindow( \"VK2_Playlist\" )", true},
    {u"view.setup", u"DisplayWindow( \"BDF7BA75-B066-41ee-9495-2C3982E960E4\" )", false},
    {u"view.console", u"DisplayWindow( \"D30D93AA-EE5E-4d4c-8478-58044ABC45EC\" )", true},
    {u"view.status", u"ToggleWindow( \"VK2_StatusBar\" )", true},
    {u"view.picker", u"ToggleWindow( \"VK2_NavigationBar\" )", false},
    {u"view.playbar", u"ToggleWindow( \"VK2_PlayBar\" )", true},
    {u"view.onlinewindow", u"DisplayWindow( \"5D82D185-E90F-41f0-B069-4AA1A5F24804\" )", false},
};

class Builder {
 public:
  Builder(const TopMenuSources& sources, MenuCommandTable* commands)
      : sources_(sources), commands_(commands) {}

  MenuEntry Submenu(const char16_t* key) {
    MenuEntry entry;
    entry.key = key;
    entry.label = Label(key);
    entry.submenu = true;
    return entry;
  }

  MenuEntry Command(const TString& key, const TString& label, const TString& script) {
    MenuEntry entry;
    entry.key = key;
    entry.label = label;
    entry.id = commands_->Add(script);
    return entry;
  }

  TString Label(const char16_t* key) const {
    return sources_.label ? sources_.label(key) : TString(key);
  }

  void AddRows(const Row* rows, size_t count, MenuEntry* menu) {
    for (size_t i = 0; i < count; ++i) {
      const Row& row = rows[i];
      if (sources_.reduced && !row.keptWhenReduced) continue;
      if (row.script) {
        menu->items.push_back(Command(row.key, Label(row.key), row.script));
      } else {
        menu->items.push_back(Submenu(row.key));
      }
    }
  }

  // The three interface lists. Each command names its interface by its identifier: the script
  // functions look a number up as an identifier, never as a position in the list.
  void FillInterfaceLists(MenuEntry* file) {
    MenuEntry* skins = Find(file, u"file.skins");
    MenuEntry* remotes = Find(file, u"file.remotes");
    MenuEntry* all = Find(file, u"file.allwindows");
    const TString generic = FormatGuidText(kGenericWindowClass);
    const TString fontElement = FormatGuidText(kFontElementClass);
    for (const InterfaceRecord& record : sources_.interfaces) {
      const uint32_t id = record.identifier;
      if (!record.frames.empty()) {
        if (skins) {
          skins->items.push_back(
              Command({}, record.cosmeticName,
                      TString::Format(u"%s%s(%u)", kVelkoraPrefix, u"LoadInterface", id)));
        }
        for (const WindowPair& frame : record.frames) {
          if (!all) break;
          all->items.push_back(
              Command({}, TString::Format(u"%s | frame: %s", record.cosmeticName, frame.name),
                      TString::Format(u"%s%s(%u,\"%s\",\"%s\", \"%s\")", kVelkoraPrefix,
                                      u"LaunchWindow", id, generic, frame.window, fontElement)));
        }
      }
      for (const WindowPair& remote : record.remotes) {
        const TString script =
            TString::Format(u"%s%s(%u,\"%s\")", kVelkoraPrefix, u"LaunchRemote", id, remote.name);
        if (remotes) {
          remotes->items.push_back(
              Command({}, TString::Format(u"%s | %s", record.cosmeticName, remote.name), script));
        }
        if (all) {
          all->items.push_back(Command(
              {}, TString::Format(u"%s | remote: %s", record.cosmeticName, remote.name), script));
        }
      }
    }
  }

  void AddLanguages(MenuEntry* menu) {
    for (size_t i = 0; i < sources_.languages.size(); ++i) {
      menu->items.push_back(Command(
          {}, sources_.languages[i],
          TString::Format(u":velkora.setlanguage_index(\"%u\")", static_cast<uint32_t>(i))));
    }
  }

 private:
  static MenuEntry* Find(MenuEntry* menu, const char16_t* key) {
    for (MenuEntry& item : menu->items) {
      if (item.key == key) return &item;
    }
    return nullptr;
  }

  const TopMenuSources& sources_;
  MenuCommandTable* commands_;
};

}  // namespace

MenuEntry BuildTopMenu(const TopMenuSources& sources, MenuCommandTable* commands) {
  Builder builder(sources, commands);
  MenuEntry bar;
  bar.submenu = true;
  MenuEntry file = builder.Submenu(u"file");
  // Commands take their ids in menu order: the lists fill in right after "file.allwindows".
  const size_t fileRows = sizeof kFileRows / sizeof kFileRows[0];
  builder.AddRows(kFileRows, 4, &file);
  builder.FillInterfaceLists(&file);
  builder.AddRows(kFileRows + 4, fileRows - 4, &file);
  bar.items.push_back(std::move(file));

  MenuEntry view = builder.Submenu(u"view");
  builder.AddRows(kViewRows, sizeof kViewRows / sizeof kViewRows[0], &view);
  bar.items.push_back(std::move(view));

  if (!sources.reduced) {
    MenuEntry language = builder.Submenu(u"language");
    builder.AddLanguages(&language);
    bar.items.push_back(std::move(language));
  }
  return bar;
}

const MenuEntry* FindMenuEntry(const MenuEntry& bar, const char16_t* key) {
  for (const MenuEntry& item : bar.items) {
    if (item.key == key) return &item;
    if (const MenuEntry* found = FindMenuEntry(item, key)) return found;
  }
  return nullptr;
}

}  // namespace vk2::gui
