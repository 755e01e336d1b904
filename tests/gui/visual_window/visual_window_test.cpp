// The visual window's display without a window around it: the handler over the built plug-in
// folder, a fake player, the real visual control object and script engine, and preferences in
// an in-memory tree. What it draws, how it steps, how it follows its group, its script methods
// and the group state kept when it closes.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "foundation/util/guid_text.h"
#include "foundation/util/result.h"
#include "gui/visual_window/visual_display.h"
#include "gui/visual_window/visual_paint.h"
#include "gui/visual_window/visual_window_script.h"
#include "interfaces/ids.h"
#include "tests/gui/views/view_fakes.h"
#include "tests/oru/graphics/canvas/canvas_fixture.h"
#include "tests/script/script_fixture.h"
#include "tests/visual/visual_test_support.h"
#include "visual/control/visual_control.h"
#include "visual/post_effect.h"

namespace vk2::test {
namespace {

using gui::VisualDisplay;
using gui::VisualDisplayServices;
using gui::VisualWindowScriptTarget;

constexpr Guid kUnknownEffect = MakeGuid("01234567-89AB-CDEF-0123-456789ABCDEF");

std::string IdText(const Guid& id) {
  const std::string text = Narrow(FormatGuidText(id));
  return text.substr(1, text.size() - 2);
}

class VisualWindowTest : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    section = f.runtime.Registry().NewPreferences();
    ASSERT_EQ(section->OpenSection(u"velkora/gui/visualcontrol", 1), 0);
    control = VisualControl::Make(f.host.Get(), section.Get());
    ASSERT_TRUE(control);
  }
  void TearDown() override {
    displays.clear();
    control = nullptr;
    ScriptTest::TearDown();
  }

  // Loads the files and notes their ids (a visual's name is its file until it first attaches).
  void Load(std::initializer_list<const char*> files) {
    for (const char* file : files) {
      ASSERT_EQ(f.host->AddFile(Utf16(PluginPath(file))), kOk) << file;
      ids[file] = f.IdOfFile(file);
    }
  }

  VisualDisplayServices Services() {
    VisualDisplayServices s;
    s.host = RefPtr<MVisualHost>(f.host.Get());
    s.control = [this] { return static_cast<MVisualControl*>(control.Get()); };
    s.findPlayer = [this](const TString& name) {
      playersAsked.push_back(Narrow(name));
      return RefPtr<MPlayer>(f.player.Get());
    };
    s.createEffect = [this](const Guid& classId, int32_t* result) -> RefPtr<MVisualPostEffect> {
      ++effectsMade;
      if (classId != kVisualHandlerClass) {
        *result = kErrNoInterface;
        return nullptr;
      }
      *result = kOk;
      return RefPtr<MVisualPostEffect>(VisualPostEffect::Make().Get());
    };
    s.openSettings = [this](const TString& path) {
      settingsOpened.push_back(Narrow(path));
      RefPtr<MPreferenceStore> store = f.runtime.Registry().NewPreferences();
      store->OpenSection(path.c_str(), 1);
      return store;
    };
    s.repaint = [this] { ++repaints; };
    return s;
  }
  VisualDisplay& NewDisplay(const char16_t* group = u"") {
    displays.push_back(std::make_unique<VisualDisplay>(Services()));
    displays.back()->SetInitialGroup(TString(group));
    return *displays.back();
  }
  uint32_t IdOf(const std::string& file) { return ids.at(file); }

  // The value of `call` on the window's script object, or the error text it reported.
  std::string Call(MScriptObject* window, const std::string& call) {
    console_->Clear();
    std::string value;
    if (Run("return (this." + call + ");", window, &value) == 0) return value;
    const std::string all = console_->All();
    if (all.find("Invalid Parameters") != std::string::npos) return "Invalid Parameters";
    const size_t colon = all.find(": ");
    return colon == std::string::npos ? all
                                      : all.substr(colon + 2, all.find('\n', colon) - colon - 2);
  }

  HostFixture f;
  RefPtr<MPreferenceStore> section;
  RefPtr<VisualControl> control;
  std::vector<std::unique_ptr<VisualDisplay>> displays;
  std::vector<std::string> playersAsked;
  std::vector<std::string> settingsOpened;
  std::map<std::string, uint32_t> ids;
  int effectsMade = 0;
  int repaints = 0;
};

