// Transport commands against a fake media system: results, events in order, shuffle and repeat
// at the ends of the list, merging of waiting commands.
#include "core/playlist/playlist_control.h"
#include "tests/core/player/player_harness.h"

namespace vk2::test {
namespace {

using ::testing::ElementsAre;

TEST(PlayerTransport, PlayWithoutPlaylistFailsWithTheMessage) {
  PlayerHarness h;
  EXPECT_EQ(h.player->Play(0), h.Code(PlayerError::kNoPlaylist));
  ASSERT_TRUE(h.events->WaitForCount(1));
  EXPECT_EQ(
      h.events->Events()[0],
      (PlayerEventRecord{kPlayerPlayFailed, u"no playlist has been selected to play files from"}));
}

TEST(PlayerTransport, PlayStartsTheFirstItemAndReportsIt) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  EXPECT_EQ(h.media->PlayingItem(), h.ids[0]);
  EXPECT_EQ(h.Current(), h.ids[0]);
  EXPECT_EQ(h.playlist->HoldCount(h.ids[0]), 1);
  EXPECT_THAT(h.SettledCodes(),
              ElementsAre(kPlayerSongStarted, kPlayerCurrentIdChanged, kPlayerPlaying));
}

// Each row: the commands that bring the player into a state, then the command tried there.
struct StateCase {
  const char* name;
  std::vector<uint32_t> before;
  uint32_t command;
  PlayerError expected;  // kInternalError stands for success in this table
  std::vector<int32_t> events;
};

class PlayerStateTest : public ::testing::TestWithParam<StateCase> {};

int32_t RunCommand(MPlayer* p, uint32_t command) {
  switch (command) {
    case kCommandPlay:
      return p->Play(0);
    case kCommandStop:
      return p->Stop(0);
    default:
      return p->Pause(0);
  }
}

TEST_P(PlayerStateTest, AnswersByState) {
  const StateCase& c = GetParam();
  PlayerHarness h;
  h.UsePlaylist();
  for (uint32_t command : c.before)
    ASSERT_GE(RunCommand(h.player.Get(), command), 0);
  h.SettledCodes();
  h.events->Clear();
  const int32_t r = RunCommand(h.player.Get(), c.command);
  if (c.expected == PlayerError::kInternalError) {
    EXPECT_EQ(r, 0);
  } else {
    EXPECT_EQ(r, h.Code(c.expected));
  }
  EXPECT_EQ(h.SettledCodes(), c.events);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlayerStateTest,
    ::testing::Values(
        StateCase{
            "PlayWhilePlaying", {kCommandPlay}, kCommandPlay, PlayerError::kAlreadyPlaying, {}},
        StateCase{"PauseWhilePaused",
                  {kCommandPlay, kCommandPause},
                  kCommandPause,
                  PlayerError::kAlreadyPaused,
                  {}},
        StateCase{"PauseWhileStopped", {}, kCommandPause, PlayerError::kNotPlaying, {}},
        StateCase{"StopWhileStopped", {}, kCommandStop, PlayerError::kNotPlaying, {}},
        StateCase{"StopWhilePlaying",
                  {kCommandPlay},
                  kCommandStop,
                  PlayerError::kInternalError,
                  {kPlayerStopping}},
        StateCase{"PauseWhilePlaying",
                  {kCommandPlay},
                  kCommandPause,
                  PlayerError::kInternalError,
                  {kPlayerPausing}},
        StateCase{"PlayResumesPaused",
                  {kCommandPlay, kCommandPause},
                  kCommandPlay,
                  PlayerError::kInternalError,
                  {kPlayerPlaying}}),
    [](const auto& info) { return info.param.name; });

TEST(PlayerTransport, NextAndPreviousMoveThroughTheListAndStopAtItsEnds) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  EXPECT_EQ(h.player->Next(0), 0);
  EXPECT_EQ(h.media->PlayingItem(), h.ids[1]);
  EXPECT_EQ(h.player->Next(0), 0);
  EXPECT_EQ(h.media->PlayingItem(), h.ids[2]);
  // At the last item Next succeeds and changes nothing, even with repeat all.
  h.player->SetRepeat(kRepeatAll);
  EXPECT_EQ(h.player->Next(0), 0);
  EXPECT_EQ(h.media->PlayingItem(), h.ids[2]);
  EXPECT_EQ(h.player->Previous(0), 0);
  EXPECT_EQ(h.player->Previous(0), 0);
  EXPECT_EQ(h.player->Previous(0), 0);
  EXPECT_EQ(h.media->PlayingItem(), h.ids[0]);
  // The item left keeps no hold; the current one keeps exactly one.
  EXPECT_EQ(h.playlist->HoldCount(h.ids[2]), 0);
  EXPECT_EQ(h.playlist->HoldCount(h.ids[0]), 1);
}

