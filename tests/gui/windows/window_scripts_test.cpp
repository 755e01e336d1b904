// What the equalizer, console and top-menu windows do through scripts: the equalizer's calls of
// its own script functions and its two methods, the console's SetMinDisplayType, and a chosen
// menu command run in the context of the menu's window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "component/script/script_report.h"
#include "foundation/util/ref_ptr.h"
#include "gui/console_window/console_filter.h"
#include "gui/equalizer_window/equalizer_script.h"
#include "gui/top_menu/menu_command_run.h"
#include "interfaces/script/script_engine.h"
#include "tests/gui/windows/window_test_text.h"
#include "tests/support/script_host.h"

namespace vk2::gui {
namespace {

class WindowScriptsTest : public ::testing::Test {
 protected:
  // The script's value as text, run on the host's object.
  std::string Value(const std::string& script) {
    MScriptObject* raw = nullptr;
    const int32_t status = host_.engine->Run(Utf16(script), &raw, host_.self.Get(),
                                             host_.self.Get(), host_.self.Get());
    auto value = RefPtr<MScriptObject>::Adopt(raw);
    if (status != 0) return "<error " + std::to_string(status) + ">";
    TString text;
    if (ScriptDataEntity* data = value ? AsDataEntity(value.Get()) : nullptr) data->GetValue(&text);
    return Text(text);
  }

  // The status of running `script`: 0, or negative when it raised an error.
  int32_t Status(const std::string& script) {
    return host_.engine->Run(Utf16(script), nullptr, host_.self.Get(), host_.self.Get(),
                             host_.self.Get());
  }

  test::ScriptHost host_;
};

TEST_F(WindowScriptsTest, TheEqualizerReadsAndSetsBandsThroughItsScriptFunctions) {
  ASSERT_EQ(Value("suffix = \"k\"; sep = \"=\";"
                  "GetNumBands = \"return (3);\";"
                  "GetBandFreqString = \"return ($params[0] | suffix);\";"
                  "GetBandGain = \"return ($params[0] / 4);\";"
                  "SetBandGain = \"last = $params[0] | sep | $params[1]; return (1);\";"
                  "return (1);"),
            "1");
  ScriptObjectEqualizer script(host_.self.Get(), host_.engine);
  EqualizerBands bands;
  bands.ReadAll(script);
  const std::vector<EqualizerBand> shown = bands.Snapshot();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(Text(shown[2].label), "2k");
  EXPECT_DOUBLE_EQ(shown[2].gain, 0.5);

  // 40 wide, 3 bands: 10 apart; 30 high with 5-pixel lines: a 20-pixel area.
  EXPECT_TRUE(bands.Press(script, 31, 15, EqualizerGeometry{40, 30, 5}));
  EXPECT_EQ(Value("return (last);"), "2=-0.5");

  TString ignored;
  EXPECT_FALSE(script.Call(u"NoSuchFunction", {}, &ignored));
  EXPECT_FALSE(ScriptObjectEqualizer(nullptr, host_.engine).Call(u"GetNumBands", {}, &ignored));
}

struct RecordedUpdates final : EqualizerUpdates {
  void UpdateFromScript(bool gainsOnly) override { calls.push_back(gainsOnly ? "bands" : "all"); }
  std::vector<std::string> calls;
};

TEST_F(WindowScriptsTest, UpdateMethodsTakeNoArguments) {
  RecordedUpdates updates;
  ASSERT_TRUE(RegisterEqualizerMethods(host_.self.Get(), &updates));
  EXPECT_EQ(Status("UpdateDisplay();"), 0);
  EXPECT_EQ(Status("UpdateBands();"), 0);
  EXPECT_EQ(updates.calls, (std::vector<std::string>{"all", "bands"}));
  EXPECT_NE(Status("UpdateBands(1);"), 0);
  EXPECT_EQ(updates.calls.size(), 2u);
  EXPECT_EQ(Value("return (UpdateDisplay.Help());"), Text(TString(kUpdateDisplayHelp)));
}

TEST_F(WindowScriptsTest, SetMinDisplayTypeTakesTheFourLevelNamesInAnyCase) {
  int repaints = 0;
  ConsoleFilter filter([&] { ++repaints; });
  EXPECT_EQ(filter.MinLevel(), 2);
  ASSERT_TRUE(AddConsoleLevelMethod(host_.self.Get(), &filter));
  EXPECT_EQ(Status("SetMinDisplayType(\"Warning\");"), 0);
  EXPECT_EQ(filter.MinLevel(), 6);
  EXPECT_NE(Status("SetMinDisplayType(\"fatal\");"), 0);
  EXPECT_NE(Status("SetMinDisplayType();"), 0);
  EXPECT_EQ(filter.MinLevel(), 6);
  EXPECT_EQ(repaints, 1);
  EXPECT_FALSE(filter.SetMinLevel(3));
  EXPECT_TRUE(filter.SetMinLevel(1));
  EXPECT_EQ(repaints, 2);

  RemoveConsoleLevelMethod(host_.self.Get());
  RefPtr<MScriptObject> gone;
  EXPECT_FALSE(host_.self->FindMember(TString(kSetMinDisplayTypeName), gone.Put(), false));
}

TEST_F(WindowScriptsTest, AChosenMenuItemRunsItsLineInTheWindowsContext) {
  MenuCommandTable commands;
  const int32_t id = commands.Add(TString(u"chosen = \"yes\";"));
  EXPECT_TRUE(RunMenuCommand(commands, id, host_.engine, host_.self.Get()));
  EXPECT_EQ(Value("return (chosen);"), "yes");
  EXPECT_FALSE(RunMenuCommand(commands, id + 1, host_.engine, host_.self.Get()));
  EXPECT_FALSE(RunMenuCommand(commands, id, host_.engine, nullptr));
}

}  // namespace
}  // namespace vk2::gui
