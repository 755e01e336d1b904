// The velkora2 program run as users run it: one instance, later starts handing over, DDE
// requests, window messages, a missing runtime, crashed and hung first instances, and the
// order of Launch, Run and Shutdown. The application is a stand-in module (see modules/)
// running the GUI layer's real loop headless; each test has its own runtime folder, runtime
// copy and per-user folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/environment.h"
#include "platform/instance/instance_paths.h"
#include "platform/instance/message_window.h"
#include "platform/instance/named_mutex.h"
#include "platform/instance/request_frame.h"
#include "tests/support/temp_folder.h"

extern char** environ;

namespace vk2::launcher {
namespace {

constexpr int kWayOutMs = 60'000;  // the machine is shared: limits are generous

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void CopyFile(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

template <class Predicate>
bool WaitUntil(Predicate done, int limitMs = kWayOutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

struct Process {
  pid_t pid = -1;
  std::string out, err;  // files holding its stdout and stderr
};

class LauncherProcessTest : public ::testing::Test {
 protected:
  static constexpr const char* kVariables[] = {
      "XDG_RUNTIME_DIR",          "XDG_CONFIG_HOME",      "XDG_STATE_HOME",
      "XDG_CACHE_HOME",           "ORU_SHARED_PATH",      "VK2_GUI_BACKEND",
      "VK2_NONINTERACTIVE",       "VK2_REGISTRY",         "VK2_TEST_LAUNCH_LOG",
      "VK2_TEST_LAUNCH_PLAYLIST", "VK2_TEST_LAUNCH_FAIL", "VK2_TEST_LAUNCH_DELAY_MS"};

  void SetUp() override {
    for (const char* v : kVariables) {
      saved_[v] = GetEnv(v);
      UnsetEnv(v);
    }
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

  std::string LogPath() const { return tmp_ / "events.log"; }
  std::vector<std::string> Log() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadText(LogPath()));
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

  Process Start(const std::vector<std::string>& args,
                const std::string& program = VK2_TEST_VELKORA2) {
    Process p;
    const int n = static_cast<int>(started_.size());
    p.out = tmp_ / ("out" + std::to_string(n));
    p.err = tmp_ / ("err" + std::to_string(n));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, p.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, p.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
      argv.push_back(a.data());
    argv.push_back(nullptr);
    // The start folder is the work folder, as a user's shell would have it.
    posix_spawn_file_actions_addchdir_np(&actions, (tmp_ / "work").c_str());
    EXPECT_EQ(posix_spawn(&p.pid, program.c_str(), &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    started_.push_back(p);
    return p;
  }

  // The exit status, or nothing when the process has not ended in time.
  std::optional<int> WaitExit(const Process& p, int limitMs = kWayOutMs) {
    std::optional<int> status;
    WaitUntil(
        [&] {
          int s = 0;
          if (::waitpid(p.pid, &s, WNOHANG) == p.pid) status = s;
          return status.has_value();
        },
        limitMs);
    return status;
  }
  static bool ExitedWithZero(const std::optional<int>& status) {
    return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
  }

  // Runs velkora2-ctl and answers its printed result (empty when it failed).
  std::string Ctl(const std::vector<std::string>& args) {
    const Process p = Start(args, VK2_TEST_VELKORA2_CTL);
    const std::optional<int> status = WaitExit(p);
    if (!ExitedWithZero(status)) return "";
    std::string out = ReadText(p.out);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  }

  std::optional<int64_t> Message(uint32_t message) {
    auto link = instance::WindowLink::Find("Velkora Window Class", "Velkora2");
    if (!link) return std::nullopt;
    return link->Send(message, 0, 0, {}, kWayOutMs);
  }

  Process StartFirstInstance() {
    Process first = Start({});
    EXPECT_TRUE(WaitUntil([&] { return Logged("run"); })) << ReadText(first.err);
    EXPECT_TRUE(WaitUntil([&] { return Message(0x9004).has_value(); }));
    return first;
  }

  void Terminate(const Process& p) {
    ::kill(p.pid, SIGTERM);
    EXPECT_TRUE(ExitedWithZero(WaitExit(p))) << ReadText(p.err);
  }

  test::TempFolder tmp_;
  std::map<std::string, std::optional<std::string>> saved_;
  std::vector<Process> started_;
};

TEST_F(LauncherProcessTest, ALaterStartHandsItsFilesToTheRunningInstance) {
  const Process first = StartFirstInstance();
  const Process second = Start({"a.wav", "b c.wav"});
  EXPECT_TRUE(ExitedWithZero(WaitExit(second)));
  EXPECT_EQ(Message(0x9004), 2);
  // Hand-overs run from index 0, on the GUI layer's loop thread.
  EXPECT_TRUE(Logged("execute first=0 gui=1 [a.wav][b c.wav]"));
  EXPECT_EQ(CountLines("launch"), 1) << "the second start ran no instance of its own";
  Terminate(first);
}

TEST_F(LauncherProcessTest, ShutdownFollowsRunAndTheObjectIsReleasedLast) {
  const Process first = Start({"x.wav", "y.wav"});
  ASSERT_TRUE(WaitUntil([&] { return Logged("run"); }));
  Terminate(first);
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 6u) << ReadText(first.err);
  EXPECT_EQ(log[0], "launch parent=0 embedding=none self=" + std::string(VK2_TEST_VELKORA2) +
                        " [x.wav][y.wav]");
  EXPECT_EQ(log[1], "execute first=1 gui=0 [x.wav][y.wav]");
  EXPECT_EQ(log[2], "run");
  EXPECT_EQ(log[3], "run returned");
  EXPECT_EQ(log[4], "shutdown");
  EXPECT_EQ(log[5], "release");
  // Shutdown saved the playlist; the window and service sockets are gone.
  EXPECT_EQ(ReadText(tmp_ / "playlist.txt"), "x.wav\ny.wav\n");
  EXPECT_FALSE(Exists(WindowSocket()));
  EXPECT_FALSE(Exists(tmp_ / "run/velkora2/dde/velkora2.sock"));
  EXPECT_TRUE(instance::NamedMutex("TarnWickPlusPlus").Held());
}

TEST_F(LauncherProcessTest, DdeRequestsAndWindowMessagesReachTheGuiMainObject) {
  const Process first = Start({"one.wav", "two.wav"});
  ASSERT_TRUE(WaitUntil([&] { return Message(0x9004) == 2; }));
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
  const Process p = Start({"a.wav"});
  EXPECT_TRUE(ExitedWithZero(WaitExit(p)));
  const std::string errors = ReadText(p.err);
  EXPECT_NE(errors.find("Error! Unable to load ORU."), std::string::npos) << errors;
  EXPECT_NE(errors.find("Fatal Velkora 2 Preload Error"), std::string::npos) << errors;
  EXPECT_TRUE(Log().empty());
  EXPECT_FALSE(Exists(WindowSocket()));
  EXPECT_TRUE(instance::NamedMutex("TarnWickPlusPlus").Held());
}

TEST_F(LauncherProcessTest, AFirstInstanceKilledOutrightDoesNotBlockTheNextStart) {
  const Process first = StartFirstInstance();
  ::kill(first.pid, SIGKILL);
  ASSERT_TRUE(WaitExit(first).has_value());
  ASSERT_TRUE(Exists(WindowSocket())) << "a killed instance leaves its socket file behind";
  const Process next = Start({"k.wav"});
  ASSERT_TRUE(WaitUntil([&] { return Message(0x9004) == 1; })) << ReadText(next.err);
  EXPECT_EQ(CountLines("launch"), 2);
  Terminate(next);
}

TEST_F(LauncherProcessTest, ALockHeldWithoutAnAnsweringWindowIsTakenOverAfterTheTries) {
  // This test holds the lock itself and answers nothing, like a hung first instance.
  instance::NamedMutex hung("TarnWickPlusPlus");
  ASSERT_TRUE(hung.Held());
  const auto start = std::chrono::steady_clock::now();
  const Process p = Start({"h.wav"});
  ASSERT_TRUE(WaitUntil([&] { return Logged("run"); })) << ReadText(p.err);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(4500))
      << "the start looks for the window 50 times, 100 ms apart";
  EXPECT_NE(ReadText(p.err).find("did not answer; starting a new one"), std::string::npos);
  EXPECT_EQ(Message(0x9004), 1);
  Terminate(p);
}

TEST_F(LauncherProcessTest, ASecondStartWithoutArgumentsRunsBesideTheFirst) {
  const Process first = StartFirstInstance();
  const Process second = Start({});
  ASSERT_TRUE(WaitUntil([&] { return CountLines("run") == 2; })) << ReadText(second.err);
  // The second could not take the window's name and must not have removed the first's.
  Terminate(second);
  EXPECT_TRUE(Exists(WindowSocket()));
  EXPECT_EQ(Ctl({"copydata", "still.wav"}), "0");
  EXPECT_EQ(Message(0x9004), 1);
  Terminate(first);
}

TEST_F(LauncherProcessTest, OnlyTheExactMinusSSelectsTheUnservedMediaCoreServer) {
  const Process server = Start({"-s"});
  EXPECT_TRUE(ExitedWithZero(WaitExit(server)));
  EXPECT_TRUE(Log().empty()) << "the media core server is not served: nothing launches";
  const Process player = Start({"-sx"});
  ASSERT_TRUE(WaitUntil([&] { return Logged("run"); })) << ReadText(player.err);
  EXPECT_TRUE(Logged("execute first=1 gui=0 [-sx]"));
  Terminate(player);
}

TEST_F(LauncherProcessTest, AFailedLaunchReleasesTheObjectAndRunsNothingElse) {
  SetEnv("VK2_TEST_LAUNCH_FAIL", "1");
  const Process p = Start({"a.wav"});
  EXPECT_TRUE(ExitedWithZero(WaitExit(p)));
  const std::vector<std::string> log = Log();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].rfind("launch ", 0), 0u);
  EXPECT_EQ(log[1], "release");
  EXPECT_FALSE(Exists(WindowSocket()));
}

TEST_F(LauncherProcessTest, AHandOverDuringASlowLaunchWaitsAndArrives) {
  SetEnv("VK2_TEST_LAUNCH_DELAY_MS", "1500");
  const Process first = Start({});
  // The window's name is taken before Launch: the later start connects and waits.
  ASSERT_TRUE(WaitUntil([&] { return Exists(WindowSocket()); }));
  UnsetEnv("VK2_TEST_LAUNCH_DELAY_MS");
  const Process early = Start({"early.wav"});
  EXPECT_TRUE(ExitedWithZero(WaitExit(early)));
  EXPECT_TRUE(Logged("execute first=0 gui=1 [early.wav]"));
  EXPECT_EQ(Message(0x9004), 1);
  Terminate(first);
}

TEST_F(LauncherProcessTest, ACommandLineTooLongToHandOverIsRefusedWithAMessage) {
  const Process first = StartFirstInstance();
  std::vector<std::string> many(2000, std::string(40, 'f'));
  const Process big = Start(many);
  EXPECT_TRUE(ExitedWithZero(WaitExit(big)));
  EXPECT_NE(ReadText(big.err).find("too long to hand over"), std::string::npos);
  EXPECT_EQ(Message(0x9004), 0);
  Terminate(first);
}

}  // namespace
}  // namespace vk2::launcher