TEST(PlayerTransport, AFailedSwitchReportsTheFailureThenStopping) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  h.SettledCodes();
  h.events->Clear();
  h.media->FailBuilds(true);
  EXPECT_EQ(h.player->Next(0), kFakeBuildFailed);
  EXPECT_THAT(h.SettledCodes(), ElementsAre(kPlayerPlayFailed, kPlayerStopping));
}

struct EndCase {
  const char* name;
  uint32_t repeat;
  uint8_t shuffle;
  // Index into the list order (shuffle order is the list reversed) after the last item ends,
  // or -1 when playback stops.
  int after;
};

class PlayerEndOfListTest : public ::testing::TestWithParam<EndCase> {};

TEST_P(PlayerEndOfListTest, TheEndOfTheLastItem) {
  const EndCase& c = GetParam();
  PlayerHarness h;
  h.UsePlaylist();
  h.player->SetShuffle(c.shuffle);
  h.player->SetRepeat(c.repeat);
  const uint32_t last = c.shuffle ? h.ids.front() : h.ids.back();
  ASSERT_EQ(h.player->SeekToUID(last, -1.0, 0, 1, 0), 0);
  ASSERT_EQ(h.media->PlayingItem(), last);
  h.SettledCodes();
  h.events->Clear();
  h.media->EndOfItem();
  if (c.after < 0) {
    EXPECT_EQ(h.media->GetState(), kMediaStopped);
    EXPECT_THAT(h.SettledCodes(), ElementsAre(kPlayerStopping));
  } else {
    EXPECT_EQ(h.media->PlayingItem(), h.ids[c.after]);
    EXPECT_EQ(h.Current(), h.ids[c.after]);
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, PlayerEndOfListTest,
                         ::testing::Values(EndCase{"RepeatOffStops", kRepeatOff, 0, -1},
                                           EndCase{"RepeatAllWraps", kRepeatAll, 0, 0},
                                           EndCase{"RepeatOneRestarts", kRepeatOne, 0, 2},
                                           EndCase{"ModeThreeActsAsOff", 3, 0, -1},
                                           EndCase{"ShuffleWrapsToTheSameOrdersHead", kRepeatAll, 1,
                                                   2},
                                           EndCase{"ShuffleRepeatOffStops", kRepeatOff, 1, -1}),
                         [](const auto& info) { return info.param.name; });

TEST(PlayerTransport, ShuffleWrapsWithoutReshuffling) {
  PlayerHarness h;
  h.UsePlaylist();
  h.player->SetShuffle(1);
  h.player->SetRepeat(kRepeatAll);
  ASSERT_EQ(h.player->SeekToUID(h.ids.front(), -1.0, 0, 1, 0), 0);
  h.media->EndOfItem();
  EXPECT_EQ(h.media->PlayingItem(), h.ids.back());
  EXPECT_EQ(h.playlist->Reshuffles(), 1);
}

TEST(PlayerTransport, AWaitingCallFromAHolderOfThePlaylistLockEndsAfterTheTakeover) {
  PlayerHarness h;
  PlaylistSettings settings;
  settings.takeoverMs = 200;
  RefPtr<PlaylistControl> list = PlaylistControl::Create(settings);
  ASSERT_TRUE(list);
  for (const char16_t* url : {u"file:///a.wav", u"file:///b.wav"}) {
    ItemInfo item;
    item.SetUrl(url);
    ASSERT_EQ(list->AddItems(&item, 1, kPlaylistBottom, nullptr), 0);
  }
  h.player->SetPlaylist(list.Get());
  h.Barrier();
  uint32_t token = 0;
  ASSERT_EQ(list->Lock(&token), 0);
  // The player thread needs the playlist while this thread waits for it: the lock's takeover
  // lets it go on.
  const auto before = std::chrono::steady_clock::now();
  EXPECT_EQ(h.player->Play(0), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
  list->Unlock(token);
  h.player->Shutdown();
  list->Shutdown();
}

TEST(PlayerTransport, RepeatOneRestartsTheSameChain) {
  PlayerHarness h;
  h.UsePlaylist();
  h.player->SetRepeat(kRepeatOne);
  ASSERT_EQ(h.player->Play(0), 0);
  h.media->EndOfItem();
  const auto calls = h.media->Calls();
  EXPECT_EQ(calls.back(), "Restart(" + std::to_string(h.ids[0]) + ")");
}

TEST(PlayerTransport, QueuedStepsMergeIntoOneMove) {
  PlayerHarness h({-1, -1, -1, -1, -1, -1, -1, -1});
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  // Hold the player thread inside a switch while five more Next presses queue up.
  h.media->CloseGate();
  ASSERT_EQ(h.player->Next(1), 0);
  ASSERT_TRUE(h.media->WaitAtGate());
  for (int i = 0; i < 5; ++i)
    ASSERT_EQ(h.player->Next(1), 0);
  h.media->ClearCalls();
  h.media->OpenGate();
  h.Barrier();
  // One switch for all five: from item 2 on by five.
  std::vector<std::string> switches;
  for (auto& call : h.media->Calls()) {
    if (call.rfind("Switch", 0) == 0) switches.push_back(call);
  }
  EXPECT_THAT(switches, ElementsAre("Switch(" + std::to_string(h.ids[6]) + ")"));
  EXPECT_EQ(h.Current(), h.ids[6]);
}

TEST(PlayerTransport, AWaitingCallerMergedAwayIsAnswered) {
  PlayerHarness h({-1, -1, -1, -1, -1});
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  h.media->CloseGate();
  ASSERT_EQ(h.player->Next(1), 0);
  ASSERT_TRUE(h.media->WaitAtGate());
  // Queued behind an asynchronous Next, the waiting one is merged into it.
  ASSERT_EQ(h.player->Next(1), 0);
  std::atomic<int32_t> waited{-999};
  std::atomic<bool> calling{false};
  std::thread caller([&] {
    calling = true;
    waited = h.player->Next(0);
  });
  while (!calling)
    std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  h.media->OpenGate();
  caller.join();
  EXPECT_EQ(waited.load(), kPlayerCommandMerged);
  EXPECT_EQ(h.Current(), h.ids[3]);
}

TEST(PlayerTransport, ShutdownAnswersWaitingCallersWhoseCommandsNeverRan) {
  PlayerHarness h;
  h.UsePlaylist();
  h.media->CloseGate();
  ASSERT_EQ(h.player->SeekToUID(h.ids[1], -1.0, 0, 0, 1), 0);
  ASSERT_TRUE(h.media->WaitAtGate());
  std::atomic<int32_t> waited{-999};
  std::thread caller([&] { waited = h.player->Pause(0); });
  std::thread closer([&] { h.player->Shutdown(); });
  // Once the queue refuses records the shutdown is under way, waiting for the busy thread.
  while (h.player->Pause(1) != kPlayerCommandCancelled) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  h.media->OpenGate();
  closer.join();
  caller.join();
  EXPECT_EQ(waited.load(), kPlayerCommandCancelled);
  EXPECT_EQ(h.player->Play(0), kPlayerCommandCancelled);
  EXPECT_EQ(h.player->Play(1), kPlayerCommandCancelled);
  // Shutting down let go of the current item and of the playlist's listener slot.
  EXPECT_EQ(h.playlist->HoldCount(h.ids[1]), 0);
  EXPECT_EQ(h.playlist->ListenerCount(), 0u);
}

TEST(PlayerTransport, StopCancelsASwitchThatIsStillBuffering) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  h.SettledCodes();
  h.events->Clear();
  // The switch for Next never finishes buffering by itself.
  h.media->CloseGate();
  ASSERT_EQ(h.player->Next(1), 0);
  ASSERT_TRUE(h.media->WaitAtGate());
  EXPECT_EQ(h.player->Stop(0), 0);
  EXPECT_EQ(h.media->GetState(), kMediaStopped);
  // Only the Stop reports; the cancelled switch is no failure.
  EXPECT_THAT(h.SettledCodes(), ElementsAre(kPlayerStopping));
  h.media->OpenGate();
  EXPECT_EQ(h.player->Stop(0), h.Code(PlayerError::kNotPlaying));
}

TEST(PlayerTransport, SeekToUidRefusesANegativePositionWithoutPosting) {
  PlayerHarness h;
  h.UsePlaylist();
  h.media->ClearCalls();
  EXPECT_EQ(h.player->SeekToUID(h.ids[1], -0.5, 0, 0, 0), -21);
  h.Barrier();
  EXPECT_TRUE(h.media->Calls().empty());
}

TEST(PlayerTransport, SeekInTheItemReportsSeekingOrSeekFailed) {
  PlayerHarness h;
  h.UsePlaylist();
  // Stopped: the media system refuses and the held position is let go.
  EXPECT_EQ(h.player->SeekToUID(0, 12.0, 1, 0, 0), kFakeWrongState);
  EXPECT_EQ(h.media->HeldPosition(), -1.0);
  ASSERT_EQ(h.player->Play(0), 0);
  h.SettledCodes();
  h.events->Clear();
  EXPECT_EQ(h.player->SeekToUID(0, 12.0, 1, 0, 0), 0);
  EXPECT_EQ(h.media->Calls().back(), "Seek(12,1)");
  EXPECT_THAT(h.SettledCodes(), ElementsAre(kPlayerSeeking));
}

TEST(PlayerTransport, GoingToAnItemWithAPositionSeeksThereOncePlaying) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->SeekToUID(h.ids[1], 30.0, 1, 1, 0), 0);
  EXPECT_EQ(h.media->PlayingItem(), h.ids[1]);
  const auto calls = h.media->Calls();
  EXPECT_EQ(calls[calls.size() - 2], "Seek(30,1)");
  EXPECT_EQ(calls.back(), "Hold(-1)");
  EXPECT_THAT(h.SettledCodes(),
              ElementsAre(kPlayerSongStarted, kPlayerCurrentIdChanged, kPlayerSongStarted,
                          kPlayerCurrentIdChanged, kPlayerPlaying, kPlayerSeeking));
}

