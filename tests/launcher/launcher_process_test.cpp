// The velkora2 program run as users run it: one instance, later starts handing over, DDE
// requests, window messages, a missing runtime, crashed and hung first instances, and the
// order of Launch, Run and Shutdown. The application is a stand-in module (see modules/)
// running the GUI layer's real loop headless; each test has its own runtime folder, runtime
// copy and per-user folders.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/instance/instance_paths.h"
#include "platform/instance/message_window.h"
#include "platform/instance/named_mutex.h"
#include "platform/instance/request_frame.h"
#include "tests/support/files.h"
#include "tests/support/program_runs.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"

namespace vk2::launcher {
namespace {

constexpr int kWayOutMs = 60'000;  // the machine is shared: limits are generous

void CopyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

class LauncherProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"lib", "run", "config", "state", "cache", "work"})
      ::mkdir((tmp_ / folder).c_str(), 0700);
    CopyFile(VK2_TEST_ORU_SO, tmp_ / "lib/oru.so");
    CopyFile(VK2_TEST_LAUNCH_APP, tmp_ / "lib/vk2test_launchapp.so");
    SetEnv("XDG_RUNTIME_DIR", tmp_ / "run");
    SetEnv("XDG_CONFIG_HOME", tmp_ / "config");
    SetEnv("XDG_STATE_HOME", tmp_ / "state");
    SetEnv("XDG_CACHE_HOME", tmp_ / "cache");
    SetEnv("ORU_SHARED_PATH", tmp_ / "lib/oru.so");
    SetEnv("VK2_GUI_BACKEND", "headless");
    SetEnv("VK2_NONINTERACTIVE", "1");
    SetEnv("VK2_TEST_LAUNCH_LOG", LogPath());
    SetEnv("VK2_TEST_LAUNCH_PLAYLIST", tmp_ / "playlist.txt");
  }

  std::string LogPath() const { return tmp_ / "events.log"; }
  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::istringstream in(test::ReadTextFile(LogPath()));
    for (std::string line; std::getline(in, line);)
      lines.push_back(line);
    return lines;
  }
  int CountLines(const std::string& prefix) const {
    int n = 0;
    for (const std::string& line : Log())
      n += line.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
  bool Logged(const std::string& line) const {
    for (const std::string& l : Log()) {
      if (l == line) return true;
    }
    return false;
  }
  std::string WindowSocket() const {
    return tmp_ / "run/velkora2/Velkora Window Class.Velkora2.sock";
  }

  // Starts a program in the work folder, as a user's shell would.
  test::ProgramRun Start(const std::vector<std::string>& args,
                         const std::string& program = VK2_TEST_VELKORA2) {
    test::ProgramRun run = runs_.Start(program, args);
    EXPECT_GT(run.pid, 0) << program;
    return run;
  }

  std::optional<int> WaitExit(const test::ProgramRun& run) {
    return runs_.WaitExit(run, kWayOutMs);
  }

  // Runs velkora2-ctl and answers its printed result (empty when it failed).
  std::string Ctl(const std::vector<std::string>& args) {
    const test::ProgramRun p = Start(args, VK2_TEST_VELKORA2_CTL);
    const std::optional<int> status = WaitExit(p);
    if (!test::ExitedWithZero(status)) return "";
    std::string out = test::ReadTextFile(p.out);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  }

  std::optional<int64_t> Message(uint32_t message) {
    auto link = instance::WindowLink::Find("Velkora Window Class", "Velkora2");
    if (!link) return std::nullopt;
    return link->Send(message, 0, 0, {}, kWayOutMs);
  }

  test::ProgramRun StartFirstInstance() {
    test::ProgramRun first = Start({});
    EXPECT_TRUE(test::WaitUntil(kWayOutMs, [&] { return Logged("run"); }))
        << test::ReadTextFile(first.err);
    EXPECT_TRUE(test::WaitUntil(kWayOutMs, [&] { return Message(0x9004).has_value(); }));
    return first;
  }

  void Terminate(const test::ProgramRun& p) {
    ::kill(p.pid, SIGTERM);
    EXPECT_TRUE(test::ExitedWithZero(WaitExit(p))) << test::ReadTextFile(p.err);
  }

  test::ScopedEnvironment environment_{
      "XDG_RUNTIME_DIR",          "XDG_CONFIG_HOME",      "XDG_STATE_HOME",
      "XDG_CACHE_HOME",           "ORU_SHARED_PATH",      "VK2_GUI_BACKEND",
      "VK2_NONINTERACTIVE",       "VK2_REGISTRY",         "VK2_TEST_LAUNCH_LOG",
      "VK2_TEST_LAUNCH_PLAYLIST", "VK2_TEST_LAUNCH_FAIL", "VK2_TEST_LAUNCH_DELAY_MS"};
  test::TempFolder tmp_;
  test::ProgramRuns runs_{tmp_.Path(), tmp_ / "work"};
};

