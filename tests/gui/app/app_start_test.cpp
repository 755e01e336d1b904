// The application object started through the runtime by a small driver program that lies, with
// the data the application reads, in a private folder: the console's log of the start-up and
// shutdown, and the failures the user is shown.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/audio/support/module_sandbox.h"

extern char** environ;

namespace vk2::test {
namespace {

constexpr char kEnglish[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<languages>
  <language name="english">
    <domain name="velkora gui"><text key="play">Play</text>
      <font key="display" face="DejaVu Sans" size="9"/></domain>
  </language>
  <language name="german">
    <domain name="velkora gui"><text key="play">Spielen</text></domain>
  </language>
</languages>
)";

std::string Slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Outcome {
  int exitCode = -1;
  std::string log;     // the console, one entry a line: "<level> <text>"
  std::string errors;  // stderr
};

class AppStartTest : public ::testing::Test {
 protected:
  AppStartTest() {
    std::filesystem::create_directories(bin_);
    std::filesystem::copy_file(VK2_TEST_DRIVER, bin_ + "/velkora2");
    std::filesystem::permissions(bin_ + "/velkora2", std::filesystem::perms::owner_all);
    std::filesystem::create_directories(bin_ + "/lang");
    std::ofstream(bin_ + "/lang/english.xml") << kEnglish;
    std::filesystem::create_directories(folder_.Path() + "/run");
    std::filesystem::create_directories(folder_.Path() + "/home");
    std::filesystem::create_directories(folder_.Path() + "/config");
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

  Outcome Start(std::vector<std::string> args) {
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
    Outcome outcome;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return outcome;
    int status = 0;
    waitpid(pid, &status, 0);
    outcome.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.log = Slurp(out);
    outcome.errors = Slurp(err);
    return outcome;
  }

  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_GUI_SO, VK2_TEST_CORE_SO, VK2_TEST_TESSEL_SO}};
  TempFolder folder_;
  std::string bin_ = folder_.Path() + "/bin";
};

// Finds each line in order; returns the first one missing.
std::string MissingInOrder(const std::string& text, const std::vector<std::string>& lines) {
  size_t at = 0;
  for (const std::string& line : lines) {
    size_t found = text.find(line, at);
    if (found == std::string::npos) return line;
    at = found + line.size();
  }
  return {};
}

TEST_F(AppStartTest, StartUpLogsItsStepsInOrderAndAMissingResourceFileFailsIt) {
  Outcome outcome = Start({"-shuffle", "on"});
  EXPECT_EQ(outcome.exitCode, 3) << outcome.errors;
  EXPECT_EQ(MissingInOrder(
                outcome.log,
                {"1 Executable path is: \"" + bin_ + "\"", "2 load settings...succeeded",
                 "2 initialize audiosystem...", "2 succeeded", "2 initialize visuals...",
                 "7 failed", "2 load language...succeeded", "7 Fatal error: Resource file missing.",
                 "7 Visual interface initialization failed!", "7 Init failed."}),
            "")
      << outcome.log;
  // The user is shown the recent log, on stderr when nobody can answer a box.
  EXPECT_NE(outcome.errors.find("error launching velkora..."), std::string::npos);
  EXPECT_NE(outcome.errors.find("Fatal error: Resource file missing."), std::string::npos);
  EXPECT_NE(outcome.errors.find("Visual interface initialization failed!"), std::string::npos);
  // The teardown saved the sections the start-up seeded.
  std::string prefs = Slurp(folder_.Path() + "/config/velkora2/prefs.xml");
  EXPECT_NE(prefs.find(R"("02908D92-3B57-422C-B14A-31BC8379F04F","VK2_NavigationBar")"),
            std::string::npos)
      << prefs;
  EXPECT_NE(prefs.find(R"(name="current_language" type="string">english<)"), std::string::npos);
}

TEST_F(AppStartTest, AnEmptyCurrentLanguageFailsTheStart) {
  std::filesystem::create_directories(folder_.Path() + "/config/velkora2");
  std::ofstream(folder_.Path() + "/config/velkora2/prefs.xml")
      << R"(<?xml version="1.0" encoding="UTF-8"?>)"
      << R"(<preferences version="1"><section name="velkora"><section name="gui">)"
      << R"(<value name="current_language" type="string"></value></section></section>)"
      << R"(</preferences>)";
  Outcome outcome = Start({});
  EXPECT_EQ(outcome.exitCode, 3);
  EXPECT_EQ(MissingInOrder(outcome.log, {"2 load language...",
                                         "7 Unable to find the current_language entry in prefs.",
                                         "7 Loading language failed!", "7 failed"}),
            "")
      << outcome.log;
}

TEST_F(AppStartTest, WithoutTheLanguageFileTheLanguageCannotBeSet) {
  std::filesystem::remove(bin_ + "/lang/english.xml");
  Outcome outcome = Start({});
  EXPECT_EQ(outcome.exitCode, 3);
  EXPECT_EQ(MissingInOrder(outcome.log, {"7 Unable to set current language(s) to \"english\".",
                                         "7 Loading language failed!"}),
            "")
      << outcome.log;
}

}  // namespace
}  // namespace vk2::test