TEST(PlayerTransport, AWaitingCallerGivesUpAfterItsTimeAndTheCommandStillRuns) {
  PlayerEnvironment environment;
  environment.timings.commandWaitMs = 50;
  PlayerHarness h({-1, -1, -1}, environment);
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  h.media->CloseGate();
  ASSERT_EQ(h.player->Next(1), 0);
  ASSERT_TRUE(h.media->WaitAtGate());
  EXPECT_EQ(h.player->Next(0), kErrTimedOut);
  h.media->OpenGate();
  h.Barrier();
  EXPECT_EQ(h.media->PlayingItem(), h.ids[2]);
}

TEST(PlayerTransport, GoToIndexJumpsAndReportsABadIndex) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  EXPECT_EQ(h.player->SeekToIndex(2, -1.0, 0, 0, 0), 0);
  EXPECT_EQ(h.media->PlayingItem(), h.ids[2]);
  h.SettledCodes();
  h.events->Clear();
  EXPECT_LT(h.player->SeekToIndex(9, -1.0, 0, 0, 0), 0);
  EXPECT_THAT(h.SettledCodes(), ElementsAre(kPlayerPlayFailed, kPlayerStopping));
}

TEST(PlayerTransport, ScanClampsToTheStream) {
  struct Case {
    double at, total, by, expected;
  };
  for (const Case& c :
       {Case{10, 100, 5, 15}, Case{10, 100, -30, 0}, Case{95, 100, 30, 100}, Case{10, -1, 5, -1}}) {
    PlayerHarness h;
    h.UsePlaylist();
    ASSERT_EQ(h.player->Play(0), 0);
    h.media->SetStreamTimes(c.at, c.total);
    h.player->Scan(c.by, 1, 0);
    char expected[32];
    std::snprintf(expected, sizeof expected, "Seek(%g,1)", c.expected);
    EXPECT_EQ(h.media->Calls().back(), expected) << c.at << " + " << c.by;
  }
}

