#include "tests/gui/support/app_runner.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace vk2::test {

std::string SlurpFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string MissingInOrder(const std::string& text, const std::vector<std::string>& lines) {
  size_t at = 0;
  for (const std::string& line : lines) {
    size_t found = text.find(line, at);
    if (found == std::string::npos) return line;
    at = found + line.size();
  }
  return {};
}

void WriteFiles(const std::string& folder, const std::map<std::string, std::string>& members) {
  for (const auto& [name, text] : members) {
    const std::filesystem::path path = std::filesystem::path(folder) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
}

namespace {

std::vector<std::string> ProgramModules(std::vector<std::string> more) {
  more.insert(more.begin(),
              {VK2_TEST_ORU_SO, VK2_TEST_GUI_SO, VK2_TEST_CORE_SO, VK2_TEST_TESSEL_SO});
  return more;
}

}  // namespace

AppRunner::AppRunner(const std::string& english) : AppRunner(english, {}) {}

AppRunner::AppRunner(const std::string& english, const std::vector<std::string>& modules)
    : sandbox_(ProgramModules(modules)) {
  std::filesystem::create_directories(bin_);
  std::filesystem::copy_file(VK2_TEST_DRIVER, bin_ + "/velkora2");
  std::filesystem::permissions(bin_ + "/velkora2", std::filesystem::perms::owner_all);
  WriteFiles(bin_, {{"lang/english.xml", english}});
  for (const char* sub : {"/run", "/home", "/config"}) {
    std::filesystem::create_directories(folder_.Path() + sub);
  }
  sandbox_.Set("XDG_CONFIG_HOME", folder_.Path() + "/config");
  sandbox_.Set("XDG_RUNTIME_DIR", folder_.Path() + "/run");
  sandbox_.Set("HOME", folder_.Path() + "/home");
  sandbox_.Set("VK2_GUI_BACKEND", "headless");
  sandbox_.Set("VK2_NONINTERACTIVE", "1");
  sandbox_.Set("VK2_AUDIO_BACKEND", "capture");
  // The driver unloads the modules before it ends; the leak checker then meets blocks inside
  // unloaded objects that it cannot attribute.
  sandbox_.Set("ASAN_OPTIONS", "detect_leaks=0:abort_on_error=1");
}

namespace {

constexpr int kStartLimitSeconds = 60;

}  // namespace

void AppRunner::AddShippedInterface(const std::string& dataDir) {
  namespace fs = std::filesystem;
  fs::copy(dataDir + "/rez", bin_ + "/vk2.rez", fs::copy_options::recursive);
  fs::create_directories(bin_ + "/interfaces/default");
  fs::copy(dataDir + "/interfaces/default", bin_ + "/interfaces/default",
           fs::copy_options::recursive);
}

AppOutcome AppRunner::Start(std::vector<std::string> args, int stopAfterMs) {
  args.insert(args.begin(), bin_ + "/velkora2");
  std::string out = folder_.Path() + "/out.txt";
  std::string err = folder_.Path() + "/err.txt";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv;
  for (std::string& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  AppOutcome outcome;
  int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return outcome;
  int status = 0;
  // A program that does not end in time is stopped and fails the test.
  const auto started = std::chrono::steady_clock::now();
  const auto deadline = started + std::chrono::seconds(kStartLimitSeconds);
  bool stopAsked = false;
  bool timedOut = false;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (stopAfterMs > 0 && !stopAsked &&
        std::chrono::steady_clock::now() > started + std::chrono::milliseconds(stopAfterMs)) {
      kill(pid, SIGTERM);
      stopAsked = true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.log = SlurpFile(out);
  outcome.errors = SlurpFile(err);
  if (timedOut) outcome.errors += "\n(stopped: the program did not end in time)\n";
  return outcome;
}

}  // namespace vk2::test
