// The playlist and player managers over the real runtime's preferences, with stand-in
// playlists and players.
#include <gtest/gtest.h>

#include <optional>

#include "component/module/runtime_loader.h"
#include "core/managers/player_manager.h"
#include "core/managers/playlist_manager.h"
#include "interfaces/ids.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/core/fakes/list_playlist.h"
#include "tests/core/fakes/recording_player.h"

namespace vk2::test {
namespace {

RefPtr<MPreferenceStore> Section(const char16_t* path) {
  auto store = CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  if (!store || store->OpenSection(path, 1) < 0) return nullptr;
  return store;
}

class ManagersTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(LoadRuntime()); }
  void TearDown() override { UnloadRuntime(); }

  PlaylistManagerEnvironment PlaylistEnvironment() {
    PlaylistManagerEnvironment environment;
    environment.makePlaylist = [this] {
      RefPtr<ListPlaylist> playlist(new ListPlaylist);
      playlists_.push_back(playlist);
      return RefPtr<MPlaylist>(playlist.Get());
    };
    environment.log = [](const RegistryLine&) {};
    return environment;
  }

  PlayerManagerEnvironment PlayerEnvironment(MPlayerListener* coreListener) {
    PlayerManagerEnvironment environment;
    environment.makePlayer = [this](MPlayerModuleCatalogue*) {
      RefPtr<RecordingPlayer> player(new RecordingPlayer);
      players_.push_back(player);
      return RefPtr<MPlayer>(player.Get());
    };
    environment.coreListener = coreListener;
    environment.log = [](const RegistryLine&) {};
    return environment;
  }

  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO}};
  std::vector<RefPtr<ListPlaylist>> playlists_;
  std::vector<RefPtr<RecordingPlayer>> players_;
  std::vector<std::string> shutdowns_;
};

class Owner final : public ComObject<Owner, SilentFace<MUnknown>> {};

TEST_F(ManagersTest, IdleScanSettingsComeFromPreferencesAndGoBack) {
  const struct {
    const char16_t* stored;  // null: nothing stored
    IdleScanMode mode;
    const char16_t* written;
  } cases[] = {
      {nullptr, IdleScanMode::kQuick, u"quick"},
      {u"THOROUGH", IdleScanMode::kThorough, u"thorough"},
      {u"quick", IdleScanMode::kQuick, u"quick"},
      {u"fast", IdleScanMode::kQuick, u"quick"},
  };
  RefPtr<Owner> owner(new Owner);
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf8(c.written).c_str());
    auto section = Section(u"Velkora/PlaylistServer");
    ASSERT_TRUE(section);
    section->RemoveValue(u"IdleScan");
    section->RemoveValue(u"StartIdleScanImmediately");
    if (c.stored) section->SetString(u"IdleScan", c.stored);
    {
      PlaylistManager manager(owner.Get(), PlaylistEnvironment());
      EXPECT_EQ(manager.Mode(), c.mode);
      EXPECT_TRUE(manager.StartsImmediately()) << "the default";
      manager.SetIdleScan(c.mode, 0);
    }
    TString written;
    bool start = true;
    ASSERT_EQ(section->GetString(u"IdleScan", &written), 0);
    ASSERT_EQ(section->GetBool(u"StartIdleScanImmediately", &start), 0);
    EXPECT_EQ(written, TString(c.written));
    EXPECT_FALSE(start);
  }
}

TEST_F(ManagersTest, PlaylistsGetTheIdleScanSettingsAndAreShutDownWhenNobodyHoldsThem) {
  RefPtr<Owner> owner(new Owner);
  PlaylistManager manager(owner.Get(), PlaylistEnvironment());
  manager.SetIdleScan(IdleScanMode::kThorough, 1);
  ASSERT_EQ(manager.AddRemove(u"default", 1), 0);
  TString temporary;
  ASSERT_EQ(manager.MakeTemporaryName(u"job", &temporary), 0);
  ASSERT_EQ(playlists_.size(), 2u);
  EXPECT_EQ(playlists_[0]->idleScanSettings, 1);
  EXPECT_EQ(playlists_[0]->idleMode, IdleScanMode::kThorough);
  EXPECT_EQ(playlists_[1]->idleScanSettings, 0) << "temporary playlists do not scan";

  // Every listed playlist hears a change of the settings.
  manager.SetIdleScan(IdleScanMode::kQuick, 0);
  EXPECT_EQ(playlists_[0]->idleScanSettings, 2);
  EXPECT_EQ(playlists_[1]->idleScanSettings, 1);

  // The test's reference to "default" stands for a script still using it: it is not shut down
  // under it. The temporary playlist, held only by the registry, is.
  for (const RefPtr<ListPlaylist>& playlist : playlists_)
    playlist->shutdownLog = &shutdowns_;
  playlists_.resize(1);
  ASSERT_EQ(manager.AddRemove(u"default", 0), 0);
  ASSERT_EQ(manager.AddRemove(temporary, 0), 0);
  EXPECT_EQ(shutdowns_, std::vector<std::string>{std::string(Utf8(temporary).c_str())});
}

TEST_F(ManagersTest, RemovingEverythingShutsEveryPlaylistDown) {
  RefPtr<Owner> owner(new Owner);
  PlaylistManager manager(owner.Get(), PlaylistEnvironment());
  ASSERT_EQ(manager.AddRemove(u"a", 1), 0);
  ASSERT_EQ(manager.AddRemove(u"b", 1), 0);
  manager.RemoveAll();
  for (const RefPtr<ListPlaylist>& playlist : playlists_)
    EXPECT_EQ(playlist->shutdowns, 1);
  std::vector<TString> names;
  ASSERT_EQ(manager.ListNames(&names), 0);
  EXPECT_TRUE(names.empty());
}

class CoreListener final : public ComObject<CoreListener, Face<MPlayerListener>> {
 public:
  void OnEvent(MPlayer*, int32_t code, const char16_t*) override { codes.push_back(code); }
  std::vector<int32_t> codes;
};

TEST_F(ManagersTest, PlayersLoadTheirOptionsWhenAddedAndSaveThemWhenRemoved) {
  RefPtr<Owner> owner(new Owner);
  RefPtr<CoreListener> core(new CoreListener);
  auto section = Section(u"velkora/gui/player");
  ASSERT_TRUE(section);
  section->SetDouble(u"TestVolume", 0.25);
  std::optional<PlayerManager> manager;
  manager.emplace(owner.Get(), PlayerEnvironment(core.Get()));
  ASSERT_EQ(manager->AddRemove(u"default", 1), 0);
  ASSERT_EQ(manager->AddRemove(u"second", 1), 0);
  ASSERT_EQ(players_.size(), 2u);
  RefPtr<RecordingPlayer> first = players_[0], second = players_[1];
  EXPECT_EQ(first->volume, 0.25);
  first->Raise(5, u"x");
  EXPECT_EQ(core->codes, std::vector<int32_t>{5}) << "the core hears its players";

  first->volume = 0.75;
  ASSERT_EQ(manager->AddRemove(u"default", 0), 0);
  EXPECT_EQ(first->diary, (std::vector<std::string>{"load", "save"})) << "held here: no shutdown";
  EXPECT_TRUE(first->listeners.empty()) << "the core stops listening to a removed player";
  double saved = 0;
  ASSERT_EQ(section->GetDouble(u"TestVolume", &saved), 0);
  EXPECT_EQ(saved, 0.75);

  // The manager going saves and shuts down every player it still has.
  manager.reset();
  EXPECT_EQ(second->diary, (std::vector<std::string>{"load", "save", "shutdown"}));
}

}  // namespace
}  // namespace vk2::test
