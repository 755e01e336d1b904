// The `velkora` functions for interfaces, windows, languages, rendering, input settings,
// status texts, versions and scrambling, called from scripts.
#include <algorithm>
#include <filesystem>
#include <string>

#include "component/module/runtime_loader.h"
#include "interfaces/ids.h"
#include "tests/core/script/support/script_case.h"
#include "tests/gui/script_functions/gui_script_fixture.h"

namespace vk2::gui::test {
namespace {

using Calls = std::vector<std::string>;

TEST_F(GuiScriptTest, EveryFunctionIsRegisteredWithItsHelp) {
  ScriptNameList names;
  main_->Script()->EnumerateNames(&names, kScriptKindFunction, false);
  std::vector<std::string> listed;
  for (uint32_t i = 0; i < names.Count(); ++i)
    listed.push_back(Utf8(names[i]).c_str());
  // The registry lists its names in an order of its own.
  std::sort(listed.begin(), listed.end());
  std::vector<std::string> expected{"InstallInterface",
                                    "OpenFiles",
                                    "LoadPlaylistFile",
                                    "SavePlaylistFile",
                                    "Exit",
                                    "echo",
                                    "LoadInterface",
                                    "setlanguage",
                                    "setlanguage_index",
                                    "SetRasterizer",
                                    "Status",
                                    "LocalStatus",
                                    "LaunchRemote",
                                    "LaunchAppWindow",
                                    "LaunchWindow",
                                    "RemoveInterface",
                                    "RemoveInterfacePackage",
                                    "CompactMem",
                                    "SetKnobRadialControl",
                                    "GetKnobRadialControl",
                                    "SetKnobSensitivity",
                                    "GetKnobSensitivity",
                                    "GetVersion",
                                    "GetBuildTime",
                                    "EnableDithering",
                                    "AddFile",
                                    "Scramble",
                                    "Unscramble"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(listed, expected);
  RefPtr<MScriptObject> function;
  ASSERT_TRUE(main_->Script()->FindChild(u"SetKnobSensitivity", function.Put()));
  TString help;
  function->Help(&help);
  EXPECT_NE(help.Find(u"The default is 500."), -1) << Utf8(help).c_str();
}

TEST_F(GuiScriptTest, StatusBroadcastsToEveryListenerByPriority) {
  EXPECT_EQ(Answer("return (:velkora.Status(\"Warning\", \"careful\"));"), "set");
  EXPECT_EQ(status_.Take(), (std::vector<SeenStatus>{{1, 2, "careful", "", 0.0}}));
  EXPECT_EQ(Answer("return (:velkora.Status(\"info\", \"copying\", 0.5, \"3 of 6\"));"), "set");
  EXPECT_EQ(status_.Take(), (std::vector<SeenStatus>{{2, 1, "copying", "3 of 6", 0.5}}));
  // The fraction is passed on as given.
  EXPECT_EQ(Answer("return (:velkora.Status(\"ERROR\", \"over\", 1.5));"), "set");
  EXPECT_EQ(status_.Take(), (std::vector<SeenStatus>{{2, 3, "over", "", 1.5}}));
  EXPECT_EQ(Answer("return (:velkora.Status(\"urgent\", \"now\"));"),
            "!Status: Unknown status type message text for SetStatusText. Valid types are "
            "'default', 'info', 'warning' and 'error'.");
  EXPECT_TRUE(status_.Take().empty());
}

TEST_F(GuiScriptTest, LocalStatusNeedsAWindow) {
  EXPECT_EQ(Answer("return (:velkora.LocalStatus(\"info\", \"here\"));"),
            "!LocalStatus: You must be in the context of a window (i.e. have a 'this') to be "
            "able to set local status.");
  EXPECT_EQ(
      Answer("return (:velkora.LocalStatus(\"info\", \"here\", 0, \"\", \"nowhere.at.all\"));"),
      "!LocalStatus: The context provided is invalid.");
  // A context that exists but is no window.
  EXPECT_EQ(Answer("return (:velkora.LocalStatus(\"info\", \"here\", 0, \"\", \":velkora\"));"),
            "!LocalStatus: You must be in the context of a window (i.e. have a 'this') to be "
            "able to set local status.");
  EXPECT_TRUE(status_.Take().empty());
}

TEST_F(GuiScriptTest, TheRasterizerModeIsChosenByNameAndReadBack) {
  const vk2::test::ScriptCase cases[] = {
      {"return (:velkora.SetRasterizer());", "rasterizer=reference\n"},
      {"return (:velkora.SetRasterizer(\"MMX\"));", "rasterizer=mmx\n"},
      {"return (:velkora.SetRasterizer(\"\"));", "rasterizer=mmx\n"},
      {"return (:velkora.SetRasterizer(\"no such\"));", "rasterizer=mmx\n"},
      {"return (:velkora.SetRasterizer(\"pentium\"));", "rasterizer=pentium\n"},
  };
  vk2::test::CheckCases(harness_, cases);
  RefPtr<MRasterizer> rasterizer = services_.rasterizer();
  ASSERT_TRUE(rasterizer);
  rasterizer->SetModeMask(3);
  EXPECT_EQ(Answer("return (:velkora.SetRasterizer());"), "!SetRasterizer: rasterizer=unknown");
  services_.rasterizer = nullptr;
  EXPECT_EQ(harness_.Run("return (:velkora.SetRasterizer());").status, -9);
}

TEST_F(GuiScriptTest, InterfacesAreLookedUpByIdentifierWhenTheTextIsANumber) {
  AddInterfaces(u"/skins/a.zip", {u"the.third.interface", u"3"});  // identifiers 3 and 4
  EXPECT_EQ(Answer("return (:velkora.LoadInterface(\"3\"));"), "");
  EXPECT_EQ(TakeWindowCalls(), (Calls{"default 3", "reload"}));
  EXPECT_EQ(Answer("return (:velkora.LoadInterface(\"THE.THIRD.INTERFACE\"));"), "");
  EXPECT_EQ(TakeWindowCalls(), (Calls{"default 3", "reload"}));
  EXPECT_EQ(Answer("return (:velkora.LoadInterface(\"9\"));"),
            "!LoadInterface: Interface 9 not installed.");
  EXPECT_TRUE(TakeWindowCalls().empty());

  EXPECT_EQ(Answer("return (:velkora.LaunchRemote(\"4\", \"mini\"));"), "");
  EXPECT_EQ(Answer("return (:velkora.LaunchRemote(\"nope.nope.nope\", \"mini\"));"),
            "!LaunchRemote: Interface nope.nope.nope not found.");
  EXPECT_EQ(TakeWindowCalls(), (Calls{"remote 4 mini"}));
}

TEST_F(GuiScriptTest, LaunchWindowTakesADefinitionIdentifierOrATypeName) {
  AddInterfaces(u"/skins/a.zip", {u"the.third.interface"});
  const vk2::test::ScriptCase cases[] = {
      {"return (:velkora.LaunchWindow(\"3\", \"{02908D92-3B57-422C-B14A-31BC8379F04F}\", "
       "\"w1\"));",
       ""},
      {"return (:velkora.LaunchWindow(\"3\", \"Generic\", \"w2\", "
       "\"{02908D92-3B57-422C-B14A-31BC8379F04F}\"));",
       ""},
      {"return (:velkora.LaunchWindow(\"3\", \"Generic\", \"w3\", \"not a guid\"));", ""},
      {"return (:velkora.LaunchWindow(\"9\", \"Generic\", \"w4\"));",
       "!LaunchWindow: Interface 9 not found."},
  };
  vk2::test::CheckCases(harness_, cases);
  EXPECT_EQ(TakeWindowCalls(),
            (Calls{"create 3 def noclass w1 ''", "create 3 nodef class w2 'Generic'",
                   "create 3 nodef noclass w3 'Generic'"}));
  EXPECT_EQ(harness_.Run("return (:velkora.LaunchWindow(\"3\", \"Generic\"));").status, -9);
}

TEST_F(GuiScriptTest, AFailedWindowIsReportedButTheCallSucceeds) {
  vk2::test::ScriptOutcome outcome = harness_.Run("return (:velkora.LaunchAppWindow(\"nosuch\"));");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.console.find("LaunchAppWindow: failed"), std::string::npos) << outcome.console;
  outcome = harness_.Run("return (:velkora.LaunchAppWindow(\"known\"));");
  EXPECT_EQ(outcome.console.find("failed"), std::string::npos) << outcome.console;
  EXPECT_EQ(TakeWindowCalls(), (Calls{"open nosuch", "open known"}));
  services_.createWindow = [](const WindowRequest&) { return false; };
  AddInterfaces(u"/skins/a.zip", {u"the.third.interface"});
  outcome = harness_.Run("return (:velkora.LaunchWindow(\"3\", \"Generic\", \"w\"));");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.console.find("LaunchWindow: Failed"), std::string::npos) << outcome.console;
}

TEST_F(GuiScriptTest, InterfacesAreInstalledAndRemovedByIdentifierNameOrPackage) {
  const vk2::test::TempFolder& files = harness_.Files();
  std::filesystem::create_directory(files / "skins");
  const TString a = Utf16(files.Write("skins/a.zip", {}));
  const TString b = Utf16(files.Write("skins/b.zip", {}));
  AddInterfaces(a.c_str(), {u"the.third.interface", u"the.fourth.interface"});
  AddInterfaces(b.c_str(), {u"the.fifth.interface"});
  const std::string folder = files / "skins";
  const vk2::test::ScriptCase cases[] = {
      {"return (:velkora.RemoveInterface(\"4\"));", ""},
      {"return (:velkora.RemoveInterface(\"4\"));", "!RemoveInterface: Interface 4 not installed."},
      {"return (:velkora.RemoveInterface(\"The.Third.Interface\"));", ""},
      {"return (:velkora.RemoveInterface(\"the.third.interface\"));",
       "!RemoveInterface: Interface the.third.interface not installed."},
      {"return (:velkora.InstallInterface(\"\"));", "0 interfaces loaded"},
  };
  vk2::test::CheckCases(harness_, cases);
  EXPECT_EQ(
      Answer("return (:velkora.RemoveInterfacePackage(\"" + folder + "/none\"));"),
      "!RemoveInterfacePackage: Package " + folder + "/none is not registered or does not exist.");
  EXPECT_EQ(interfaces_->Count(), 1u);
  EXPECT_EQ(Answer("return (:velkora.RemoveInterfacePackage(\"" + folder + "\"));"), "");
  EXPECT_EQ(interfaces_->Count(), 0u);
}

TEST_F(GuiScriptTest, LanguagesAreChosenByNameOrIndexInTheServicesSpelling) {
  RefPtr<MLanguageService> languages = services_.languages();
  ASSERT_TRUE(languages);
  const std::string file =
      R"(<languages><language name="english"><domain name="velkora gui"><text key="a">A</text>)"
      R"(</domain></language><language name="German"><domain name="velkora gui">)"
      R"(<text key="a">B</text></domain></language></languages>)";
  ASSERT_GE(languages->LoadMemory(file.data(), file.size(), 0), 0);
  vk2::test::ScriptOutcome outcome =
      harness_.Run("return (:velkora.setlanguage(\"ENGLISH\", \"nosuch\"));");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_NE(outcome.console.find("setlanguage: (nosuch) - Not a valid language."),
            std::string::npos)
      << outcome.console;
  ASSERT_EQ(languagesSet_.size(), 1u);
  ASSERT_EQ(languagesSet_[0].Count(), 1u);
  EXPECT_EQ(languagesSet_[0][0].view(), u"english");
  EXPECT_EQ(TakeWindowCalls(), (Calls{"reload"}));

  EXPECT_EQ(Answer("return (:velkora.setlanguage(\"nosuch\"));"),
            "!setlanguage: (nosuch) - Not a valid language.");
  EXPECT_EQ(Answer("return (:velkora.setlanguage_index(2));"),
            "!setlanguage_index: Language out of range.");
  EXPECT_EQ(Answer("return (:velkora.setlanguage_index(1));"), "");
  ASSERT_EQ(languagesSet_.size(), 2u);
  EXPECT_EQ(languagesSet_[1][0].view(), u"German");
  EXPECT_EQ(harness_.Run("return (:velkora.setlanguage());").status, -9);
}

TEST_F(GuiScriptTest, KnobSettingsAndDitheringReachTheInputSettings) {
  const vk2::test::ScriptCase cases[] = {
      {"return (:velkora.SetKnobSensitivity(300));", ""},
      {"return (:velkora.GetKnobSensitivity());", "300"},
      {"return (:velkora.SetKnobRadialControl(true));", ""},
      {"return (:velkora.GetKnobRadialControl());", "true"},
      {"return (:velkora.SetKnobRadialControl(false));", ""},
      {"return (:velkora.GetKnobRadialControl());", "false"},
      {"return (:velkora.EnableDithering(true));", ""},
  };
  vk2::test::CheckCases(harness_, cases);
  EXPECT_EQ(services_.inputSettings()->IsDithering(), 1);
  EXPECT_EQ(harness_.Run("return (:velkora.GetKnobSensitivity(1));").status, -9);
}

TEST_F(GuiScriptTest, VersionsComeFromTheMediaCoreAndTakeNoArguments) {
  TString version;
  TString date;
  harness_.Core()->GetVersion(&version);
  harness_.Core()->GetBuildDate(&date);
  EXPECT_EQ(Answer("return (:velkora.GetVersion());"), Utf8(version).c_str());
  EXPECT_EQ(Answer("return (:velkora.GetBuildTime());"), Utf8(date).c_str());
  vk2::test::ScriptOutcome outcome = harness_.Run("return (:velkora.GetVersion(1));");
  EXPECT_EQ(outcome.status, -9);
  EXPECT_NE(outcome.console.find("Invalid Parameters"), std::string::npos) << outcome.console;
}

TEST_F(GuiScriptTest, ScrambleAndUnscrambleGoThroughTheCoreInTheirDirections) {
  TString expected;
  ASSERT_GE(harness_.Core()->ScrambleText(&expected, u"hello there", 0), 0);
  const std::string scrambled = Answer("return (:velkora.Scramble(\"hello there\"));");
  EXPECT_EQ(scrambled, Utf8(expected).c_str());
  EXPECT_NE(scrambled, "hello there");
  EXPECT_EQ(Answer("return (:velkora.Unscramble(\"" + scrambled + "\"));"), "hello there");
  EXPECT_EQ(Answer("return (:velkora.Unscramble(\"hello there\"));"),
            "!Unscramble: Data to unscramble was not originally scrambled.");
}

TEST_F(GuiScriptTest, EchoWritesItsFirstArgumentToTheLog) {
  vk2::test::ScriptOutcome outcome = harness_.Run("return (:velkora.echo(\"hi there\", \"x\"));");
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.console, "hi there\n");
  EXPECT_EQ(harness_.Run("return (:velkora.echo());").status, -9);
  services_.console = nullptr;
  outcome = harness_.Run("return (:velkora.echo(\"gone\"));");
  EXPECT_EQ(outcome.status, -9);
  EXPECT_EQ(("\n" + outcome.console).find("\ngone\n"), std::string::npos) << outcome.console;
}

TEST_F(GuiScriptTest, ExitClosesTheWindowsAndEndsTheLoop) {
  EXPECT_EQ(Answer("return (:velkora.Exit());"), "");
  EXPECT_EQ(Answer("return (:velkora.CompactMem());"), "");
  EXPECT_EQ(TakeWindowCalls(), (Calls{"exit"}));
}

}  // namespace
}  // namespace vk2::gui::test
