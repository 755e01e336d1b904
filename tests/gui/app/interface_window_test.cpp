// The application opens "main" of the default interface from the installed interface packages:
// a test interface whose main window closes itself once it stands, which ends the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "platform/environment.h"
#include "tests/gui/support/app_runner.h"

namespace vk2::test {
namespace {

constexpr char kResources[] = R"(<?mml version="0.5"?>
<mml><interface unique_name="ridurodoror/default_velkora2_mood/1.0"></interface></mml>
)";

// An interface whose frame `frame` opens a window that closes itself after its OnInit.
std::string SkinIndex(const std::string& uniqueName, const std::string& frame) {
  return R"(<?mml version="0.5"?>
<mml><interface unique_name=")" +
         uniqueName + R"(">
  <property name="Velkora2"><frame name=")" +
         frame + R"(" window="shell"/></property>
  <window name="shell" offset="0,0,160,90">
    <script name="OnInit">PostScript("DestroyWindow();");</script>
  </window>
</interface></mml>
)";
}

class InterfaceWindowTest : public ::testing::Test {
 protected:
  InterfaceWindowTest() {
    WriteFiles(runner_.Bin(), {{"vk2.rez/vk2_res.xml", kResources}});
    std::filesystem::create_directories(runner_.Bin() + "/interfaces");
  }
  void AddSkin(const std::string& folder, const std::string& uniqueName, const std::string& frame) {
    WriteFiles(runner_.Bin() + "/interfaces/" + folder,
               {{"index.mml", SkinIndex(uniqueName, frame)}});
  }

  AppRunner runner_{kEnglishWithDisplayFont};
};

TEST_F(InterfaceWindowTest, MainOfTheDefaultInterfaceOpensAndClosingItEndsTheProgram) {
  AddSkin("skin", "test/velkora2_main_skin/1.0", "main");
  AppOutcome outcome = runner_.Start({});
  // 0: Run ended because the last window closed; a window that failed to open fails Launch.
  EXPECT_EQ(outcome.exitCode, 0) << outcome.log << outcome.errors;
  EXPECT_EQ(MissingInOrder(outcome.log, {"2 load language...succeeded", "2 1 Interface(s) found"}),
            "")
      << outcome.log;
  // No window failed (the visuals are not part of this program folder).
  EXPECT_EQ(outcome.log.find("7 Unable"), std::string::npos) << outcome.log;
  EXPECT_NE(SlurpFile(runner_.PrefsPath()).find(">test/velkora2_main_skin/1.0<"),
            std::string::npos);
}

TEST_F(InterfaceWindowTest, ADefaultWithoutAMainWindowGivesWayToTheFirstInterfaceWithOne) {
  // Sorted by folder name: "a" is the first installed interface, but has no main window.
  AddSkin("a", "test/velkora2_mini_skin/1.0", "mini");
  AddSkin("b", "test/velkora2_main_skin/1.0", "main");
  std::filesystem::create_directories(runner_.Root() + "/config/velkora2");
  std::ofstream(runner_.PrefsPath())
      << R"(<?xml version="1.0" encoding="UTF-8"?><preferences version="1">)"
      << R"(<section name="velkora"><section name="gui"><section name="brint">)"
      << R"(<value name="DefaultInterface" type="string">test/gone_skin/1.0</value>)"
      << R"(</section></section></section></preferences>)";
  AppOutcome outcome = runner_.Start({});
  EXPECT_EQ(outcome.exitCode, 0) << outcome.log << outcome.errors;
  EXPECT_EQ(MissingInOrder(outcome.log, {"2 2 Interface(s) found",
                                         "7 Unable to find window \"main\" for creation."}),
            "")
      << outcome.log;
  EXPECT_NE(SlurpFile(runner_.PrefsPath()).find(">test/velkora2_main_skin/1.0<"),
            std::string::npos);
}

TEST_F(InterfaceWindowTest, WithoutInterfacesTheStartFails) {
  AppOutcome outcome = runner_.Start({});
  EXPECT_EQ(outcome.exitCode, 3);
  EXPECT_EQ(MissingInOrder(outcome.log,
                           {"7 Error: - no interfaces found",
                            "7 Interface enumerator initialization failed!", "7 Init failed."}),
            "")
      << outcome.log;
}

