// Options, settings, play information, module settings and control objects of a player.
#include "tests/core/player/fakes/fake_control_objects.h"
#include "tests/core/player/player_harness.h"

namespace vk2::test {
namespace {

using ::testing::ElementsAre;

RefPtr<MPreferenceStore> Section(PlayerHarness& h, const char16_t* path) {
  auto store = MakeMemoryPreferences(h.preferences);
  store->OpenSection(path, 1);
  return store;
}

TEST(PlayerOptions, PlaybackMethodRemembersATimePerMethod) {
  struct Step {
    int32_t method;
    double seconds;
    int32_t result;
    int32_t method_after;
    double time_after;
  };
  // Each sequence runs on a new player.
  const std::vector<std::vector<Step>> sequences = {
      {{kPlaybackSeamless, -1.0, 0, kPlaybackSeamless, 0.0}},
      {{kPlaybackCrossfade, -1.0, 0, kPlaybackCrossfade, 5.0}},
      {{kPlaybackCrossfade, 3.0, 0, kPlaybackCrossfade, 3.0},
       {kPlaybackSeamless, -1.0, 0, kPlaybackSeamless, 0.0},
       {kPlaybackCrossfade, -1.0, 0, kPlaybackCrossfade, 3.0}},
      {{kPlaybackNormal, 7.0, 0, kPlaybackNormal, 7.0}},
      {{7, 1.0, -21, kPlaybackNormal, 5.0}, {-1, 1.0, -21, kPlaybackNormal, 5.0}},
  };
  for (const auto& steps : sequences) {
    PlayerHarness h;
    for (const Step& s : steps) {
      EXPECT_EQ(h.player->SetPlaybackMethod(s.method, s.seconds), s.result) << s.method;
      int32_t method = -1;
      double seconds = -2.0;
      ASSERT_EQ(h.player->GetPlaybackMethod(&method, &seconds), 0);
      EXPECT_EQ(method, s.method_after);
      EXPECT_EQ(seconds, s.time_after);
    }
  }
}

TEST(PlayerOptions, LoadedSettingsReachTheMediaSystem) {
  struct Case {
    const char16_t* method;
    int32_t expected;
    double time;
  };
  for (const Case& c :
       {Case{u"crossfade", kPlaybackCrossfade, 2.5}, Case{u"SEAMLESS", kPlaybackSeamless, 0.75},
        Case{u"Fade", kPlaybackNormal, 5.0}}) {
    PlayerHarness h;
    auto mine = Section(h, u"/velkora/gui/player/player");
    mine->SetDouble(u"Volume", 0.4);
    mine->SetDouble(u"SeamlessTransitionTime", 0.75);
    mine->SetDouble(u"CrossfadeTransitionTime", 2.5);
    mine->SetString(u"PlaybackMethod", c.method);
    ASSERT_EQ(h.player->LoadSettings(Section(h, u"/velkora/gui/player").Get()), 0);
    double volume = 0.0;
    h.player->GetVolume(&volume);
    EXPECT_EQ(volume, 0.4);
    // What the user hears, not only what the player reports.
    EXPECT_EQ(h.media->Volume(), 0.4);
    EXPECT_EQ(h.media->MethodInForce(), c.expected);
    EXPECT_EQ(h.media->TimeInForce(), c.time);
  }
}

TEST(PlayerOptions, VolumeIsKeptWithinRangeAndAnnouncedOnChange) {
  PlayerHarness h;
  auto mine = Section(h, u"/p/player");
  mine->SetDouble(u"Volume", 3.0);
  ASSERT_EQ(h.player->LoadSettings(Section(h, u"/p").Get()), 0);
  EXPECT_EQ(h.media->Volume(), 1.0);
  EXPECT_EQ(h.player->SetVolume(1.0), 0);
  EXPECT_EQ(h.player->SetVolume(-0.5), 0);
  EXPECT_EQ(h.media->Volume(), 0.0);
  EXPECT_EQ(h.player->SetVolume(std::nan("")), -21);
  EXPECT_THAT(h.SettledCodes(), ElementsAre(kPlayerVolumeChanged));
}

TEST(PlayerOptions, SettingsAreSavedAndSavedAgainAtShutdown) {
  PlayerHarness h;
  auto base = Section(h, u"/velkora/gui/player");
  ASSERT_EQ(h.player->LoadSettings(base.Get()), 0);
  h.player->SetVolume(0.25);
  h.player->SetPlaybackMethod(kPlaybackCrossfade, 4.0);
  ASSERT_EQ(h.player->Shutdown(), 0);
  auto mine = Section(h, u"/velkora/gui/player/player");
  double volume = 0.0;
  double crossfade = 0.0;
  TString method;
  EXPECT_EQ(mine->GetDouble(u"Volume", &volume), 0);
  EXPECT_EQ(mine->GetDouble(u"CrossfadeTransitionTime", &crossfade), 0);
  EXPECT_EQ(mine->GetString(u"PlaybackMethod", &method), 0);
  EXPECT_EQ(volume, 0.25);
  EXPECT_EQ(crossfade, 4.0);
  EXPECT_EQ(method, u"Crossfade");
}

TEST(PlayerOptions, ShuffleReshufflesOnceAndRepeatKeepsTwoBits) {
  PlayerHarness h;
  h.UsePlaylist();
  EXPECT_EQ(h.player->SetShuffle(1), 0);
  EXPECT_EQ(h.player->SetShuffle(1), 0);
  EXPECT_EQ(h.playlist->Reshuffles(), 1);
  EXPECT_EQ(h.player->SetShuffle(0), 0);
  EXPECT_EQ(h.playlist->Reshuffles(), 1);
  EXPECT_EQ(h.player->SetRepeat(6), 0);
  uint32_t repeat = 0;
  h.player->GetRepeat(&repeat);
  EXPECT_EQ(repeat, kRepeatOne);
  EXPECT_THAT(h.SettledCodes(),
              ElementsAre(kPlayerShuffleChanged, kPlayerShuffleChanged, kPlayerRepeatChanged));
}

TEST(PlayerInformation, StateWordCarriesStateShuffleAndRepeat) {
  PlayerHarness h({100.0, 50.0, 30.0});
  h.UsePlaylist();
  PlayerInfo info;
  ASSERT_EQ(h.player->SeekToUID(h.ids[1], -1.0, 0, 1, 0), 0);
  h.player->SetShuffle(1);
  h.player->SetRepeat(kRepeatAll);
  // Past the item's verified length the time reported stops at it.
  h.media->SetStreamTimes(70.0, 50.0);
  ASSERT_EQ(h.player->GetInfo(&info), 0);
  EXPECT_EQ(info.state, kMediaPlaying | kPlayerShuffleFlag | (kRepeatAll << kPlayerRepeatShift));
  EXPECT_EQ(info.currentId, h.ids[1]);
  EXPECT_EQ(info.index, 1u);
  EXPECT_EQ(info.count, 3u);
  EXPECT_EQ(info.time, 50.0);
  EXPECT_EQ(info.item.url, u"file:///2.wav");
}

TEST(PlayerInformation, InsertedAudioIsReportedByItsProperties) {
  for (bool titled : {false, true}) {
    PlayerHarness h;
    h.UsePlaylist();
    if (titled) {
      h.media->SetTextProperty(u"insertedaudiotitle", u"Station jingle");
      h.media->SetNumberProperty(u"insertedaudiolength", 12.0);
    }
    h.media->PlayInsertedAudio();
    PlayerInfo info;
    ASSERT_EQ(h.player->GetInfo(&info), 0);
    EXPECT_EQ(info.currentId, kInsertedAudioId);
    EXPECT_EQ(info.index, 0u);
    EXPECT_EQ(info.item.title, titled ? u"Station jingle" : u"inserted audio");
    EXPECT_EQ(info.item.GetDurationType(), titled ? kDurationVerified : kDurationUnknown);
    EXPECT_EQ(info.item.duration, titled ? 12.0f : -1.0f);
  }
}

TEST(PlayerInformation, ProgressThroughThePlaylist) {
  PlayerHarness h({100.0, 50.0, 50.0});
  double fraction = 0.0;
  EXPECT_EQ(h.player->GetPlayProgress(&fraction), h.Code(PlayerError::kNoPlaylist));
  h.UsePlaylist();
  ASSERT_EQ(h.player->SeekToUID(h.ids[1], -1.0, 0, 1, 0), 0);
  h.media->SetStreamTimes(25.0, 50.0);
  ASSERT_EQ(h.player->GetPlayProgress(&fraction), 0);
  EXPECT_DOUBLE_EQ(fraction, 125.0 / 200.0);
  EXPECT_EQ(h.playlist->LockDepth(), 0);
  h.playlist->RemoveAll();
  EXPECT_EQ(h.player->GetPlayProgress(&fraction), h.Code(PlayerError::kPlaylistEmpty));
  // The early return let go of the playlist's lock.
  EXPECT_EQ(h.playlist->LockDepth(), 0);
}

TEST(PlayerInformation, ProgressWithUnknownLengthsUsesThePlaceInTheList) {
  PlayerHarness h({-1.0, -1.0, -1.0, -1.0});
  h.UsePlaylist();
  ASSERT_EQ(h.player->SeekToUID(h.ids[2], -1.0, 0, 1, 0), 0);
  h.media->SetStreamTimes(30.0, 60.0);
  double fraction = 0.0;
  ASSERT_EQ(h.player->GetPlayProgress(&fraction), 0);
  EXPECT_DOUBLE_EQ(fraction, 2.5 / 4.0);
}

TEST(PlayerInformation, AStartingItemIsFilledInFromItsChain) {
  PlayerHarness h({-1.0, -1.0});
  h.UsePlaylist();
  h.media->SetStreamTimes(0.0, 42.0);
  ASSERT_EQ(h.player->Play(0), 0);
  ItemInfo item;
  ASSERT_EQ(h.playlist->GetUIDInfo(h.ids[0], &item), 0);
  EXPECT_EQ(item.duration, 42.0f);
  EXPECT_EQ(item.GetScan(), kScanComplete);
}

TEST(PlayerModules, ModuleSettingsAreWrittenThroughToThePlayersSection) {
  ControlLog log;
  FakeCatalogue catalogue(&log);
  PlayerEnvironment environment;
  environment.catalogue = &catalogue;
  PlayerHarness h({-1.0}, environment);
  ASSERT_EQ(h.player->LoadSettings(Section(h, u"/velkora/gui/player").Get()), 0);
  EXPECT_EQ(h.player->SetModuleNumber(u"Fake Module", u"gain", 0.5), 0);
  // A later instance (the cached one expired) reads the stored value.
  double gain = 0.0;
  EXPECT_EQ(h.player->GetModuleNumber(u"Fake Module", u"gain", &gain), 0);
  EXPECT_EQ(gain, 0.5);
  double stored = 0.0;
  EXPECT_EQ(Section(h, u"/velkora/gui/player/player/Fake Module")->GetDouble(u"gain", &stored), 0);
  EXPECT_EQ(stored, 0.5);
  EXPECT_EQ(h.player->SetModuleNumber(u"Other", u"gain", 0.5), kErrNotFound);
  std::vector<TString> names;
  EXPECT_EQ(h.player->ListModules(&names), 0);
  EXPECT_THAT(names, ElementsAre(TString(u"Fake Module")));
  EXPECT_EQ(h.player->AddRemoveModuleListListener(nullptr, 1), 0);
  EXPECT_EQ(log.Lines().front(), "catalogue.Instance(player)");
}

TEST(PlayerModules, WithoutAManagerThereAreNoModules) {
  PlayerHarness h;
  std::vector<TString> names;
  EXPECT_EQ(h.player->ListModules(&names), 0);
  EXPECT_TRUE(names.empty());
  double gain = 0.0;
  EXPECT_EQ(h.player->GetModuleNumber(u"Fake Module", u"gain", &gain), kErrNotFound);
}

TEST(PlayerModules, ControlObjectsAreMadeLoadedReplacedAndDetached) {
  ControlLog log;
  PlayerEnvironment environment;
  environment.classes = RefPtr<MClassEnumerator>(new FakeControlClasses(&log, 2));
  PlayerHarness h({-1.0}, environment);
  auto base = Section(h, u"/velkora/gui/player");
  ASSERT_EQ(h.player->LoadSettings(base.Get()), 0);
  RefPtr<MControlObject> control;
  EXPECT_EQ(h.player->QueryControlObjects(kIID_MControlObject, control.PutVoid()), 0);
  EXPECT_NE(control.Get(), nullptr);
  void* none = nullptr;
  EXPECT_EQ(h.player->QueryControlObjects(kIID_MPlayer, &none), kErrNotFound);
  RefPtr<MPlayerEvents> broadcast;
  ASSERT_EQ(h.player->QueryInterface(kIID_MPlayerEvents, broadcast.PutVoid()), 0);
  EXPECT_EQ(broadcast->Broadcast(7), 8);
  // Loading again replaces both objects; the replaced ones are detached.
  ASSERT_EQ(h.player->LoadSettings(base.Get()), 0);
  control = nullptr;
  broadcast = nullptr;
  h.player->Shutdown();
  EXPECT_THAT(log.Lines(), ElementsAre("control0#0.Init(section)", "control1#1.Init(section)",
                                       "control0#0.Attach(7)", "control1#1.Attach(7)",
                                       "control0#2.Init(section)", "control1#3.Init(section)",
                                       "control0#0.Detach", "control1#1.Detach",
                                       "control0#2.Detach", "control1#3.Detach"));
}

TEST(PlayerModules, PropertiesAndFilterMessagesGoToTheMediaSystem) {
  PlayerHarness h;
  EXPECT_EQ(h.player->SendFilterMessage(u"EqualizerReloadSettings", 0), 0);
  RefPtr<MModuleProperties> props;
  ASSERT_EQ(h.player->QueryInterface(kIID_MModuleProperties, props.PutVoid()), 0);
  EXPECT_EQ(props->SetString(u"device", u"null"), 0);
  const auto calls = h.media->Calls();
  EXPECT_THAT(std::vector<std::string>(calls.end() - 2, calls.end()),
              ElementsAre("FilterMessage(EqualizerReloadSettings,0)", "SetString(device,null)"));
  // The properties face belongs to the player.
  RefPtr<MPlayer> back;
  EXPECT_EQ(props->QueryInterface(kIID_MPlayer, back.PutVoid()), 0);
  EXPECT_EQ(back.Get(), h.player.Get());
}

}  // namespace
}  // namespace vk2::test
