// The media core object with stand-in players and playlists, over the runtime's preferences.
#include "core/module/media_core.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "component/module/runtime_loader.h"
#include "core/module/core_packet.h"
#include "core/module/text_scrambler.h"
#include "foundation/util/result.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/core/fakes/list_playlist.h"
#include "tests/core/fakes/recording_player.h"

namespace vk2::test {
namespace {

std::string U8(const TString& s) {
  return Utf8(s).c_str();
}

TEST(TextScramblerTest, ScrambledTextComesBackAndForeignTextGivesNothing) {
  for (const char16_t* text : {u"", u"a", u"secret password", u"\u00e9t\u00e9 \u6771\u4eac"}) {
    const TString scrambled = ScrambleText(text);
    EXPECT_EQ(UnscrambleText(scrambled), TString(text));
    if (*text) {
      EXPECT_FALSE(scrambled == TString(text));
    }
  }
  EXPECT_TRUE(ScrambleText(u"").IsEmpty());
  // A NUL inside, characters outside the alphabet, a lone character: no text.
  const char16_t withNul[] = {u'a', 0, u'b'};
  EXPECT_TRUE(UnscrambleText(ScrambleText(TString(std::u16string_view(withNul, 3)))).IsEmpty());
  EXPECT_TRUE(UnscrambleText(u"not*base64!").IsEmpty());
  EXPECT_TRUE(UnscrambleText(u"Q").IsEmpty());
}

TEST(CorePacketTest, StringsAreBoundedByThePayload) {
  // "init", then "ab".
  const uint8_t good[] = {0, 0, 0, 8, 0, 'i', 0, 'n', 0, 'i', 0, 't', 0, 0, 0, 4, 0, 'a', 0, 'b'};
  std::vector<TString> strings;
  ASSERT_TRUE(ParseCommandPacket(good, sizeof good, &strings));
  ASSERT_EQ(strings.size(), 2u);
  EXPECT_EQ(U8(strings[0]), "init");
  EXPECT_EQ(U8(strings[1]), "ab");
  const struct {
    std::vector<uint8_t> bytes;
  } bad[] = {
      {{0, 0, 0, 9, 0, 'i', 0, 'n', 0, 'i', 0, 't', 0}},  // odd length
      {{0, 0, 0, 10, 0, 'i', 0, 'n'}},                    // runs past the end
      {{0xFF, 0xFF, 0xFF, 0xFE, 0, 'i'}},                 // a huge length
      {{0, 0, 0}},                                        // a cut length word
  };
  for (const auto& b : bad)
    EXPECT_FALSE(
        ParseCommandPacket(b.bytes.data(), static_cast<uint32_t>(b.bytes.size()), &strings));
}

class Receiver : public MProxyReceiver {
 public:
  void SetProxy(const ProxyRecord& proxy) override {
    got.push_back(std::string(proxy.url.c_str()) + "|" + proxy.user.c_str() + "|" +
                  proxy.password.c_str());
  }
  std::vector<std::string> got;
};

class CoreEvents : public MCoreListener {
 public:
  void OnCoreEvent(int32_t code, const TString& text, MPlayer* player) override {
    std::lock_guard lock(mutex);
    heard.push_back(std::to_string(code) + " " + U8(text));
    players.push_back(player);
    threads.push_back(std::this_thread::get_id());
  }
  size_t Count() {
    std::lock_guard lock(mutex);
    return heard.size();
  }
  std::mutex mutex;
  std::vector<std::string> heard;
  std::vector<MPlayer*> players;
  std::vector<std::thread::id> threads;
};

class MediaCoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadRuntime());
    MediaCoreEnvironment environment;
    environment.playlists.makePlaylist = [] { return RefPtr<MPlaylist>(new ListPlaylist); };
    environment.playlists.log = [](const RegistryLine&) {};
    environment.players.makePlayer = [this](MPlayerModuleCatalogue*) {
      RefPtr<RecordingPlayer> player(new RecordingPlayer);
      players_.push_back(player);
      return RefPtr<MPlayer>(player.Get());
    };
    environment.players.log = [](const RegistryLine&) {};
    core_ = RefPtr<MediaCore>(new MediaCore(std::move(environment)));
  }
  void TearDown() override {
    core_ = nullptr;
    players_.clear();
    UnloadRuntime();
  }

  static bool Eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 5000 && !condition(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
  }

  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO}};
  std::vector<RefPtr<RecordingPlayer>> players_;
  RefPtr<MediaCore> core_;
};