TEST_F(LauncherProcessTest, ALaterStartHandsItsFilesToTheRunningInstance) {
  const test::ProgramRun first = StartFirstInstance();
  const test::ProgramRun second = Start({"a.wav", "b c.wav"});
  EXPECT_TRUE(test::ExitedWithZero(WaitExit(second)));
  EXPECT_EQ(Message(0x9004), 2);
  // Hand-overs run from index 0, on the GUI layer's loop thread.
  EXPECT_TRUE(Logged("execute first=0 gui=1 [a.wav][b c.wav]"));
  EXPECT_EQ(CountLines("launch"), 1) << "the second start ran no instance of its own";
  Terminate(first);
}

TEST_F(LauncherProcessTest, ShutdownFollowsRunAndTheObjectIsReleasedLast) {
  const test::ProgramRun first = Start({"x.wav", "y.wav"});
  ASSERT_TRUE(test::WaitUntil(kWayOutMs, [&] { return Logged("run"); }));
  Terminate(first);
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 6u) << test::ReadTextFile(first.err);
  EXPECT_EQ(log[0], "launch parent=0 embedding=none self=" + std::string(VK2_TEST_VELKORA2) +
                        " [x.wav][y.wav]");
  EXPECT_EQ(log[1], "execute first=1 gui=0 [x.wav][y.wav]");
  EXPECT_EQ(log[2], "run");
  EXPECT_EQ(log[3], "run returned");
  EXPECT_EQ(log[4], "shutdown");
  EXPECT_EQ(log[5], "release");
  // Shutdown saved the playlist; the window and service sockets are gone.
  EXPECT_EQ(test::ReadTextFile(tmp_ / "playlist.txt"), "x.wav\ny.wav\n");
  EXPECT_FALSE(Exists(WindowSocket()));
  EXPECT_FALSE(Exists(tmp_ / "run/velkora2/dde/velkora2.sock"));
  EXPECT_TRUE(instance::NamedMutex("TarnWickPlusPlus").Held());
}

TEST_F(LauncherProcessTest, DdeRequestsAndWindowMessagesReachTheGuiMainObject) {
  const test::ProgramRun first = Start({"one.wav", "two.wav"});
  ASSERT_TRUE(test::WaitUntil(kWayOutMs, [&] { return Message(0x9004) == 2; }));
  EXPECT_EQ(Ctl({"dde", "velkora2", "anything", "-clearplaylist"}), "32768");
  EXPECT_TRUE(Logged("execute first=0 gui=1 [-clearplaylist]"));
  EXPECT_EQ(Ctl({"msg", "0x9004"}), "0");
  EXPECT_EQ(Ctl({"msg", "0x9002"}), "2");
  // Unhandled messages get the default procedure's answer, not the object's value.
  EXPECT_EQ(Ctl({"msg", "0x405", "1", "2"}), "0");
  EXPECT_TRUE(Logged("message 1029"));
  // Below WM_USER only copy-data means something; the object never sees the rest.
  EXPECT_EQ(Ctl({"msg", "0x100"}), "0");
  EXPECT_FALSE(Logged("message 256"));
  EXPECT_EQ(Ctl({"copydata", "\"with blank.wav\" z.wav"}), "0");
  EXPECT_EQ(Message(0x9004), 2);
  // A service name nobody serves.
  EXPECT_EQ(Ctl({"dde", "someone", "t", "-play"}), "");
  Terminate(first);
}

TEST_F(LauncherProcessTest, AMissingRuntimeIsReportedAndNothingStarts) {
  SetEnv("ORU_SHARED_PATH", tmp_ / "nonexistent/oru.so");
  const test::ProgramRun p = Start({"a.wav"});
  EXPECT_TRUE(test::ExitedWithZero(WaitExit(p)));
  const std::string errors = test::ReadTextFile(p.err);
  EXPECT_NE(errors.find("Error! Unable to load ORU."), std::string::npos) << errors;
  EXPECT_NE(errors.find("Fatal Velkora 2 Preload Error"), std::string::npos) << errors;
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(Exists(WindowSocket()));
  EXPECT_TRUE(instance::NamedMutex("TarnWickPlusPlus").Held());
}

