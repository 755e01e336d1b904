// velkora2 as a user starts it: the real launcher, runtime, modules and shipped
// interface, on the virtual display, playing into a PulseAudio null sink of the
// test's own whose monitor the test records. Each test has its own per-user
// folders, so instances of parallel tests never meet.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/sink/pcm_sink.h"
#include "platform/environment.h"
#include "platform/instance/message_window.h"
#include "tests/core/e2e/pulse_server_pin.h"
#include "tests/core/e2e/tone_runs.h"
#include "tests/support/monitor_recorder.h"
#include "tests/support/private_null_sink.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

extern char** environ;

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

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

template <class Predicate>
bool WaitUntil(Predicate done, int limitMs = kPatienceMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

struct Process {
  pid_t pid = -1;
  std::string out, err;
};

class PlayerE2eTest : public ::testing::Test {
 protected:
  static constexpr const char* kVariables[] = {
      "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_STATE_HOME",     "XDG_CACHE_HOME",   "DISPLAY",
      "ORU_SHARED_PATH", "VK2_GUI_BACKEND", "VK2_NONINTERACTIVE", "VK2_AUDIO_BACKEND"};

  void SetUp() override {
    for (const char* v : kVariables) {
      saved_[v] = GetEnv(v);
      UnsetEnv(v);
    }
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

  void TearDown() override {
    for (const Process& p : started_) {
      if (::kill(p.pid, 0) == 0) {
        ::kill(p.pid, SIGKILL);
        ::waitpid(p.pid, nullptr, 0);
      }
    }
    for (const auto& [name, value] : saved_) {
      if (value) {
        SetEnv(name, *value);
      } else {
        UnsetEnv(name);
      }
    }
  }

  void MakeSong(double hz, const std::string& name) {
    ASSERT_TRUE(RunTool({"sox", "-n", "-r", std::to_string(kRate), "-c", "2", "-b", "16",
                         tmp_ / ("work/" + name), "synth", std::to_string(kSongSeconds), "sine",
                         std::to_string(static_cast<int>(hz)), "vol", "0.5"}));
  }

  // Starts a program in the work folder, as a user's shell would, its output
  // kept in files.
  Process Start(const std::vector<std::string>& args,
                const std::string& program = VK2_TEST_VELKORA2) {
    Process p;
    const std::string n = std::to_string(started_.size());
    p.out = tmp_ / ("out" + n);
    p.err = tmp_ / ("err" + n);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, p.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, p.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addchdir_np(&actions, (tmp_ / "work").c_str());
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    EXPECT_EQ(posix_spawn(&p.pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    started_.push_back(p);
    return p;
  }

  std::optional<int> WaitExit(const Process& p) {
    std::optional<int> status;
    WaitUntil([&] {
      int s = 0;
      if (::waitpid(p.pid, &s, WNOHANG) == p.pid) status = s;
      return status.has_value();
    });
    return status;
  }
  static bool ExitedWithZero(const std::optional<int>& status) {
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
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
    std::istringstream in(ReadText(listing));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty()) ids.push_back(line);
    }
    return ids;
  }

  // The player's first instance, up with its main window shown.
  Process StartPlayer(const std::vector<std::string>& args) {
    Process first = Start(args);
    EXPECT_TRUE(WaitUntil([&] { return Message(kPlaylistCountMessage).has_value(); }))
        << ReadText(first.err);
    EXPECT_TRUE(WaitUntil([&] { return !VisibleWindows(first.pid).empty(); }))
        << "no window on the display; stderr:\n"
        << ReadText(first.err);
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
    return std::atof(ReadText(spread).c_str());
  }

  // SIGTERM ends the player as closing its last window does: it shuts down and
  // exits with 0.
  void Quit(const Process& p) {
    ::kill(p.pid, SIGTERM);
    EXPECT_TRUE(ExitedWithZero(WaitExit(p))) << ReadText(p.err);
  }

  PulseServerPin pin_;
  PrivateNullSink sink_{kRate};
  TempFolder tmp_;
  std::vector<Process> started_;
  std::map<std::string, std::optional<std::string>> saved_;
};

TEST_F(PlayerE2eTest, ASongOnTheCommandLineOpensTheMainWindowAndIsHeardInTheSink) {
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sink_.Name(), kRate, kChannels));
  const Process player = Start({"song.wav"});
  // Playing, then stopped again at the end of the one song.
  ASSERT_TRUE(WaitUntil([&] { return Message(kPlayerStateMessage) == 0; })) << ReadText(player.err);
  EXPECT_EQ(Message(kPlaylistCountMessage), 1);
  ASSERT_TRUE(WaitUntil([&] { return !VisibleWindows(player.pid).empty(); }))
      << ReadText(player.err);
  // A window is mapped before it first paints: on a loaded machine the first pictures may still
  // be blank.
  EXPECT_TRUE(WaitUntil([&] {
    const std::vector<std::string> windows = VisibleWindows(player.pid);
    return !windows.empty() && Screenshot(windows.front(), "player_main_window") > 0.01;
  })) << "the window stays blank";
  ASSERT_TRUE(WaitUntil([&] { return Message(kPlayerStateMessage) == 2; })) << ReadText(player.err);
  const std::vector<ToneRun> runs = FindToneRuns(recorder.Stop(), kRate, kChannels, {kSongHz});
  double heard = 0;
  for (const ToneRun& run : runs)
    heard += run.seconds;
  EXPECT_GT(heard, kSongSeconds - 1.0) << DescribeRuns(runs);
  Quit(player);
}

TEST_F(PlayerE2eTest, ASecondStartHandsItsFileToTheRunningPlayerAndEnds) {
  const Process first = StartPlayer({});
  EXPECT_EQ(Message(kPlaylistCountMessage), 0);
  const Process second = Start({"other.wav"});
  EXPECT_TRUE(ExitedWithZero(WaitExit(second))) << ReadText(second.err);
  EXPECT_TRUE(WaitUntil([&] { return Message(kPlaylistCountMessage) == 1; }));
  EXPECT_TRUE(VisibleWindows(second.pid).empty());
  EXPECT_EQ(::kill(first.pid, 0), 0) << "the first instance ended";
  Quit(first);
}

}  // namespace
}  // namespace vk2::test