// The global-init interface's scripts run when the visual interface starts and when it ends,
// after the last window closed; without them the start goes on.
TEST_F(InterfaceWindowTest, TheGlobalInitScriptsRunAtTheStartAndTheEndOfTheVisualInterface) {
  AddSkin("skin", "test/velkora2_main_skin/1.0", "main");
  struct Case {
    const char* label;
    const char* scripts;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"both scripts",
       R"(<script name="VelkoraAppInit">:velkora.echo("global init ran");</script>
          <script name="VelkoraAppDeinit">:velkora.echo("global deinit ran");</script>)",
       {"3 global init ran", "2 1 Interface(s) found", "3 global deinit ran"}},
      {"no scripts", "", {"2 1 Interface(s) found"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    WriteFiles(runner_.Bin(), {{"vk2.rez/vk2_res.xml", std::string(R"(<?mml version="0.5"?>
<mml><interface unique_name="ridurodoror/default_velkora2_mood/1.0"></interface>
<interface unique_name="ridurodoror/default_velkora2_globalinit/1.0">)") +
                                                           c.scripts + "</interface></mml>\n"}});
    AppOutcome outcome = runner_.Start({});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.log << outcome.errors;
    EXPECT_EQ(MissingInOrder(outcome.log, c.lines), "") << outcome.log;
    EXPECT_EQ(outcome.log.find("7 Unable"), std::string::npos) << outcome.log;
  }
}

// A script of the interface opens windows of it through LaunchWindow, by type name and by
// definition identifier; a window that is not there is reported and the script goes on.
TEST_F(InterfaceWindowTest, ScriptsLaunchWindowsOfAnInterfaceByTypeOrDefinition) {
  WriteFiles(runner_.Bin() + "/interfaces/skin", {{"index.mml", R"(<?mml version="0.5"?>
<mml><interface unique_name="test/velkora2_launch_skin/1.0">
  <property name="Velkora2"><frame name="main" window="shell"/></property>
  <window name="shell" offset="0,0,160,90">
    <script name="OnInit">
      :velkora.LaunchWindow("test/velkora2_launch_skin/1.0", "Generic", "extra");
      :velkora.LaunchWindow("test/velkora2_launch_skin/1.0",
                            "{4B87D871-D052-4C83-82A3-9B5C8C00BA77}", "other");
      :velkora.LaunchWindow("test/velkora2_launch_skin/1.0", "Generic", "nosuch");
      :velkora.echo("main opened");
      PostScript("DestroyWindow();");
    </script>
  </window>
  <window name="extra" offset="0,0,50,40">
    <script name="OnInit">:velkora.echo("extra opened"); PostScript("DestroyWindow();");</script>
  </window>
  <window name="other" offset="0,0,50,40">
    <script name="OnInit">:velkora.echo("other opened"); PostScript("DestroyWindow();");</script>
  </window>
</interface></mml>
)"}});
  AppOutcome outcome = runner_.Start({});
  EXPECT_EQ(outcome.exitCode, 0) << outcome.log << outcome.errors;
  // The windows' own scripts run once their creator's has ended.
  EXPECT_EQ(MissingInOrder(outcome.log, {"7 Unable to find window \"nosuch\" for creation.",
                                         "7 LaunchWindow: Failed", "3 main opened"}),
            "")
      << outcome.log;
  EXPECT_NE(outcome.log.find("3 extra opened"), std::string::npos) << outcome.log;
  EXPECT_NE(outcome.log.find("3 other opened"), std::string::npos) << outcome.log;
}

// The same on an X display through the SDL backend.
TEST_F(InterfaceWindowTest, MainOpensOnAnXDisplay) {
  const std::optional<std::string> display = GetEnv("VK2_TEST_DISPLAY");
  ASSERT_TRUE(display) << "VK2_TEST_DISPLAY is unset: start scripts/services.d/xvfb.sh";
  runner_.Set("DISPLAY", *display);
  runner_.Set("VK2_GUI_BACKEND", "sdl");
  AddSkin("skin", "test/velkora2_main_skin/1.0", "main");
  AppOutcome outcome = runner_.Start({});
  EXPECT_EQ(outcome.exitCode, 0) << outcome.log << outcome.errors;
  // No window failed (the visuals are not part of this program folder).
  EXPECT_EQ(outcome.log.find("7 Unable"), std::string::npos) << outcome.log;
}

}  // namespace
}  // namespace vk2::test
