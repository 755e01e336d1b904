// The shipped default interface opens its main window with the module's window types (frame,
// display with its pages, playlist view, status bar, equalizer) on the headless backend, and
// nothing in it is reported: start-up does not fall back to another interface.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/gui/support/app_runner.h"

namespace vk2::test {
namespace {

// The pages a display shows at start: the shipped default, and with the fill pages.
constexpr const char* kDisplayStates[] = {
    nullptr,
    R"("02908D92-3B57-422C-B14A-31BC8379F04F","VK2_NavigationBar","VK2_PlayBar",)"
    R"("VK2_StatusBar","VK2_Playlist","VK2_Equalizer")",
};

TEST(DefaultInterfaceTest, MainOpensWithEveryPageAndNothingIsReported) {
  for (const char* displayState : kDisplayStates) {
    SCOPED_TRACE(displayState ? displayState : "the shipped pages");
    AppRunner runner(kEnglishWithDisplayFont);
    runner.AddShippedInterface(VK2_TEST_DATA_DIR);
    if (displayState) {
      std::filesystem::create_directories(runner.Root() + "/config/velkora2");
      std::ofstream(runner.PrefsPath())
          << R"(<?xml version="1.0" encoding="UTF-8"?><preferences version="1">)"
          << R"(<section name="velkora"><section name="gui"><section name="brint">)"
          << R"(<value name="display_state" type="string">)" << displayState << R"(</value>)"
          << R"(</section></section></section></preferences>)";
    }

    // Asked to end once the main window has stood for a while, as a session's end asks.
    AppOutcome outcome = runner.Start({}, 4000);
    EXPECT_EQ(outcome.exitCode, 0) << outcome.log << outcome.errors;
    // Markup reports, windows that could not be made, pages the display could not find.
    for (const char* report : {"Error loading DUV", "Unable to", "Interface Parse error"}) {
      EXPECT_EQ(outcome.log.find(report), std::string::npos) << report << "\n" << outcome.log;
    }
    EXPECT_NE(SlurpFile(runner.PrefsPath()).find(">velkora2/default_skin/1.0<"), std::string::npos)
        << SlurpFile(runner.PrefsPath());
  }
}

}  // namespace
}  // namespace vk2::test
