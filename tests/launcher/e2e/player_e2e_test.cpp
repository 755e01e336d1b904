// velkora2 started as a user starts it: a song on the command line is heard, a second start
// hands its file over.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "tests/core/e2e/tone_runs.h"
#include "tests/launcher/e2e/player_e2e_fixture.h"
#include "tests/support/files.h"
#include "tests/support/monitor_recorder.h"

namespace vk2::test {
namespace {

constexpr double kSongHz = 440;
constexpr double kOtherHz = 660;
// Long enough that the test sees the song playing however slowly the window opens: playing
// starts while the program is still starting, and it answers only once it runs.
constexpr int kSongSeconds = 10;

TEST_F(PlayerE2eTest, ASongOnTheCommandLineOpensTheMainWindowAndIsHeardInTheSink) {
  MakeSong(kSongHz, kSongSeconds, "song.wav");
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sink_.Name(), kSinkRate, kSinkChannels));
  const ProgramRun player = Start({"song.wav"});
  // Playing, then stopped again at the end of the one song.
  ASSERT_TRUE(WaitForState(kPlaying)) << ReadTextFile(player.err);
  EXPECT_EQ(Message(kPlaylistCountMessage), 1);
  const std::string window = PaintedMainWindow(player.pid);
  EXPECT_FALSE(window.empty()) << "no window, or it stays blank; stderr:\n"
                               << ReadTextFile(player.err);
  if (!window.empty()) Screenshot(window, "player_main_window");
  ASSERT_TRUE(WaitForState(kStopped)) << ReadTextFile(player.err);
  const std::vector<ToneRun> runs =
      FindToneRuns(recorder.Stop(), kSinkRate, kSinkChannels, {kSongHz});
  const double heard = SecondsOf(runs);
  EXPECT_GT(heard, kSongSeconds - 1.0) << DescribeRuns(runs);
  Quit(player);
}

// Most music is at 44.1 kHz, which the sound server takes and resamples to its sink's rate: the
// song is heard whole and at its own pitch (played at the sink's rate it would sound 9 % high).
TEST_F(PlayerE2eTest, ASongAtAnotherRateThanTheSinksIsHeardAtItsPitch) {
  MakeSong(kSongHz, kSongSeconds, "cd.wav", 44100);
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sink_.Name(), kSinkRate, kSinkChannels));
  const ProgramRun player = Start({"cd.wav"});
  ASSERT_TRUE(WaitForState(kPlaying)) << ReadTextFile(player.err);
  ASSERT_TRUE(WaitForState(kStopped)) << ReadTextFile(player.err);
  const std::vector<ToneRun> runs =
      FindToneRuns(recorder.Stop(), kSinkRate, kSinkChannels, {kSongHz});
  const double heard = SecondsOf(runs);
  EXPECT_NEAR(heard, kSongSeconds, 1.0) << DescribeRuns(runs);
  Quit(player);
}

// Started as from a user's shell: a fresh profile, message boxes allowed, and no server named
// for it, so the player finds the user's sound server itself. Each start, and each common
// format, must be heard whole and at its pitch (a 48 kHz song played as 44.1 kHz is 8 % flat).
TEST_F(PlayerE2eTest, EveryStartFromAFreshProfilePlaysItsSongAtItsPitch) {
  const struct {
    uint32_t rate;
    uint32_t bits;
  } songs[] = {{48000, 16}, {44100, 16}, {48000, 32}, {48000, 16}, {44100, 16}};
  constexpr int kSeconds = 8;  // long enough to be seen playing once the program answers
  const std::optional<std::string> server = GetEnv("PULSE_SERVER");
  for (const auto& song : songs) {
    SCOPED_TRACE(std::to_string(song.rate) + " Hz, " + std::to_string(song.bits) + " bits");
    std::filesystem::remove_all(tmp_ / "config");
    ::mkdir((tmp_ / "config").c_str(), 0700);
    MakeSong(kSongHz, kSeconds, "song.wav", song.rate, kSinkChannels, song.bits);
    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.Start(sink_.Name(), kSinkRate, kSinkChannels));
    UnsetEnv("PULSE_SERVER");
    UnsetEnv("VK2_NONINTERACTIVE");
    const ProgramRun player = Start({"song.wav"});
    if (server) SetEnv("PULSE_SERVER", *server);
    ASSERT_TRUE(WaitForState(kPlaying)) << ReadTextFile(player.err);
    ASSERT_TRUE(WaitForState(kStopped)) << ReadTextFile(player.err);
    const std::vector<ToneRun> runs =
        FindToneRuns(recorder.Stop(), kSinkRate, kSinkChannels, {kSongHz});
    EXPECT_GT(SecondsOf(runs), kSeconds - 1.0) << DescribeRuns(runs);
    Quit(player);
  }
}

TEST_F(PlayerE2eTest, ASecondStartHandsItsFileToTheRunningPlayerAndEnds) {
  MakeSong(kOtherHz, 2, "other.wav");
  const ProgramRun first = StartPlayer({});
  EXPECT_EQ(Message(kPlaylistCountMessage), 0);
  const ProgramRun second = Start({"other.wav"});
  EXPECT_TRUE(ExitedWithZero(runs_.WaitExit(second, kPlayerPatienceMs)))
      << ReadTextFile(second.err);
  EXPECT_TRUE(WaitUntil(kPlayerPatienceMs, [&] { return Message(kPlaylistCountMessage) == 1; }));
  EXPECT_TRUE(VisibleWindows(second.pid).empty());
  EXPECT_EQ(::kill(first.pid, 0), 0) << "the first instance ended";
  Quit(first);
}

}  // namespace
}  // namespace vk2::test