TEST_F(VisualWindowTest, OpensOnTheFirstVisualAndDrawsItsFrameOpaque) {
  VisualDisplay& empty = NewDisplay();
  empty.Open();
  Target none(8, 6);
  EXPECT_FALSE(empty.Draw(none.view)) << "no visual loaded: nothing drawn";
  EXPECT_FALSE(empty.NeedsRedraw());

  Load({"g1_recorder.vvp", "g1_probe.vvp"});
  VisualDisplay& display = NewDisplay();
  display.SetPlayerName(u"second");
  display.Open();
  EXPECT_EQ(playersAsked.back(), "second");
  EXPECT_EQ(display.GetVisualId(), IdOf("g1_recorder.vvp"));
  // Heard at the start of the third packet: the 512 frames before it make a record.
  for (int i = 0; i < 3; ++i)
    f.Feed(600);
  f.Hear(1200);
  EXPECT_TRUE(display.NeedsRedraw());
  Target target(8, 6);
  ASSERT_TRUE(display.Draw(target.view));
  // The plug-in writes 0x0010xxxx; the window's image is opaque all the same.
  EXPECT_EQ(target.At(0, 0) & 0xFFFF0000u, 0xFF100000u);
  EXPECT_EQ(target.At(7, 5) & 0xFFFF0000u, 0xFF100000u);
  display.Close();
  EXPECT_EQ(display.GetVisualId(), 0u);
  EXPECT_FALSE(display.Draw(target.view));
}

TEST_F(VisualWindowTest, PaintsTheVisualOrElseTheBackgroundAndThenTheForeground) {
  constexpr uint32_t kUnder = 0xFF123456;
  constexpr uint32_t kBackground = 0xFF0000CC;
  auto background = RefPtr<gui::test::SolidImage>(new gui::test::SolidImage(kBackground));
  gui::VisualPaintStyle style;
  style.background = background.Get();
  std::vector<uint32_t> scratch;

  VisualDisplay& display = NewDisplay();
  display.Open();
  gfx::testing::SmallCanvas empty(8, 6, kUnder);
  gui::PaintVisualWindow(empty.Get(), SizeI{8, 6}, display, style, &scratch);
  EXPECT_EQ(empty.Count(kBackground), 48) << "no visual: the background";

  Load({"g1_recorder.vvp"});
  display.Close();
  display.Open();
  for (int i = 0; i < 3; ++i)
    f.Feed(600);
  f.Hear(1200);
  gfx::testing::SmallCanvas shown(8, 6, kUnder);
  background->draws = 0;
  gui::PaintVisualWindow(shown.Get(), SizeI{8, 6}, display, style, &scratch);
  EXPECT_EQ(background->draws, 0) << "a drawn visual hides the background";
  EXPECT_EQ(shown.At(3, 3) & 0xFFFF0000u, 0xFF100000u) << std::hex << shown.At(3, 3);

  constexpr uint32_t kForeground = 0xFF00CC00;
  auto foreground = RefPtr<gui::test::SolidImage>(new gui::test::SolidImage(kForeground));
  style.foreground = foreground.Get();
  gfx::testing::SmallCanvas covered(8, 6, kUnder);
  gui::PaintVisualWindow(covered.Get(), SizeI{8, 6}, display, style, &scratch);
  EXPECT_EQ(covered.Count(kForeground), 48) << "the foreground goes on top";
}

TEST_F(VisualWindowTest, StepsWrapAroundTheLoadedVisuals) {
  Load({"g1_recorder.vvp"});
  VisualDisplay& single = NewDisplay();
  single.Open();
  const uint32_t only = single.GetVisualId();
  single.NextVisual();
  EXPECT_EQ(single.GetVisualId(), only) << "with one visual nothing changes";
  single.PreviousVisual();
  EXPECT_EQ(single.GetVisualId(), only);

  Load({"g1_probe.vvp", "rt_module.vvp"});
  const uint32_t first = IdOf("g1_recorder.vvp");
  const uint32_t second = IdOf("g1_probe.vvp");
  const uint32_t last = f.host->GetPrevId(0);
  VisualDisplay& display = NewDisplay();
  display.Open();
  struct Case {
    bool forward;
    uint32_t expected;
  };
  const Case steps[] = {
      {true, second}, {true, last}, {true, first}, {false, last}, {false, second}};
  for (const Case& step : steps) {
    const int before = repaints;
    step.forward ? display.NextVisual() : display.PreviousVisual();
    EXPECT_EQ(display.GetVisualId(), step.expected);
    EXPECT_GT(repaints, before) << "a step repaints";
  }
  EXPECT_TRUE(display.ChooseVisual(first));
  EXPECT_FALSE(display.ChooseVisual(999)) << "an unknown id changes nothing";
  EXPECT_EQ(display.GetVisualId(), first);
}