TEST_F(LauncherProcessTest, AFirstInstanceKilledOutrightDoesNotBlockTheNextStart) {
  const test::ProgramRun first = StartFirstInstance();
  ::kill(first.pid, SIGKILL);
  ASSERT_TRUE(WaitExit(first).has_value());
  ASSERT_TRUE(Exists(WindowSocket())) << "a killed instance leaves its socket file behind";
  const test::ProgramRun next = Start({"k.wav"});
  ASSERT_TRUE(test::WaitUntil(kWayOutMs, [&] { return Message(0x9004) == 1; }))
      << test::ReadTextFile(next.err);
  EXPECT_EQ(CountLines("launch"), 2);
  Terminate(next);
}

TEST_F(LauncherProcessTest, ALockHeldWithoutAnAnsweringWindowIsTakenOverAfterTheTries) {
  // This test holds the lock itself and answers nothing, like a hung first instance.
  instance::NamedMutex hung("TarnWickPlusPlus");
  ASSERT_TRUE(hung.Held());
  const auto start = std::chrono::steady_clock::now();
  const test::ProgramRun p = Start({"h.wav"});
  ASSERT_TRUE(test::WaitUntil(kWayOutMs, [&] { return Logged("run"); }))
      << test::ReadTextFile(p.err);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4500))
      << "the start looks for the window 50 times, 100 ms apart";
  EXPECT_NE(test::ReadTextFile(p.err).find("did not answer; starting a new one"),
            std::string::npos);
  EXPECT_EQ(Message(0x9004), 1);
  Terminate(p);
}

TEST_F(LauncherProcessTest, ASecondStartWithoutArgumentsRunsBesideTheFirst) {
  const test::ProgramRun first = StartFirstInstance();
  const test::ProgramRun second = Start({});
  ASSERT_TRUE(test::WaitUntil(kWayOutMs, [&] { return CountLines("run") == 2; }))
      << test::ReadTextFile(second.err);
  // The second could not take the window's name and must not have removed the first's.
  Terminate(second);
  EXPECT_TRUE(Exists(WindowSocket()));
  EXPECT_EQ(Ctl({"copydata", "still.wav"}), "0");
  EXPECT_EQ(Message(0x9004), 1);
  Terminate(first);
}

TEST_F(LauncherProcessTest, OnlyTheExactMinusSSelectsTheUnservedMediaCoreServer) {
  const test::ProgramRun server = Start({"-s"});
  EXPECT_TRUE(test::ExitedWithZero(WaitExit(server)));
  EXPECT_TRUE(Log().empty()) << "the media core server is not served: nothing launches";
  const test::ProgramRun player = Start({"-sx"});
  ASSERT_TRUE(test::WaitUntil(kWayOutMs, [&] { return Logged("run"); }))
      << test::ReadTextFile(player.err);
  EXPECT_TRUE(Logged("execute first=1 gui=0 [-sx]"));
  Terminate(player);
}

TEST_F(LauncherProcessTest, AFailedLaunchReleasesTheObjectAndRunsNothingElse) {
  SetEnv("VK2_TEST_LAUNCH_FAIL", "1");
  const test::ProgramRun p = Start({"a.wav"});
  EXPECT_TRUE(test::ExitedWithZero(WaitExit(p)));
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].rfind("launch ", 0), 0u);
  EXPECT_EQ(log[1], "release");
  EXPECT_FALSE(Exists(WindowSocket()));
}

TEST_F(LauncherProcessTest, AHandOverDuringASlowLaunchWaitsAndArrives) {
  SetEnv("VK2_TEST_LAUNCH_DELAY_MS", "1500");
  const test::ProgramRun first = Start({});
  // The window's name is taken before Launch: the later start connects and waits.
  ASSERT_TRUE(test::WaitUntil(kWayOutMs, [&] { return Exists(WindowSocket()); }));
  UnsetEnv("VK2_TEST_LAUNCH_DELAY_MS");
  const test::ProgramRun early = Start({"early.wav"});
  EXPECT_TRUE(test::ExitedWithZero(WaitExit(early)));
  EXPECT_TRUE(Logged("execute first=0 gui=1 [early.wav]"));
  EXPECT_EQ(Message(0x9004), 1);
  Terminate(first);
}

TEST_F(LauncherProcessTest, ACommandLineTooLongToHandOverIsRefusedWithAMessage) {
  const test::ProgramRun first = StartFirstInstance();
  std::vector<std::string> many(2000, std::string(40, 'f'));
  const test::ProgramRun big = Start(many);
  EXPECT_TRUE(test::ExitedWithZero(WaitExit(big)));
  EXPECT_NE(test::ReadTextFile(big.err).find("too long to hand over"), std::string::npos);
  EXPECT_EQ(Message(0x9004), 0);
  Terminate(first);
}

}  // namespace
}  // namespace vk2::launcher
