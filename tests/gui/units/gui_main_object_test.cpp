#include "gui/main/gui_main_object.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "foundation/util/result.h"
#include "gui/app/app_paths.h"
#include "gui/app/gui_application.h"
#include "tests/gui/support/state_player.h"
#include "tests/gui/support/title_playlist.h"

namespace vk2::gui {
namespace {

using test::StatePlayer;
using test::TitlePlaylist;

// Named playlists held in memory; every entry loaded adds one item with the entry as its URL.
class MemoryCore final : public CoreAccess {
 public:
  std::mutex mutex;
  std::condition_variable changed;
  RefPtr<StatePlayer> player{new StatePlayer()};
  std::map<std::string, RefPtr<TitlePlaylist>> playlists;
  bool havePlayer = true;
  int removed = 0;

  MemoryCore() { playlists["default"] = RefPtr<TitlePlaylist>(new TitlePlaylist()); }

  RefPtr<MPlayer> FindPlayer(const TString& name) override {
    if (!havePlayer || ObjectNameOrDefault(name) != TString(u"default")) return nullptr;
    return RefPtr<MPlayer>(player.Get());
  }
  RefPtr<MPlaylist> FindPlaylist(const TString& name) override {
    std::lock_guard lock(mutex);
    auto it = playlists.find(Utf8(ObjectNameOrDefault(name)).c_str());
    return it == playlists.end() ? nullptr : RefPtr<MPlaylist>(it->second.Get());
  }
  int32_t AddTemporaryPlaylist(const TString& base, TString* name) override {
    std::lock_guard lock(mutex);
    *name = Utf16(std::string(Utf8(base).c_str()) + "_0000000" + std::to_string(playlists.size()));
    playlists[Utf8(*name).c_str()] = RefPtr<TitlePlaylist>(new TitlePlaylist());
    return kOk;
  }
  int32_t RemovePlaylist(const TString& name) override {
    std::lock_guard lock(mutex);
    playlists.erase(Utf8(name).c_str());
    ++removed;
    changed.notify_all();
    return kOk;
  }
  int32_t LoadIntoPlaylist(const TString& playlist, const TString& entry) override {
    RefPtr<MPlaylist> target = FindPlaylist(playlist);
    ItemInfo item;
    item.SetUrl(entry);
    return target->AddItems(&item, 1, kPlaylistBottom, nullptr) < 0 ? kErrFailed : 1;
  }
  TString ErrorMessage(int32_t) override { return {}; }

  bool WaitForRemoved(int count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(20), [&] { return removed >= count; });
  }
};

class QuietHost final : public GuiMainHost {
 public:
  int minimized = 0;
  TString ExecutableFolder() override { return u"/opt/velkora2/bin"; }
  MScriptEngine* ScriptEngine() override { return nullptr; }
  int32_t InstallPackage(const TString&) override { return kOk; }
  int32_t LoadVisual(const TString&) override { return kOk; }
  int32_t StepVisual(bool) override { return kErrNoService; }
  int32_t OpenFilesDialog() override { return kOk; }
  int32_t MinimizeAllWindows() override { return ++minimized, kOk; }
  int32_t ShellOpen(const TString&) override { return 1; }
};

class Listener final : public MGuiMainListener {
 public:
  Listener(std::vector<int32_t>* h, int i) : heard(h), id(i) {}
  std::vector<int32_t>* heard;
  int id;
  void OnGuiMainEvent(int32_t code, uintptr_t, uintptr_t) override {
    heard->push_back(code * 10 + id);
  }
};

TEST(GuiMainObject, WindowMessageTable) {
  MemoryCore core;
  QuietHost host;
  RefPtr<GuiMainObject> main = GuiMainObject::Create(&host, &core);
  std::vector<uint32_t> ids = core.playlists["default"]->AddTitles({"a", "b", "c"});
  struct Case {
    uint32_t message;
    uint32_t state;
    bool havePlayer;
    intptr_t answer;
    int32_t handled;
  } cases[] = {
      {kMessagePlayerState, StatePlayer::kStopped, true, kAnswerStopped, 1},
      {kMessagePlayerState, StatePlayer::kPaused, true, kAnswerPaused, 1},
      {kMessagePlayerState, StatePlayer::kPlaying, true, kAnswerPlaying, 1},
      {kMessagePlayerState, StatePlayer::kStopped, false, 0, 1},
      {kMessagePlaylistCount, 0, true, 3, 1},
      {kMessagePlaylistPosition, 0, true, 2, 1},
      {kMessagePlaylistPosition, 0, false, 0, 1},
      {0x1234, 0, true, 0, 0},
  };
  core.player->currentId = ids[2];
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    core.player->state = c.state;
    core.havePlayer = c.havePlayer;
    int32_t handled = -1;
    EXPECT_EQ(main->HandleWindowMessage(c.message, 0, 0, &handled), c.answer);
    EXPECT_EQ(handled, c.handled);
  }
  int32_t handled = 0;
  EXPECT_EQ(main->HandleWindowMessage(kMessageMinimizeAll, 0, 0, &handled), 0);
  EXPECT_EQ(host.minimized, 1);
  TString folder;
  main->GetExecutableFolder(&folder);
  EXPECT_EQ(folder, TString(u"/opt/velkora2/bin"));
}