TEST_F(VisualWindowTest, GroupedWindowsFollowTheirGroupWithoutCallingBackIntoIt) {
  Load({"g1_recorder.vvp", "g1_probe.vvp", "rt_module.vvp"});
  const uint32_t first = IdOf("g1_recorder.vvp");
  const uint32_t second = IdOf("g1_probe.vvp");
  VisualDisplay& a = NewDisplay();
  VisualDisplay& b = NewDisplay(u"pair");
  VisualDisplay& loner = NewDisplay();
  // A script naming the group before the window opens: it joins once all the same.
  a.SetVisualGroup(u"pair");
  a.Open();
  b.Open();
  loner.Open();
  EXPECT_EQ(a.GetVisualId(), first);
  EXPECT_EQ(b.GetVisualId(), first);

  // A member's own choice goes to the group, which sets it on every member.
  EXPECT_TRUE(b.ChooseVisual(second));
  EXPECT_EQ(a.GetVisualId(), second);
  a.NextVisual();
  EXPECT_EQ(b.GetVisualId(), a.GetVisualId());
  EXPECT_NE(a.GetVisualId(), second);
  EXPECT_EQ(control->GroupSetVisual(u"pair", first), kOk);
  EXPECT_EQ(a.GetVisualId(), first);
  EXPECT_EQ(b.GetVisualId(), first);
  EXPECT_EQ(loner.GetVisualId(), first) << "untouched: it was on the first visual already";
  loner.NextVisual();
  EXPECT_EQ(a.GetVisualId(), first) << "a window without a group steps alone";

  // Leaving the group: the window keeps its visual and steps alone again.
  b.SetVisualGroup(u"");
  EXPECT_EQ(b.Group().IsEmpty(), true);
  control->GroupNextVisual(u"pair");
  EXPECT_EQ(a.GetVisualId(), second);
  EXPECT_EQ(b.GetVisualId(), first);
  std::vector<TString> groups;
  control->GetGroupNames(&groups);
  ASSERT_EQ(groups.size(), 1u);
  // Its only member now leaves: the group goes (so `a` was in it once).
  a.SetVisualGroup(u"");
  control->GetGroupNames(&groups);
  EXPECT_TRUE(groups.empty());
  a.SetVisualGroup(u"pair");

  // Post effects of the group reach every member and are shared.
  b.SetVisualGroup(u"pair");
  EXPECT_EQ(b.GetVisualId(), second) << "joining takes the group's visual";
  EXPECT_EQ(a.SwitchPostEffect(kVisualHandlerClass, true), kOk);
  std::vector<Guid> effects;
  b.GetPostEffects(&effects);
  EXPECT_EQ(effects, std::vector<Guid>{kVisualHandlerClass});
  EXPECT_EQ(a.SendFilterMessage(u"reloadvk1vissettings", 0), kOk);
  EXPECT_EQ(b.SwitchPostEffect(kVisualHandlerClass, false), kOk);
  a.GetPostEffects(&effects);
  EXPECT_TRUE(effects.empty());
}

TEST_F(VisualWindowTest, PostEffectsOfAWindowWithoutAGroupAreItsOwn) {
  Load({"g1_recorder.vvp"});
  VisualDisplay& display = NewDisplay();
  display.Open();
  EXPECT_EQ(display.SwitchPostEffect(kVisualHandlerClass, true), kOk);
  EXPECT_EQ(display.SwitchPostEffect(kVisualHandlerClass, true), kOk);
  std::vector<Guid> effects;
  display.GetPostEffects(&effects);
  EXPECT_EQ(effects.size(), 1u) << "enabling twice keeps one item";
  EXPECT_EQ(effectsMade, 1);
  // Its settings come from the group "default", the one the preference pane edits.
  ASSERT_EQ(settingsOpened.size(), 1u);
  EXPECT_EQ(settingsOpened[0].rfind("visuals/groups/default/", 0), 0u) << settingsOpened[0];
  EXPECT_EQ(display.SwitchPostEffect(kUnknownEffect, true), kErrNoInterface);
  display.GetPostEffects(&effects);
  EXPECT_EQ(effects.size(), 1u) << "a failed enable leaves the list as it was";
  EXPECT_EQ(display.SwitchPostEffect(kVisualHandlerClass, false), kOk);
  display.GetPostEffects(&effects);
  EXPECT_TRUE(effects.empty());
}