TEST_F(MediaCoreTest, DescribesItself) {
  TString text;
  ASSERT_EQ(core_->SetName(u"main"), 0);
  ASSERT_EQ(core_->GetName(&text), 0);
  EXPECT_EQ(U8(text), "main");
  ASSERT_EQ(core_->GetVersion(&text), 0);
  EXPECT_EQ(U8(text), "alpha 1");
  ASSERT_EQ(core_->GetBuildDate(&text), 0);
  EXPECT_EQ(U8(text), "Jun 29 2001 20:44:02");
  EXPECT_EQ(core_->Reserved(), -18);
  ASSERT_EQ(core_->ScrambleText(&text, u"pw", 0), 0);
  TString back;
  ASSERT_EQ(core_->ScrambleText(&back, text, 1), 0);
  EXPECT_EQ(U8(back), "pw");
}

TEST_F(MediaCoreTest, PlayerEventsReachTheListenersOnTheCoresThreadInOrder) {
  CoreEvents events;
  ASSERT_EQ(core_->AddRemoveListener(&events, 1), 0);
  ASSERT_EQ(core_->AddRemoveListener(&events, 1), kErrAlreadyPresent);
  ASSERT_EQ(core_->GetPlayerManager()->AddRemove(u"default", 1), 0);
  RecordingPlayer* player = players_.at(0).Get();
  std::thread raiser([&] {
    for (int code = 1; code <= 50; ++code)
      player->Raise(code, u"e");
  });
  raiser.join();
  ASSERT_TRUE(Eventually([&] { return events.Count() == 50; }));
  ASSERT_EQ(core_->AddRemoveListener(&events, 0), 0);
  ASSERT_EQ(core_->AddRemoveListener(&events, 0), kErrNotFound);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(events.heard[i], std::to_string(i + 1) + " e");
    EXPECT_EQ(events.players[i], player);
    EXPECT_NE(events.threads[i], std::this_thread::get_id());
    EXPECT_EQ(events.threads[i], events.threads[0]);
  }
}

TEST_F(MediaCoreTest, RemovingEverythingSavesPlayersAndTellsTheListeners) {
  class Names : public MNamedObjectListener {
   public:
    void OnChange(int32_t change, const TString& name, const TString&) override {
      heard.push_back(std::to_string(change) + " " + U8(name));
    }
    std::vector<std::string> heard;
  } playerNames, playlistNames;
  MPlayerManager* players = core_->GetPlayerManager();
  MPlaylistManager* playlists = core_->GetPlaylistManager();
  ASSERT_EQ(players->AddRemoveListener(&playerNames, 1), 0);
  ASSERT_EQ(playlists->AddRemoveListener(&playlistNames, 1), 0);
  ASSERT_EQ(players->AddRemove(u"default", 1), 0);
  ASSERT_EQ(playlists->AddRemove(u"default", 1), 0);
  players_[0]->volume = 0.125;
  ASSERT_EQ(core_->RemoveAllObjects(), 0);
  EXPECT_EQ(playerNames.heard, (std::vector<std::string>{"0 default", "1 default"}));
  EXPECT_EQ(playlistNames.heard, (std::vector<std::string>{"0 default", "1 default"}));
  EXPECT_EQ(players_[0]->diary, (std::vector<std::string>{"load", "save", "shutdown"}));
  auto section = CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  ASSERT_TRUE(section);
  ASSERT_EQ(section->OpenSection(u"velkora/gui/player", 0), 0);
  double volume = 0;
  ASSERT_EQ(section->GetDouble(u"TestVolume", &volume), 0);
  EXPECT_EQ(volume, 0.125);
  players->AddRemoveListener(&playerNames, 0);
  playlists->AddRemoveListener(&playlistNames, 0);
}

