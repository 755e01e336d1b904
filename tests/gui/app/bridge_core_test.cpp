// The player bridge over the media core of the runtime: the default playlist and player made at
// start, the default playlist file restored at the next start when the preferences ask for it,
// status texts from the core's events, and lookups without a core.
#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "component/module/runtime_loader.h"
#include "component/object/com_object.h"
#include "core/files/file_stream.h"
#include "foundation/util/result.h"
#include "gui/bridge/status_listener.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/preference_store.h"
#include "tests/audio/support/module_sandbox.h"

namespace vk2::gui {
namespace {

TArray<TString> Utf16Tokens(std::initializer_list<const char*> texts) {
  TArray<TString> tokens;
  for (const char* text : texts)
    tokens.Append(Utf16(text));
  return tokens;
}

class StatusTexts final : public MStatusListener {
 public:
  void OnStatus(const StatusRecord& record, bool) override {
    std::lock_guard lock(mutex);
    texts.push_back(Utf8(record.text).c_str());
    changed.notify_all();
  }
  bool WaitFor(const std::string& text) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(30), [&] {
      return std::find(texts.begin(), texts.end(), text) != texts.end();
    });
  }
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> texts;
};

// A bare status interface for the bridge to post to.
class StatusList final : public ComObject<StatusList, Face<MListenerList, kIID_MListenerList>> {
 public:
  int32_t AddRemoveListener(MStatusListener*, int32_t) override { return kOk; }
  int32_t Broadcast(const StatusRecord& record) override {
    listener.OnStatus(record, false);
    return kOk;
  }
  int32_t Post(const TString& text, uint32_t level) override {
    StatusRecord record;
    record.subKind = level;
    record.text = text;
    return Broadcast(record);
  }
  StatusTexts listener;
};

class BridgeCoreTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadRuntime()); }
  void TearDown() override {
    status_ = nullptr;
    UnloadRuntime();
  }

  void SetSavePlaylist(bool save) {
    RefPtr<MPreferenceStore> prefs =
        CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
    ASSERT_TRUE(prefs);
    ASSERT_GE(prefs->OpenSection(u"Velkora/PlaylistServer", 1), 0);
    ASSERT_GE(prefs->SetBool(u"saveplaylist", save), 0);
  }

  std::unique_ptr<StatusListener> MakeBridge() {
    BridgeServices services;
    services.status = [this]() -> MListenerList* { return status_.Get(); };
    services.log = [this](int32_t level, const TString& text) {
      log_.push_back(std::to_string(level) + " " + Utf8(text).c_str());
    };
    return std::make_unique<StatusListener>(Utf16(folder_.Path()), std::move(services));
  }

  static std::vector<std::string> Urls(StatusListener& bridge) {
    RefPtr<MPlaylist> playlist = bridge.FindPlaylist(u"");
    std::vector<std::string> urls;
    if (!playlist) return urls;
    TArray<ItemInfo> items;
    uint32_t revision = 0;
    playlist->GetCurrentItems(&items, &revision);
    for (ItemInfo& item : items) {
      playlist->GetUIDInfo(item.id, &item);
      urls.push_back(Utf8(item.url).c_str());
    }
    return urls;
  }

  test::ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_CORE_SO, VK2_TEST_TESSEL_SO}};
  test::TempFolder folder_;
  RefPtr<StatusList> status_{new StatusList};
  std::vector<std::string> log_;
};

TEST_F(BridgeCoreTest, TheDefaultPlaylistIsSavedAtStopAndRestoredAtTheNextStart) {
  SetSavePlaylist(true);
  folder_.Write("one.mp3", {});
  folder_.Write("two.ogg", {});
  const std::string root = "file://" + folder_.Path();
  {
    auto bridge = MakeBridge();
    ASSERT_TRUE(bridge->StartCore(Utf16Tokens({"velkora2"})));
    EXPECT_TRUE(Urls(*bridge).empty());
    RefPtr<MPlayer> player;
    ASSERT_EQ(bridge->GetPlayer(&player, u""), kOk);
    ASSERT_GE(bridge->LoadIntoPlaylist(u"default", Utf16(folder_ / "one.mp3")), 1);
    ASSERT_GE(bridge->LoadIntoPlaylist(u"default", Utf16(folder_ / "two.ogg")), 1);
    bridge->StopCore();
    EXPECT_EQ(bridge->Core(), nullptr);
  }
  ASSERT_TRUE(std::filesystem::exists(folder_ / "Velkora.xpl"));
  // Nothing but the file itself is left behind.
  EXPECT_EQ(folder_.List(), (std::vector<std::string>{"Velkora.xpl", "one.mp3", "two.ogg"}));
  {
    auto bridge = MakeBridge();
    ASSERT_TRUE(bridge->StartCore(Utf16Tokens({"velkora2"})));
    EXPECT_EQ(Urls(*bridge), (std::vector<std::string>{root + "/one.mp3", root + "/two.ogg"}));
  }
}

