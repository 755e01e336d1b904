// A player over the media core's own media system and playlist, playing the engine's fixture
// streams into a capture device in process: items in order by each playback method.
#include "core/media/media_system_factory.h"
#include "core/playlist/playlist_control.h"
#include "tests/audio/engine/engine_env.h"
#include "tests/core/player/player_harness.h"

namespace vk2::test {
namespace {

struct MethodCase {
  const char* name;
  int32_t method;
  double seconds;
  bool wholeItemsHeard;  // crossfades mix the items' ends and starts
};

class PlayerEngineTest : public EngineEnv, public ::testing::WithParamInterface<MethodCase> {
 protected:
  void SetUp() override {
    reader = AddReader("reader");
    AddDecoder("decoder");
    AddDevice(device);
    PlayerEnvironment environment;
    environment.errors = RefPtr<MErrorRegistry>(registry.Errors());
    environment.makeMediaSystem = [] { return CreateMediaSystem(); };
    environment.makePreferences = [this] { return registry.NewPreferences(); };
    ASSERT_EQ(CreatePlayer(u"player", environment, player.Put()), 0);
    ASSERT_EQ(player->AddRemoveListener(events.Get(), 1), 0);
    PlaylistSettings settings;
    settings.errors = RefPtr<MErrorRegistry>(registry.Errors());
    playlist = PlaylistControl::Create(settings);
    ASSERT_TRUE(playlist);
  }
  void TearDown() override {
    if (player) player->Shutdown();
    player = nullptr;
    if (playlist) playlist->Shutdown();
    playlist = nullptr;
    EngineEnv::TearDown();
  }

  // Items of `seconds` each, a signal of its own; returns their ids.
  std::vector<uint32_t> AddItems(const std::vector<double>& seconds) {
    std::vector<uint32_t> ids;
    for (size_t i = 0; i < seconds.size(); ++i) {
      SignalSpec spec;
      spec.sampleRate = 44100;
      spec.frames = static_cast<uint32_t>(seconds[i] * spec.sampleRate);
      spec.seed = static_cast<uint32_t>(i + 1);
      specs.push_back(spec);
      const std::u16string name = u"player" + std::u16string(1, u'a' + i) + u".sig";
      AddStream(name, SignalFile(spec));
      ItemInfo item;
      item.SetUrl(TString((u"signal://" + name).c_str()));
      TArray<uint32_t> added;
      EXPECT_EQ(playlist->AddItems(&item, 1, kPlaylistBottom, &added), 0);
      ids.push_back(added[0]);
    }
    return ids;
  }

  // Waits until the player has reported the end of playback, moving the device's clock.
  bool WaitForEnd() {
    return WaitUntil([&] {
      const auto codes = events->Codes();
      return !codes.empty() && codes.back() == kPlayerStopping;
    });
  }
  bool WaitUntil(const std::function<bool()>& done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < until) {
      if (done()) return true;
      device->Advance(stepUs);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return done();
  }
  std::vector<uint32_t> Started() {
    std::lock_guard lock(startedMutex);
    return started;
  }

  // Stream ids as SongStarted announced them (read from GetInfo on the event thread).
  class StartWatch final : public ComObject<StartWatch, SilentFace<MPlayerListener>> {
   public:
    explicit StartWatch(PlayerEngineTest* test) : test_(test) {}
    void OnEvent(MPlayer* player, int32_t code, const char16_t*) override {
      if (code != kPlayerSongStarted) return;
      PlayerInfo info;
      player->GetInfo(&info);
      std::lock_guard lock(test_->startedMutex);
      test_->started.push_back(info.currentId);
    }

   private:
    PlayerEngineTest* test_;
  };
  std::mutex startedMutex;
  std::vector<uint32_t> started;
  // Device time played per millisecond of real time. A crossfade starts on a time notification
  // that the endpoint waits for by the real clock, so that case plays no faster than real time.
  uint64_t stepUs = 50000;

