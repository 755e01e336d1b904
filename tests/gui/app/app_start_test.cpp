// The application object started through the runtime by a small driver program that lies, with
// the data the application reads, in a private folder: the console's log of the start-up and
// shutdown, and the failures the user is shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/gui/support/app_runner.h"

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

class AppStartTest : public ::testing::Test {
 protected:
  AppOutcome Start(std::vector<std::string> args) { return runner_.Start(std::move(args)); }

  AppRunner runner_{kEnglish};
  std::string bin_ = runner_.Bin();
};

TEST_F(AppStartTest, StartUpLogsItsStepsInOrderAndAMissingResourceFileFailsIt) {
  AppOutcome outcome = Start({"-shuffle", "on"});
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
  std::string prefs = SlurpFile(runner_.PrefsPath());
  EXPECT_NE(prefs.find(R"("02908D92-3B57-422C-B14A-31BC8379F04F","VK2_NavigationBar")"),
            std::string::npos)
      << prefs;
  EXPECT_NE(prefs.find(R"(name="current_language" type="string">english<)"), std::string::npos);
}

TEST_F(AppStartTest, AnEmptyCurrentLanguageFailsTheStart) {
  std::filesystem::create_directories(runner_.Root() + "/config/velkora2");
  std::ofstream(runner_.PrefsPath())
      << R"(<?xml version="1.0" encoding="UTF-8"?>)"
      << R"(<preferences version="1"><section name="velkora"><section name="gui">)"
      << R"(<value name="current_language" type="string"></value></section></section>)"
      << R"(</preferences>)";
  AppOutcome outcome = Start({});
  EXPECT_EQ(outcome.exitCode, 3);
  EXPECT_EQ(MissingInOrder(outcome.log, {"2 load language...",
                                         "7 Unable to find the current_language entry in prefs.",
                                         "7 Loading language failed!", "7 failed"}),
            "")
      << outcome.log;
}

TEST_F(AppStartTest, WithoutTheLanguageFileTheLanguageCannotBeSet) {
  std::filesystem::remove(bin_ + "/lang/english.xml");
  AppOutcome outcome = Start({});
  EXPECT_EQ(outcome.exitCode, 3);
  EXPECT_EQ(MissingInOrder(outcome.log, {"7 Unable to set current language(s) to \"english\".",
                                         "7 Loading language failed!"}),
            "")
      << outcome.log;
}

}  // namespace
}  // namespace vk2::test