TEST_F(BridgeCoreTest, AnXplWithEntriesRelativeToItsFolderReadsBack) {
  SetSavePlaylist(true);
  std::filesystem::create_directory(folder_ / "music");
  folder_.Write("music/a.mp3", {});
  // What the XPL writer writes with relative entries, made by the core's own writer.
  {
    auto bridge = MakeBridge();
    ASSERT_TRUE(bridge->StartCore(Utf16Tokens({"velkora2"})));
    ASSERT_GE(bridge->LoadIntoPlaylist(u"default", Utf16(folder_ / "music/a.mp3")), 1);
    RefPtr<MPlaylistLoader> xpl =
        CreateRuntimeObject<MPlaylistLoader>(kXplLoaderClass, kIID_MPlaylistLoader);
    FileStream stream;
    ASSERT_TRUE(stream.Open(Utf16(folder_ / "Velkora.xpl"), kOpenWrite | kOpenCreateAlways));
    ASSERT_GE(xpl->WritePlaylist(&stream, bridge->FindPlaylist(u"").Get(), 1, 1), 0);
    stream.Close();
    SetSavePlaylist(false);  // so the stop keeps that file
    bridge->StopCore();
  }
  std::ifstream in(folder_ / "Velkora.xpl");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(text.find(folder_.Path()), std::string::npos) << text;  // relative indeed
  SetSavePlaylist(true);
  auto bridge = MakeBridge();
  ASSERT_TRUE(bridge->StartCore(Utf16Tokens({"velkora2"})));
  EXPECT_EQ(Urls(*bridge), (std::vector<std::string>{"file://" + folder_.Path() + "/music/a.mp3"}));
}

TEST_F(BridgeCoreTest, WithoutSavePlaylistNothingIsReadOrWritten) {
  SetSavePlaylist(false);
  folder_.Write("one.mp3", {});
  // A file from an earlier run is not read.
  std::ofstream(folder_ / "Velkora.xpl") << "not even a playlist";
  auto bridge = MakeBridge();
  ASSERT_TRUE(bridge->StartCore(Utf16Tokens({"velkora2"})));
  EXPECT_TRUE(Urls(*bridge).empty());
  ASSERT_GE(bridge->LoadIntoPlaylist(u"default", Utf16(folder_ / "one.mp3")), 1);
  bridge->StopCore();
  std::ifstream in(folder_ / "Velkora.xpl");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "not even a playlist");
}

TEST_F(BridgeCoreTest, TheStartPostsTheVersionAndPlayerEventsBecomeTexts) {
  auto bridge = MakeBridge();
  ASSERT_TRUE(bridge->StartCore(Utf16Tokens({"velkora2"})));
  const std::string version = Utf8(bridge->GetVersionText()).c_str();
  EXPECT_EQ(version.rfind("Velkora 2 ", 0), 0u);
  EXPECT_TRUE(status_->listener.WaitFor(version));
  RefPtr<MPlayer> player;
  ASSERT_EQ(bridge->GetPlayer(&player, u"default"), kOk);
  ASSERT_GE(player->SetVolume(0.25), 0);
  EXPECT_TRUE(status_->listener.WaitFor("(25%)"));
  ASSERT_GE(player->SetRepeat(kRepeatOne), 0);
  EXPECT_TRUE(status_->listener.WaitFor("Repeat one"));
  bridge->StopCore();
}

TEST_F(BridgeCoreTest, ARemoteHostOrNoCoreLeavesLookupsFailingQuietly) {
  auto bridge = MakeBridge();
  EXPECT_FALSE(bridge->StartCore(Utf16Tokens({"velkora2", "-r127.0.0.1:0x1F90"})));
  EXPECT_TRUE(bridge->Remote().set);
  EXPECT_EQ(bridge->Remote().port, 8080u);
  EXPECT_EQ(bridge->Core(), nullptr);
  void* remote = nullptr;
  EXPECT_EQ(RuntimeCreateInstance(kMediaCoreClass, kIID_MRemoteCore, &remote), kErrNoInterface);
  EXPECT_EQ(remote, nullptr);
  RefPtr<MPlayer> player;
  RefPtr<MPlaylist> playlist;
  TString name;
  EXPECT_EQ(bridge->GetPlayer(&player, u""), kErrNoService);
  EXPECT_EQ(bridge->GetPlaylist(&playlist, u""), kErrNoService);
  EXPECT_EQ(bridge->AddTemporaryPlaylist(u"default", &name), kErrNoService);
  EXPECT_EQ(bridge->RemovePlaylist(u"default"), kErrNoService);
  bridge->StopCore();  // nothing to stop

  EXPECT_FALSE(bridge->StartCore(Utf16Tokens({"velkora2", "-rno such host.invalid"})));
  EXPECT_EQ(log_, (std::vector<std::string>{"7 Unable to resolve remote host specified.\n"}));
}

TEST_F(BridgeCoreTest, ASecondStartOverAnExistingDefaultFails) {
  auto first = MakeBridge();
  ASSERT_TRUE(first->StartCore(Utf16Tokens({"velkora2"})));
  auto second = MakeBridge();
  EXPECT_FALSE(second->StartCore(Utf16Tokens({"velkora2"})));
  EXPECT_NE(second->Core(), nullptr);  // named and listening, without its own defaults
  second.reset();
  first.reset();
}

}  // namespace
}  // namespace vk2::gui
