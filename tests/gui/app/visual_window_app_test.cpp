// Visual windows in the running program: an interface whose main window holds two visual
// windows of one group, over a visuals folder with one plug-in. When the program ends, the
// windows close while the visual control object still stands, so the group's state is stored.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/gui/support/app_runner.h"

namespace vk2::test {
namespace {

constexpr char kVisualAppPackage[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<?mml version="0.5"?>
<mml><interface unique_name="test/visual_app/1.0" cosmetic_name="Visuals" author="test"
     version="1.0" MML_version="1" languages="english" default_language="english">
  <windowtype name="Visual" uid="1A4888AE-2117-453C-AECB-59130D7C65EE"/>
  <property name="Velkora2"><frame name="main" window="main"/></property>
  <window name="main" offset="0,0,64,48">
    <window name="left" type="Visual" offset="0,0,32,48"><property group="stage"/></window>
    <window name="right" type="Visual" offset="32,0,64,48"><property group="stage"/></window>
  </window>
</interface></mml>
)";

// The text of the section `name` in a preferences file, up to its end; empty when missing.
std::string PrefsSectionText(const std::string& prefs, const std::string& name) {
  const std::string open = "<section name=\"" + name + "\">";
  const size_t at = prefs.find(open);
  if (at == std::string::npos) return {};
  return prefs.substr(at, prefs.find("</section>", at) - at);
}

TEST(VisualWindowAppTest, TheGroupOfTheVisualWindowsIsStoredWhenTheProgramEnds) {
  AppRunner runner(kEnglishWithDisplayFont, {VK2_TEST_VISUAL_SO});
  namespace fs = std::filesystem;
  fs::copy(std::string(VK2_TEST_DATA_DIR) + "/rez", runner.Bin() + "/vk2.rez",
           fs::copy_options::recursive);
  WriteFiles(runner.Bin(), {{"interfaces/visuals/index.mml", kVisualAppPackage}});
  fs::create_directories(runner.Bin() + "/vis");
  fs::copy_file(VK2_TEST_RECORDER_VVP, runner.Bin() + "/vis/recorder.vvp");

  AppOutcome outcome = runner.Start({}, 3000);
  ASSERT_EQ(outcome.exitCode, 0) << outcome.log << outcome.errors;
  const std::string prefs = SlurpFile(runner.PrefsPath());
  // The windows left their group as they closed; the last one out stored its visual.
  const std::string group = PrefsSectionText(prefs, "stage");
  ASSERT_NE(group, "") << prefs;
  EXPECT_NE(group.find("VisualName"), std::string::npos) << group;
  EXPECT_NE(group.find("Recorder"), std::string::npos) << group;
  EXPECT_NE(prefs.find("<section name=\"visualcontrol\">"), std::string::npos) << prefs;
}

}  // namespace
}  // namespace vk2::test
