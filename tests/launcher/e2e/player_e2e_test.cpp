// velkora2 as a user starts it: the real launcher, runtime, modules and shipped
// interface, on the virtual display, playing into a PulseAudio null sink of the
// test's own whose monitor the test records. Each test has its own per-user
// folders, so instances of parallel tests never meet.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/audio/sink/pcm_sink.h"
#include "platform/environment.h"
#include "platform/instance/message_window.h"
#include "tests/core/e2e/pulse_server_pin.h"
#include "tests/core/e2e/tone_runs.h"
#include "tests/support/files.h"
#include "tests/support/monitor_recorder.h"
#include "tests/support/private_null_sink.h"
#include "tests/support/program_runs.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

constexpr int kPatienceMs = 90'000;  // sanitized modules start slowly on a loaded machine
constexpr uint32_t kRate = 48000;
constexpr uint32_t kChannels = 2;
constexpr double kSongHz = 440;
constexpr double kOtherHz = 660;
// Long enough that the test sees the song playing however slowly the window opens: playing
// starts while the program is still starting, and it answers only once it runs.
constexpr int kSongSeconds = 10;
// Window messages the running player answers.
constexpr uint32_t kPlayerStateMessage = 0x9002;  // 0 playing, 1 paused, 2 stopped
constexpr uint32_t kPlaylistCountMessage = 0x9004;

class PlayerE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::optional<std::string> display = GetEnv("VK2_TEST_DISPLAY");
    ASSERT_TRUE(display) << "VK2_TEST_DISPLAY is unset: start scripts/start-test-services.sh";
    ASSERT_TRUE(PulseServerAnswers(2000))
        << "no PulseAudio server (scripts/start-test-services.sh)";
    for (const char* tool : {"sox", "parec", "xdotool", "import", "convert"})
      ASSERT_TRUE(HaveTool(tool)) << tool;
    ASSERT_TRUE(sink_.Loaded()) << sink_.Error();
    for (const char* folder : {"run", "config", "state", "cache", "work"})
      ::mkdir((tmp_ / folder).c_str(), 0700);
    SetEnv("XDG_RUNTIME_DIR", tmp_ / "run");
    SetEnv("XDG_CONFIG_HOME", tmp_ / "config");
    SetEnv("XDG_STATE_HOME", tmp_ / "state");
    SetEnv("XDG_CACHE_HOME", tmp_ / "cache");
    SetEnv("DISPLAY", *display);
    SetEnv("VK2_NONINTERACTIVE", "1");
    MakeSong(kSongHz, "song.wav");
    MakeSong(kOtherHz, "other.wav");
  }

  void MakeSong(double hz, const std::string& name) {
    ASSERT_TRUE(RunTool({"sox", "-n", "-r", std::to_string(kRate), "-c", "2", "-b", "16",
                         tmp_ / ("work/" + name), "synth", std::to_string(kSongSeconds), "sine",
                         std::to_string(static_cast<int>(hz)), "vol", "0.5"}));
  }

  // Starts a program in the work folder, as a user's shell would.
  ProgramRun Start(const std::vector<std::string>& args,
                   const std::string& program = VK2_TEST_VELKORA2) {
    ProgramRun run = runs_.Start(program, args);
    EXPECT_GT(run.pid, 0) << program;
    return run;
  }

  std::optional<int64_t> Message(uint32_t message) {
    auto link = instance::WindowLink::Find("Velkora Window Class", "Velkora2");
    if (!link) return std::nullopt;
    return link->Send(message, 0, 0, {}, kPatienceMs);
  }

  // The visible top-level windows of a process on the display (xdotool reads
  // _NET_WM_PID).
  std::vector<std::string> VisibleWindows(pid_t pid) {
    const std::string listing = tmp_ / "windows";
    test::Run({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(pid)}, listing);
    std::vector<std::string> ids;
    std::istringstream in(ReadTextFile(listing));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty()) ids.push_back(line);
    }
    return ids;
  }

  // The player's first instance, up with its main window shown.
  ProgramRun StartPlayer(const std::vector<std::string>& args) {
    ProgramRun first = Start(args);
    EXPECT_TRUE(WaitUntil(kPatienceMs, [&] { return Message(kPlaylistCountMessage).has_value(); }))
        << ReadTextFile(first.err);
    EXPECT_TRUE(WaitUntil(kPatienceMs, [&] { return !VisibleWindows(first.pid).empty(); }))
        << "no window on the display; stderr:\n"
        << ReadTextFile(first.err);
    return first;
  }

  // A picture of the window, kept among the build's test artefacts; answers the
  // spread of its pixel values (0 for a window that shows one flat colour, or
  // nothing).
  double Screenshot(const std::string& window, const std::string& name) {
    std::error_code ignored;
    std::filesystem::create_directories(VK2_TEST_ARTEFACTS, ignored);
    const std::string path = std::string(VK2_TEST_ARTEFACTS) + "/" + name + ".png";
    if (!RunTool({"import", "-display", *GetEnv("DISPLAY"), "-window", window, path})) return 0;
    const std::string spread = tmp_ / "spread";
    test::Run({"convert", path, "-format", "%[fx:standard_deviation]", "info:"}, spread);
    return std::atof(ReadTextFile(spread).c_str());
  }

  // SIGTERM ends the player as closing its last window does: it shuts down and
  // exits with 0.
  void Quit(const ProgramRun& p) {
    ::kill(p.pid, SIGTERM);
    EXPECT_TRUE(ExitedWithZero(runs_.WaitExit(p, kPatienceMs))) << ReadTextFile(p.err);
  }

  ScopedEnvironment environment_{
      "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME",     "XDG_CACHE_HOME",   "DISPLAY",
      "ORU_SHARED_PATH", "VK2_GUI_BACKEND", "VK2_NONINTERACTIVE", "VK2_AUDIO_BACKEND"};
  PulseServerPin pin_;
  PrivateNullSink sink_{kRate};
  TempFolder tmp_;
  ProgramRuns runs_{tmp_.Path(), tmp_ / "work"};
};

