// The file and playlist functions of `velkora`: filters grouped for the dialogs, files queued
// for the worker, playlists loaded from and saved to files chosen in the GUI layer's dialogs
// (answered through its test hook), the URL strip of the open-files dialog and its history.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gui/open_files/url_strip.h"
#include "gui/script_functions/file_filters.h"
#include "interfaces/ids.h"
#include "oru/gui/dialogs/dialogs.h"
#include "oru/gui/dialogs/memory_strip_host.h"
#include "tests/core/script/support/script_case.h"
#include "tests/gui/script_functions/gui_script_fixture.h"

namespace vk2::gui::test {
namespace {

std::vector<std::string> Texts(const std::vector<TString>& texts) {
  std::vector<std::string> out;
  for (const TString& text : texts)
    out.push_back(Utf8(text).c_str());
  return out;
}

TEST(FileFiltersTest, TypesAreGroupedByDescriptionUnderAnAllFilesEntry) {
  using S = std::vector<std::string>;
  EXPECT_EQ(Texts(GroupFilters({{u"*.mp3", u"MPEG Audio", 0},
                                {u"*.mp2", u"mpeg audio", 0},
                                {u"*.ogg", u"Ogg Vorbis", 0}},
                               u"All audio files (%s)")),
            (S{"All audio files (*.mp3;*.ogg)", "*.mp3;*.ogg", "MPEG Audio (*.mp3, *.mp2)",
               "*.mp3;*.mp2", "Ogg Vorbis (*.ogg)", "*.ogg"}));
  EXPECT_EQ(Texts(GroupFilters({{u"*.m3u", u"M3U Playlist Files", 0}}, u"All playlist files (%s)")),
            (S{"All playlist files (*.m3u)", "*.m3u", "M3U Playlist Files (*.m3u)", "*.m3u"}));
  // A pattern met again in a later group is listed once under all files.
  EXPECT_EQ(Texts(GroupFilters({{u"*.a", u"One", 0}, {u"*.a", u"Two", 0}}, u"All (%s)")),
            (S{"All (*.a)", "*.a", "One (*.a)", "*.a", "Two (*.a)", "*.a"}));
}

TEST(FileFiltersTest, TheChosenSaveFilterCompletesAPathWithoutAnyDot) {
  const std::vector<TString> filters =
      SaveFilters({{u"*.m3u", u"M3U", 0}, {u"*.pls", u"PLS", 512}, {u"*", u"Any", 900}});
  EXPECT_EQ(Texts(filters), (std::vector<std::string>{"M3U (*.m3u)", "*.m3u", "PLS (*.pls)",
                                                      "*.pls", "Any (*)", "*"}));
  struct Case {
    const char16_t* path;
    int32_t filter;
    const char16_t* expected;
  };
  const Case cases[] = {
      {u"/lists/party", 1, u"/lists/party.pls"},
      {u"/lists/party", 0, u"/lists/party.m3u"},
      // Faithful, though it leaves every path under a dot-folder without its extension.
      {u"/my.lists/party", 1, u"/my.lists/party"},
      {u"/lists/party.txt", 1, u"/lists/party.txt"},
      {u"/lists/party", 2, u"/lists/party"},  // "*" names no extension
      {u"/lists/party", 3, u"/lists/party"},
      {u"/lists/party", -1, u"/lists/party"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompleteExtension(c.path, filters, c.filter).view(), c.expected)
        << Utf8(TString(c.path)).c_str() << " " << c.filter;
  }
}

class FileScriptTest : public GuiScriptTest {
 protected:
  void SetUp() override {
    GuiScriptTest::SetUp();
    services_.openDialog = [] {
      MOpenFileDialog* dialog = nullptr;
      CreateDialogObject(kIID_MOpenFileDialog, reinterpret_cast<void**>(&dialog));
      return RefPtr<MOpenFileDialog>::Adopt(dialog);
    };
    services_.saveDialog = [] {
      MSaveFileDialog* dialog = nullptr;
      CreateDialogObject(kIID_MSaveFileDialog, reinterpret_cast<void**>(&dialog));
      return RefPtr<MSaveFileDialog>::Adopt(dialog);
    };
  }