TEST(GuiMainObject, ListenersAndStatusList) {
  MemoryCore core;
  QuietHost host;
  RefPtr<GuiMainObject> main = GuiMainObject::Create(&host, &core);
  std::vector<int32_t> heard;
  Listener first(&heard, 1);
  Listener second(&heard, 2);
  EXPECT_EQ(main->AddRemoveListener(nullptr, 1), kErrMissingArg);
  EXPECT_EQ(main->AddRemoveListener(&first, 0), kErrMissingArg);
  main->AddRemoveListener(&first, 1);
  main->AddRemoveListener(&second, 1);
  main->NotifyListeners(kInterfacesChanged);
  EXPECT_EQ(heard, (std::vector<int32_t>{1282, 1281}));  // newest first
  EXPECT_EQ(main->AddRemoveListener(&first, 0), kOk);
  // The status list answers through the object.
  void* list = nullptr;
  ASSERT_EQ(main->QueryInterface(kIID_MListenerList, &list), kOk);
  EXPECT_EQ(list, static_cast<void*>(main->Status()));
  static_cast<MListenerList*>(list)->Release();
  void* base = nullptr;
  ASSERT_EQ(main->QueryInterface(kIID_MBaseObject, &base), kOk);
  EXPECT_EQ(base, static_cast<void*>(static_cast<MBaseObject*>(main.Get())));
  main->Release();
  uint32_t flags = 0;
  EXPECT_EQ(*main->GetAddFilesOptions(&flags), kAddFilesPlayImmediately);  // the defaults
}

TEST(GuiMainObject, CommandLineFilesArePlayedFromTheDefaultPlaylist) {
  MemoryCore core;
  QuietHost host;
  RefPtr<GuiMainObject> main = GuiMainObject::Create(&host, &core);
  TArray<TString> tokens;
  for (const char* t : {"/usr/bin/velkora2", "-r", "one.mp3", "two.ogg"})
    tokens.Append(Utf16(t));
  EXPECT_EQ(main->ExecuteCommand(&tokens, 1), 1);
  ASSERT_TRUE(core.WaitForRemoved(1));
  EXPECT_EQ(core.playlists["default"]->Urls(), (std::vector<std::string>{"one.mp3", "two.ogg"}));
  EXPECT_EQ(core.playlists.size(), 1u);  // the temporary playlist is gone
  EXPECT_EQ(core.player->state, StatePlayer::kPlaying);
  EXPECT_EQ(main->QueueFiles(u"default", nullptr, 0, 0), kErrMissingArg);
}

TEST(AppPaths, ResolvePathTable) {
  struct Case {
    const char16_t* base;
    const char16_t* path;
    const char16_t* expected;
  } cases[] = {
      {u"C:\\a\\b", u"..\\c", u"C:\\a\\c"},   {u"C:\\a", u"D:\\x", u"D:\\x"},
      {u"C:\\a", u".\\x", u"C:\\a\\x"},       {u"/a/b", u"../c", u"/a/c"},
      {u"/a", u"/etc/x", u"/etc/x"},          {u"/a", u"../../..", u"/"},
      {u"/home/u", u"bin/", u"/home/u/bin/"}, {u"/a", u"", u"/a"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResolvePath(c.base, c.path), TString(c.expected))
        << Utf8(TString(c.base)).c_str() << " + " << Utf8(TString(c.path)).c_str();
  }
  EXPECT_EQ(MakeModulePath(u"/opt/v", u"vk2", u"rez"), TString(u"/opt/v/vk2.rez"));
  EXPECT_EQ(MakeModulePath(u"/opt/v/", u"brint", u""), TString(u"/opt/v/brint"));
}

TEST(GuiApplicationObject, StateOutsideALaunch) {
  GuiApplication app;
  EXPECT_FALSE(app.IsLaunched());
  EXPECT_EQ(app.Run(), kErrFailed);
  EXPECT_EQ(app.Shutdown(), kErrFailed);  // does nothing before a launch
  EXPECT_EQ(app.Notify(AppNotice{kNoticeLine, u"x"}), kOk);
  EXPECT_EQ(app.Notify(AppNotice{5, u"x"}), kErrFailed);
  EXPECT_EQ(app.Reserved1(), kErrCannotOpen);
  void* out = nullptr;
  EXPECT_EQ(app.QueryInterface(kIID_MGuiApplication, &out), kErrNoInterface);
  ASSERT_EQ(app.QueryInterface(kIID_MAppWindowList, &out), kOk);
  TArray<MWindowElement*> windows;
  EXPECT_EQ(static_cast<MAppWindowList*>(out)->GetOpenWindows(&windows), kOk);
  EXPECT_TRUE(windows.IsEmpty());
  EXPECT_EQ(DefaultDisplayState(), TString(u"\"02908D92-3B57-422C-B14A-31BC8379F04F\","
                                           u"\"VK2_NavigationBar\",\"VK2_PlayBar\","
                                           u"\"VK2_StatusBar\""));
}

}  // namespace
}  // namespace vk2::gui