TEST_F(PlayerE2eTest, ASongOnTheCommandLineOpensTheMainWindowAndIsHeardInTheSink) {
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sink_.Name(), kRate, kChannels));
  const ProgramRun player = Start({"song.wav"});
  // Playing, then stopped again at the end of the one song.
  ASSERT_TRUE(WaitUntil(kPatienceMs, [&] { return Message(kPlayerStateMessage) == 0; }))
      << ReadTextFile(player.err);
  EXPECT_EQ(Message(kPlaylistCountMessage), 1);
  ASSERT_TRUE(WaitUntil(kPatienceMs, [&] { return !VisibleWindows(player.pid).empty(); }))
      << ReadTextFile(player.err);
  // A window is mapped before it first paints: on a loaded machine the first pictures may still
  // be blank.
  EXPECT_TRUE(WaitUntil(kPatienceMs, [&] {
    const std::vector<std::string> windows = VisibleWindows(player.pid);
    return !windows.empty() && Screenshot(windows.front(), "player_main_window") > 0.01;
  })) << "the window stays blank";
  ASSERT_TRUE(WaitUntil(kPatienceMs, [&] { return Message(kPlayerStateMessage) == 2; }))
      << ReadTextFile(player.err);
  const std::vector<ToneRun> runs = FindToneRuns(recorder.Stop(), kRate, kChannels, {kSongHz});
  double heard = 0;
  for (const ToneRun& run : runs)
    heard += run.seconds;
  EXPECT_GT(heard, kSongSeconds - 1.0) << DescribeRuns(runs);
  Quit(player);
}

TEST_F(PlayerE2eTest, ASecondStartHandsItsFileToTheRunningPlayerAndEnds) {
  const ProgramRun first = StartPlayer({});
  EXPECT_EQ(Message(kPlaylistCountMessage), 0);
  const ProgramRun second = Start({"other.wav"});
  EXPECT_TRUE(ExitedWithZero(runs_.WaitExit(second, kPatienceMs))) << ReadTextFile(second.err);
  EXPECT_TRUE(WaitUntil(kPatienceMs, [&] { return Message(kPlaylistCountMessage) == 1; }));
  EXPECT_TRUE(VisibleWindows(second.pid).empty());
  EXPECT_EQ(::kill(first.pid, 0), 0) << "the first instance ended";
  Quit(first);
}

}  // namespace
}  // namespace vk2::test