TEST_F(VisualWindowTest, ScriptMethodsAnswerWithTheirTexts) {
  Load({"g1_recorder.vvp", "g1_probe.vvp"});
  VisualDisplay& display = NewDisplay();
  display.Open();
  RefPtr<MScriptObject> window = MakeObject("window");
  VisualWindowScriptTarget target;
  target.display = &display;
  ASSERT_TRUE(gui::RegisterVisualWindowMethods(window.Get(), &target));
  const std::string second = std::to_string(IdOf("g1_probe.vvp"));
  const std::string first = std::to_string(IdOf("g1_recorder.vvp"));
  struct Case {
    std::string call;
    std::string answer;
  };
  const Case cases[] = {
      {"GetVisual()", first},
      {"SetVisual(" + second + ")", ""},
      {"GetVisual()", second},
      {"NextVisual()", ""},
      {"GetVisual()", first},
      {"PreviousVisual()", ""},
      {"GetVisual()", second},
      {"SetVisual()", "Invalid Parameters"},
      {"SetVisual(\"x\")", "Invalid Parameters"},
      {"NextVisual(1)", "Invalid Parameters"},
      {"GetAssociatedPlayer()", "default"},
      {"SetAssociatedPlayer(\"other\")", "default"},
      {"GetVisualGroup()", ""},
      {"EnablePostEffect(\"" + IdText(kVisualHandlerClass) + "\", 1)", ""},
      {"EnablePostEffect(\"" + IdText(kUnknownEffect) + "\", 1)",
       "Unable to enable/disable post-effect - unknown error"},
      {"EnablePostEffect(\"not an id\", 1)", "Invalid Parameters"},
      {"SetVisualGroup(\"named\")", ""},
      {"GetVisualGroup()", "named"},
      {"GetVisual.Help()", "Gets this visual display window's current visual by ID"},
      {"SetAssociatedPlayer.Help()",
       "Set the name of the player from which this visual window is getting its data"},
      {"EnablePostEffect.Help()",
       "Turns on or off a particular post filter for this visual window. The first argument is "
       "the FactoryID of the filter, the second is whether to enable or disable it."},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Call(window.Get(), c.call), c.answer) << c.call;
  // The registry's own wording comes first when it has one.
  target.errorMessage = [](int32_t) { return TString(u"No such class"); };
  display.SetVisualGroup(u"");
  EXPECT_EQ(Call(window.Get(), "EnablePostEffect(\"" + IdText(kUnknownEffect) + "\", 1)"),
            "Unable to enable/disable post-effect - No such class");
}

TEST_F(VisualWindowTest, ClosingTheLastWindowOfAGroupKeepsItsVisualAndEffects) {
  Load({"g1_recorder.vvp", "g1_probe.vvp"});
  const uint32_t second = IdOf("g1_probe.vvp");
  {
    VisualDisplay& display = NewDisplay(u"kept");
    display.Open();
    ASSERT_TRUE(display.ChooseVisual(second));
    ASSERT_EQ(display.SwitchPostEffect(kVisualHandlerClass, true), kOk);
    display.Close();
  }
  RefPtr<MPreferenceStore> stored = f.runtime.Registry().NewPreferences();
  ASSERT_EQ(stored->OpenSection(u"velkora/gui/visualcontrol/kept", 1), 0);
  TString name;
  ASSERT_GE(stored->GetString(u"VisualName", &name), 0);
  EXPECT_EQ(Narrow(name), "Probe");

  // The group forms again around a new window with what it had.
  VisualDisplay& again = NewDisplay(u"kept");
  again.Open();
  EXPECT_EQ(again.GetVisualId(), second);
  std::vector<Guid> effects;
  again.GetPostEffects(&effects);
  EXPECT_EQ(effects, std::vector<Guid>{kVisualHandlerClass});
}

}  // namespace
}  // namespace vk2::test
