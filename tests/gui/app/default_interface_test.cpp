// The shipped default interface opens its main window with the module's window types (frame,
// display with its pages, playlist view, status bar, equalizer) on the headless backend, and
// nothing in it is reported: start-up does not fall back to another interface.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/gui/support/app_runner.h"

namespace vk2::test {
namespace {

constexpr char kLanguageFile[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<languages><language name="english"><domain name="velkora gui">
  <font key="display" face="DejaVu Sans" size="9"/></domain></language></languages>
)";

TEST(DefaultInterfaceTest, MainOpensWithEveryPageAndNothingIsReported) {
  AppRunner runner(kLanguageFile);
  namespace fs = std::filesystem;
  const std::string data = VK2_TEST_DATA_DIR;
  fs::copy(data + "/rez", runner.Bin() + "/vk2.rez", fs::copy_options::recursive);
  fs::create_directories(runner.Bin() + "/interfaces/default");
  fs::copy(data + "/interfaces/default", runner.Bin() + "/interfaces/default",
           fs::copy_options::recursive);

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

}  // namespace
}  // namespace vk2::test