TEST(PlayerTransport, RemovingThePlayingItemPlaysTheOneAfterIt) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->SeekToUID(h.ids[1], -1.0, 0, 1, 0), 0);
  h.playlist->RemoveItems(&h.ids[1], 1);
  h.Barrier();
  EXPECT_EQ(h.media->PlayingItem(), h.ids[2]);
  EXPECT_EQ(h.Current(), h.ids[2]);
  EXPECT_EQ(h.playlist->HoldCount(h.ids[1]), 0);
}

TEST(PlayerTransport, RemovingTheCurrentItemWhileStoppedDoesNotStartPlayback) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->SeekToUID(h.ids[0], -1.0, 0, 0, 0), 0);
  h.playlist->RemoveItems(&h.ids[0], 1);
  h.Barrier();
  EXPECT_EQ(h.media->GetState(), kMediaStopped);
  EXPECT_EQ(h.Current(), h.ids[1]);
}

TEST(PlayerTransport, ANewPlaylistLetsGoOfTheOldOneWithoutStartingPlayback) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->SeekToUID(h.ids[1], -1.0, 0, 0, 0), 0);
  RefPtr<FakePlaylist> other(new FakePlaylist);
  other->AddFiles(2);
  h.player->SetPlaylist(other.Get());
  h.Barrier();
  EXPECT_EQ(h.playlist->HoldCount(h.ids[1]), 0);
  EXPECT_EQ(h.media->GetState(), kMediaStopped);
  EXPECT_EQ(h.playlist->ListenerCount(), 0u);
  EXPECT_EQ(other->ListenerCount(), 1u);
  RefPtr<MPlaylist> now;
  h.player->GetPlaylist(now.Put());
  EXPECT_EQ(now.Get(), static_cast<MPlaylist*>(other.Get()));
  EXPECT_EQ(h.player->SetPlaylist(nullptr), kErrMissingArg);
}

TEST(PlayerTransport, MediaFailuresReachListenersAsPlayFailedThenStopping) {
  PlayerHarness h;
  h.UsePlaylist();
  ASSERT_EQ(h.player->Play(0), 0);
  h.SettledCodes();
  h.events->Clear();
  h.media->FailPlaying(u"decoding error");
  h.SettledCodes();
  const auto events = h.events->Events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[0], (PlayerEventRecord{kPlayerPlayFailed, u"decoding error"}));
  EXPECT_EQ(events[1].code, kPlayerStopping);
}

}  // namespace
}  // namespace vk2::test