  RefPtr<MPreferenceStore> Section(const char16_t* path) {
    RefPtr<MPreferenceStore> prefs = services_.preferences();
    EXPECT_GE(prefs->OpenSection(path, 1), 0);
    return prefs;
  }
  std::string PrefString(const char16_t* section, const char16_t* key) {
    TString value = u"<none>";
    Section(section)->GetString(key, &value);
    return Utf8(value).c_str();
  }
  int32_t PrefInt(const char16_t* section, const char16_t* key) {
    int32_t value = -99;
    Section(section)->GetInt(key, &value);
    return value;
  }
  std::vector<std::string> DefaultUrls() {
    RefPtr<MPlaylist> playlist = core_->FindPlaylist(u"default");
    TArray<ItemInfo> items;
    uint32_t revision = 0;
    playlist->GetCurrentItems(&items, &revision);
    std::vector<std::string> urls;
    for (ItemInfo& item : items) {
      playlist->GetUIDInfo(item.id, &item);
      urls.push_back(Utf8(item.url).c_str());
    }
    return urls;
  }
  std::string Root() { return "file://" + harness_.Files().Path(); }
};

TEST_F(FileScriptTest, AddFileQueuesOneFileWithTheOptionsTheArgumentsOverride) {
  queue_->options = kAddFilesPlayImmediately | 0x10;
  const vk2::test::ScriptCase cases[] = {
      {"return (:velkora.AddFile(\"/music/a.mp3\"));", ""},
      {"return (:velkora.AddFile(\"/music/b.mp3\", \"party\", false, true));", ""},
      {"return (:velkora.AddFile(\"/music/c.mp3\", \"party\", true));", ""},
  };
  vk2::test::CheckCases(harness_, cases);
  EXPECT_EQ(TakeQueued(),
            (std::vector<std::string>{"default|18|/music/a.mp3", "party|17|/music/b.mp3",
                                      "party|18|/music/c.mp3"}));
  EXPECT_EQ(harness_.Run("return (:velkora.AddFile());").status, -9);
  EXPECT_TRUE(TakeQueued().empty());
}

TEST_F(FileScriptTest, OpenFilesOffersThePlayersTypesAndQueuesTheChosenFiles) {
  Section(u"velkora/player")->SetString(u"lastdirectory", u"/music");
  Section(u"velkora/player")->SetInt(u"lastfilter", 2);
  FileDialogRequest seen;
  bool hadStrip = false;
  ScopedDialogAnswerers answer(
      [&](const FileDialogRequest& request, MDialogStripHost* strip) {
        seen = request;
        hadStrip = strip != nullptr;
        return FileDialogResult{{u"/other/a.mp3", u"/other/b.ogg"}, 1};
      },
      nullptr);
  EXPECT_EQ(Answer("return (:velkora.OpenFiles());"), "");
  EXPECT_TRUE(seen.multiple);
  EXPECT_TRUE(hadStrip);
  EXPECT_EQ(seen.folder.view(), u"/music");
  EXPECT_EQ(seen.filterIndex, 2);
  ASSERT_GE(seen.filters.size(), 2u);
  EXPECT_EQ(Utf8(seen.filters[0].display).c_str(),
            "All audio files (" + std::string(Utf8(seen.filters[0].patterns).c_str()) + ")");
  EXPECT_NE(seen.filters[0].patterns.Find(u"*.wav"), -1);
  EXPECT_EQ(TakeQueued(), (std::vector<std::string>{"default|2|/other/a.mp3;/other/b.ogg"}));
  EXPECT_EQ(PrefString(u"velkora/player", u"lastdirectory"), "/other");
  EXPECT_EQ(PrefInt(u"velkora/player", u"lastfilter"), 1);
}

TEST_F(FileScriptTest, ACancelledOpenQueuesNothingAndSaysNothing) {
  ScopedDialogAnswerers answer(
      [](const FileDialogRequest&, MDialogStripHost*) { return FileDialogResult{}; }, nullptr);
  vk2::test::ScriptOutcome outcome = harness_.Run("return (:velkora.OpenFiles());");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, "");
  EXPECT_TRUE(TakeQueued().empty());
  EXPECT_EQ(PrefString(u"velkora/player", u"lastdirectory"), "");  // the default stored
}

// History before, URL opened, history after.
struct HistoryCase {
  std::vector<const char16_t*> before;
  const char16_t* typed;
  std::vector<std::string> after;
};

TEST_F(FileScriptTest, TheUrlStripQueuesTheUrlAndKeepsAMostRecentFirstHistory) {
  const HistoryCase cases[] = {
      {{}, u"http://a", {"http://a"}},
      {{u"http://b", u"http://a"}, u"http://a", {"http://a", "http://b"}},
      {{u"http://a", u"http://b"}, u"http://c", {"http://c", "http://a", "http://b"}},
      {{u"http://A"}, u"http://a", {"http://a", "http://A"}},
  };
  for (const HistoryCase& c : cases) {
    RefPtr<MPreferenceStore> prefs = Section(u"velkora/player");
    prefs->SetUnsigned(u"NumURLs", static_cast<uint32_t>(c.before.size()));
    for (uint32_t i = 0; i < c.before.size(); ++i)
      prefs->SetString(TString::Format(u"url_%u", i).c_str(), c.before[i]);
    std::vector<std::string> shown;
    ScopedDialogAnswerers answer(
        [&](const FileDialogRequest&, MDialogStripHost* strip) {
          auto* memory = static_cast<MemoryStripHost*>(strip);
          for (const TString& entry : memory->Find(kUrlField)->entries)
            shown.push_back(Utf8(entry).c_str());
          strip->SetText(kUrlField, c.typed);
          memory->Press(kUrlButton);
          return FileDialogResult{{u"/ignored.mp3"}, 0};
        },
        nullptr);
    EXPECT_EQ(Answer("return (:velkora.OpenFiles());"), "");
    std::vector<std::string> before;
    for (const char16_t* url : c.before)
      before.push_back(Utf8(TString(url)).c_str());
    EXPECT_EQ(shown, before);
    uint32_t count = 0;
    prefs->GetUnsigned(u"NumURLs", &count);
    std::vector<std::string> after;
    for (uint32_t i = 0; i < count; ++i)
      after.push_back(PrefString(u"velkora/player", TString::Format(u"url_%u", i).c_str()));
    EXPECT_EQ(after, c.after);
    // The URL alone is queued; the dialog's own answer is dropped.
    EXPECT_EQ(
        TakeQueued(),
        (std::vector<std::string>{"default|2|" + std::string(Utf8(TString(c.typed)).c_str())}));
  }
}

TEST_F(FileScriptTest, TheUrlStripShowsTranslatedTextsSkipsEmptyEntriesAndCapsItsHistory) {
  RefPtr<MLanguageService> languages = services_.languages();
  const std::string file =
      R"(<languages><language name="english"><domain name="velkora gui">)"
      R"(<domain name="openfilesdialog"><text key="filedialog.LabelURL">Adresse:</text>)"
      R"(<text key="filedialog.ButtonURL">Los</text><text key="filedialog.URLText">Hinweis</text>)"
      R"(</domain></domain></language></languages>)";
  ASSERT_GE(languages->LoadMemory(file.data(), file.size(), 0), 0);
  services_.textDomain = [languages] {
    MTextDomain* domain = nullptr;
    languages->GetTextDomain(u"velkora gui", u"english", &domain);
    return RefPtr<MTextDomain>::Adopt(domain);
  };
  RefPtr<MPreferenceStore> prefs = Section(u"velkora/player");
  prefs->SetUnsigned(u"NumURLs", kUrlHistoryCap + 5);
  for (uint32_t i = 0; i < kUrlHistoryCap + 5; ++i) {
    prefs->SetString(TString::Format(u"url_%u", i).c_str(),
                     (i == 1 ? TString() : TString::Format(u"http://h/%u", i)).c_str());
  }
  std::vector<std::string> texts;
  size_t shown = 0;
  std::string selected;
  ScopedDialogAnswerers answer(
      [&](const FileDialogRequest&, MDialogStripHost* strip) {
        auto* memory = static_cast<MemoryStripHost*>(strip);
        for (int32_t id : {kUrlLabel, kUrlButton, kUrlHint})
          texts.push_back(Utf8(memory->Find(id)->text).c_str());
        shown = memory->Find(kUrlField)->entries.size();
        selected = Utf8(memory->Find(kUrlField)->text).c_str();
        // An empty field does nothing and the dialog stays.
        strip->SetText(kUrlField, u"");
        memory->Press(kUrlButton);
        EXPECT_FALSE(memory->Closed());
        strip->SetText(kUrlField, u"http://new");
        memory->Press(kUrlButton);
        return FileDialogResult{};
      },
      nullptr);
  EXPECT_EQ(Answer("return (:velkora.OpenFiles());"), "");
  EXPECT_EQ(texts, (std::vector<std::string>{"Adresse:", "Los", "Hinweis"}));
  EXPECT_EQ(shown, kUrlHistoryCap + 4);  // the empty entry is not shown
  EXPECT_EQ(selected, "http://h/0");
  uint32_t count = 0;
  prefs->GetUnsigned(u"NumURLs", &count);
  EXPECT_EQ(count, kUrlHistoryCap);
  EXPECT_EQ(PrefString(u"velkora/player", u"url_0"), "http://new");
  EXPECT_EQ(PrefString(u"velkora/player", TString::Format(u"url_%u", kUrlHistoryCap).c_str()),
            "<none>");
  EXPECT_EQ(TakeQueued(), (std::vector<std::string>{"default|2|http://new"}));
}

TEST_F(FileScriptTest, LoadPlaylistFileReplacesOrAppendsThroughATemporaryPlaylist) {
  const vk2::test::TempFolder& files = harness_.Files();
  files.Write("a.mp3", {});
  files.Write("b.mp3", {});
  files.Write("c.mp3", {});
  const std::string list =
      files.Write("list.m3u", {'b', '.', 'm', 'p', '3', '\n', 'c', '.', 'm', 'p', '3', '\n'});
  ASSERT_GE(core_->LoadIntoPlaylist(u"default", Utf16(files / "a.mp3")), 1);
  FileDialogRequest seen;
  ScopedDialogAnswerers answer(
      [&](const FileDialogRequest& request, MDialogStripHost*) {
        seen = request;
        return FileDialogResult{{Utf16(list)}, 2};
      },
      nullptr);
  EXPECT_EQ(Answer("return (:velkora.LoadPlaylistFile(\"playlists.default\", true));"), "");
  EXPECT_FALSE(seen.multiple);
  ASSERT_GE(seen.filters.size(), 4u);
  // The loaders in the category's order.
  const std::string all = Utf8(seen.filters[0].patterns).c_str();
  EXPECT_EQ(std::string(Utf8(seen.filters[0].display).c_str()), "All playlist files (" + all + ")");
  for (const char* pattern : {"*.m3u", "*.pls", "*.xpl"})
    EXPECT_NE(all.find(pattern), std::string::npos) << all;
  EXPECT_EQ(DefaultUrls(),
            (std::vector<std::string>{Root() + "/a.mp3", Root() + "/b.mp3", Root() + "/c.mp3"}));
  EXPECT_EQ(Answer("return (:velkora.LoadPlaylistFile(\"playlists.default\"));"), "");
  EXPECT_EQ(DefaultUrls(), (std::vector<std::string>{Root() + "/b.mp3", Root() + "/c.mp3"}));
  EXPECT_EQ(PrefString(u"velkora/playlists", u"lastdirectory"), files.Path());
  EXPECT_EQ(PrefInt(u"velkora/playlists", u"lastloadfilter"), 2);
  std::vector<TString> names;
  harness_.Core()->GetPlaylistManager()->ListNames(&names);
  EXPECT_EQ(names.size(), 1u);  // the temporary playlist is gone
}

TEST_F(FileScriptTest, LoadPlaylistFileLeavesThePlaylistOnCancelOrAFailedLoad) {
  const vk2::test::TempFolder& files = harness_.Files();
  files.Write("a.mp3", {});
  ASSERT_GE(core_->LoadIntoPlaylist(u"default", Utf16(files / "a.mp3")), 1);
  std::vector<TString> answers = {TString(), Utf16(files / "missing.m3u")};
  for (const TString& path : answers) {
    ScopedDialogAnswerers answer(
        [&](const FileDialogRequest&, MDialogStripHost*) {
          return path.IsEmpty() ? FileDialogResult{} : FileDialogResult{{path}, 0};
        },
        nullptr);
    vk2::test::ScriptOutcome outcome =
        harness_.Run("return (:velkora.LoadPlaylistFile(\"playlists.default\"));");
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(DefaultUrls(), (std::vector<std::string>{Root() + "/a.mp3"}));
  }
  EXPECT_EQ(Answer("return (:velkora.LoadPlaylistFile(\"playlists.nosuch\"));"),
            "!LoadPlaylistFile: Playlist given to add to was not valid.");
  EXPECT_EQ(Answer("return (:velkora.SavePlaylistFile(\"nowhere\"));"),
            "!SavePlaylistFile: Playlist given to save was not valid.");
}

TEST_F(FileScriptTest, SavePlaylistFileOffersTheFormatsInOrderAndCompletesTheName) {
  const vk2::test::TempFolder& files = harness_.Files();
  files.Write("a.mp3", {});
  ASSERT_GE(core_->LoadIntoPlaylist(u"default", Utf16(files / "a.mp3")), 1);
  FileDialogRequest seen;
  TString path = Utf16(files / "party");
  int32_t filter = 1;
  ScopedDialogAnswerers answer(
      [&](const FileDialogRequest& request, MDialogStripHost*) {
        seen = request;
        return FileDialogResult{{path}, filter};
      },
      nullptr);
  EXPECT_EQ(Answer("return (:velkora.SavePlaylistFile(\"playlists.default\"));"), "");
  EXPECT_TRUE(seen.save);
  std::vector<std::string> displays;
  for (const FileFilter& f : seen.filters)
    displays.push_back(Utf8(f.display).c_str());
  EXPECT_EQ(displays,
            (std::vector<std::string>{"M3U Playlist Files (*.m3u)", "PLS Playlist Files (*.pls)",
                                      "XPL Playlist Files (*.xpl)"}));
  ASSERT_TRUE(std::filesystem::exists(files / "party.pls"));
  std::ifstream in(files / "party.pls");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("a.mp3"), std::string::npos) << text.str();
  EXPECT_EQ(PrefInt(u"velkora/playlists", u"lastsavefilter"), 1);
  EXPECT_EQ(PrefString(u"velkora/playlists", u"lastdirectory"), files.Path());

  // A filter without an entry writes nothing.
  path = Utf16(files / "other");
  filter = 3;
  EXPECT_EQ(Answer("return (:velkora.SavePlaylistFile(\"playlists.default\"));"), "");
  EXPECT_FALSE(std::filesystem::exists(files / "other"));
  EXPECT_FALSE(std::filesystem::exists(files / "other.xpl"));
}

}  // namespace
}  // namespace vk2::gui::test