  std::shared_ptr<ReaderConfig> reader;
  std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
  std::vector<SignalSpec> specs;
  RefPtr<MPlayer> player;
  RefPtr<PlaylistControl> playlist;
  RefPtr<EventRecorder> events{new EventRecorder};
};

TEST_P(PlayerEngineTest, APlaylistPlaysInOrderByTheMethodChosen) {
  const MethodCase& c = GetParam();
  device->clock = CaptureState::Clock::kManual;
  if (c.method == kPlaybackCrossfade) stepUs = 1000;
  // Longer than the chains' warm-up, so each successor is prepared while its item plays.
  const auto ids = AddItems({6.0, 6.5, 6.25});
  ASSERT_EQ(player->SetPlaylist(playlist.Get()), 0);
  ASSERT_EQ(player->SetPlaybackMethod(c.method, c.seconds), 0);
  int32_t method = -1;
  double seconds = -1.0;
  ASSERT_EQ(player->GetPlaybackMethod(&method, &seconds), 0);
  EXPECT_EQ(method, c.method);
  ASSERT_EQ(player->Play(0), 0);
  ASSERT_TRUE(WaitForEnd());
  std::vector<int32_t> started;
  for (int32_t code : events->Codes()) {
    if (code == kPlayerSongStarted || code == kPlayerCurrentIdChanged) started.push_back(code);
  }
  EXPECT_EQ(started, (std::vector<int32_t>{4, 11, 4, 11, 4, 11}));
  PlayerInfo info;
  ASSERT_EQ(player->GetInfo(&info), 0);
  EXPECT_EQ(info.state & kPlayerStateMask, static_cast<uint32_t>(kMediaStopped));
  EXPECT_EQ(info.currentId, ids.back());
  if (c.wholeItemsHeard) {
    std::vector<uint8_t> expected;
    for (const SignalSpec& spec : specs) {
      const auto bytes = SignalBytes(spec);
      expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    EXPECT_EQ(device->Heard(), expected);
  }
}

TEST_P(PlayerEngineTest, NextAndAMethodChangeWhilePlaying) {
  device->clock = CaptureState::Clock::kManual;
  const auto ids = AddItems({6.0, 6.0, 6.0});
  RefPtr<StartWatch> watch(new StartWatch(this));
  ASSERT_EQ(player->AddRemoveListener(watch.Get(), 1), 0);
  ASSERT_EQ(player->SetPlaylist(playlist.Get()), 0);
  ASSERT_EQ(player->Play(0), 0);
  ASSERT_TRUE(WaitUntil([&] { return Started().size() == 1; }));
  // The method changes under way; the switches from here on use it.
  ASSERT_EQ(player->SetPlaybackMethod(GetParam().method, GetParam().seconds), 0);
  ASSERT_EQ(player->Next(0), 0);
  PlayerInfo info;
  ASSERT_EQ(player->GetInfo(&info), 0);
  EXPECT_EQ(info.currentId, ids[1]);
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(Started(), ids);
  player->AddRemoveListener(watch.Get(), 0);
}

TEST_P(PlayerEngineTest, StopDuringAStalledPrebufferReturnsWithinASecond) {
  reader->stallAfter = 4096;
  AddItems({6.0});
  ASSERT_EQ(player->SetPlaylist(playlist.Get()), 0);
  ASSERT_EQ(player->SetPlaybackMethod(GetParam().method, GetParam().seconds), 0);
  ASSERT_EQ(player->Play(1), 0);
  ASSERT_TRUE(WaitUntil([&] { return reader->stalled.load(); }));
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(player->Stop(0), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
  PlayerInfo info;
  ASSERT_EQ(player->GetInfo(&info), 0);
  EXPECT_EQ(info.state & kPlayerStateMask, static_cast<uint32_t>(kMediaStopped));
  // The cancelled start is no failure: the Stop reports.
  ASSERT_TRUE(WaitUntil([&] { return !events->Codes().empty(); }));
  EXPECT_THAT(events->Codes(), ::testing::ElementsAre(kPlayerStopping));
}

INSTANTIATE_TEST_SUITE_P(Methods, PlayerEngineTest,
                         ::testing::Values(MethodCase{"Normal", kPlaybackNormal, 0.0, true},
                                           MethodCase{"Seamless", kPlaybackSeamless, 0.0, true},
                                           MethodCase{"Crossfade", kPlaybackCrossfade, 0.05,
                                                      false}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vk2::test