TEST_F(MediaCoreTest, ProxySettingsAreDeliveredOnlyWhenEnabledWithAnAddress) {
  auto section = CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  ASSERT_TRUE(section);
  ASSERT_EQ(section->OpenSection(u"proxy", 1), 0);
  const struct {
    bool enabled;
    const char16_t* url;
    bool auth;
    std::vector<std::string> got;
  } cases[] = {
      {false, u"http://127.0.0.1:3128", false, {}},
      {true, u"", false, {}},
      {true, u"http://127.0.0.1:3128", false, {"http://127.0.0.1:3128||"}},
      {true, u"http://127.0.0.1:3128", true, {"http://127.0.0.1:3128|me|s3cret"}},
  };
  for (const auto& c : cases) {
    section->SetBool(u"enabled", c.enabled);
    section->SetString(u"URL", c.url);
    section->SetBool(u"authenabled", c.auth);
    section->SetString(u"AuthName", u"me");
    section->SetString(u"AuthPassword", ScrambleText(u"s3cret").c_str());
    Receiver receiver;
    ASSERT_EQ(core_->GetProxySettings(&receiver), 0);
    EXPECT_EQ(receiver.got, c.got);
  }
}

TEST_F(MediaCoreTest, CallbackSinksAreKeptUntilUnregistered) {
  MMediaCoreNotify* sink = nullptr;
  EXPECT_EQ(core_->RegisterCallbackSink(&sink, 0, 0, 0, 0, 1), kErrMissingArg);
  EXPECT_EQ(core_->RegisterCallbackSink(&sink, 1, 0, 0, 0, 0), kErrMissingArg);
  EXPECT_EQ(core_->RegisterCallbackSink(nullptr, 1, 0, 0, 0, 1), kErrMissingArg);
  ASSERT_EQ(core_->RegisterCallbackSink(&sink, 1, 0, 0, 0, 1), 0);
  RefPtr<MMediaCoreNotify> held = RefPtr<MMediaCoreNotify>::Adopt(sink);
  const uint8_t truncated[] = {0, 0, 0, 200, 0, 'i'};
  EXPECT_EQ(held->OnPacket({kMediaCorePacketCommand, truncated, sizeof truncated}), 0);
  EXPECT_EQ(core_->UnregisterCallbackSink(sink), 0);
  EXPECT_EQ(core_->UnregisterCallbackSink(sink), kErrNotFound);
  EXPECT_EQ(core_->UnregisterCallbackSink(nullptr), kErrMissingArg);
  // A sink still held after the core has gone stays usable.
  MMediaCoreNotify* outliving = nullptr;
  ASSERT_EQ(core_->RegisterCallbackSink(&outliving, 1, 0, 0, 0, 1), 0);
  core_ = nullptr;
  EXPECT_EQ(outliving->OnPacket({kMediaCorePacketCommand, nullptr, 0}), 0);
  outliving->Release();
}

TEST_F(MediaCoreTest, TheLastReferenceMayGoInsideAListener) {
  class Dropper : public MCoreListener {
   public:
    void OnCoreEvent(int32_t, const TString&, MPlayer*) override {
      if (core) core.Reset(), done = true;
    }
    RefPtr<MediaCore> core;
    std::atomic<bool> done{false};
  } dropper;
  ASSERT_EQ(core_->GetPlayerManager()->AddRemove(u"default", 1), 0);
  ASSERT_EQ(core_->AddRemoveListener(&dropper, 1), 0);
  dropper.core = core_;
  RefPtr<RecordingPlayer> player = players_.at(0);
  core_ = nullptr;
  player->Raise(1, u"last");
  EXPECT_TRUE(Eventually([&] { return dropper.done.load(); }));
}

}  // namespace
}  // namespace vk2::test
