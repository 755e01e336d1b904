// The window script methods on the headless GUI layer with a fake clock.
#include <gtest/gtest.h>

#include <string>

#include "component/object/com_object.h"
#include "component/object/query.h"
#include "interfaces/ids.h"
#include "interfaces/prefs_dialog_provider.h"
#include "markup/package/memory_package.h"
#include "tests/markup/window/window_fixture.h"

namespace vk2::test {
namespace {

const char* const kDocument = R"(
  <window name="main" offset="0,0,200,100">
    <script name="OnIntro">intro = $params[0];</script>
    <window name="child" offset="10,10,50,50"/>
  </window>
  <window name="extra" offset="0,0,5,5"/>)";

class WindowMethodsTest : public MarkupWindowTest {
 protected:
  void SetUp() override {
    ASSERT_NE(Load(kDocument), nullptr);
    main_ = Create(u"main");
    ASSERT_NE(main_, nullptr);
    Turn();
    ASSERT_EQ(main_->ChildCount(), 1);
    child_ = RefPtr<MWindowElement>(main_->ChildAt(0));
    ClearConsole();
  }
  // Runs on the child window.
  std::string Child(const std::string& script, int32_t* status = nullptr) {
    return Run(child_.Get(), script, status);
  }
  RefPtr<MWindowElement> main_;
  RefPtr<MWindowElement> child_;
};

TEST_F(WindowMethodsTest, SetLocationTweensWithEachCurve) {
  struct Case {
    const char* curve;
    const char* halfway;  // at 150 of 300 ms, from (10, 10) to (100, 0)
  };
  const Case cases[] = {{"linear", "{55, 5}"},
                        {"linear_accel", "{33, 8}"},
                        {"linear_decel", "{78, 3}"},
                        {"linear_smooth", "{55, 5}"},
                        {"linear_bounce", ""}};
  for (const Case& c : cases) {
    Child("SetLocation({10, 10});");
    Step(1);
    ASSERT_EQ(Child("return (GetLocation());"), "{10, 10}");
    Child(std::string("SetLocation({100, 0}, 0, 300, \"") + c.curve + "\");");
    Step(0);
    EXPECT_EQ(Child("return (GetLocation());"), "{10, 10}") << c.curve;
    Step(150);
    if (*c.halfway) {
      EXPECT_EQ(Child("return (GetLocation());"), c.halfway) << c.curve;
    }
    Step(150);
    EXPECT_EQ(Child("return (GetLocation());"), "{100, 0}") << c.curve;
  }
}

TEST_F(WindowMethodsTest, ANewLocationCancelsThePendingOne) {
  Child("SetLocation({100, 0}, 100, 300);");
  Child("SetLocation({20, 30});");
  Step(1);
  Step(500);
  EXPECT_EQ(Child("return (GetLocation());"), "{20, 30}");
}

TEST_F(WindowMethodsTest, PropertyTweensStartFromOneForOpacityAndZoom) {
  EXPECT_EQ(Child("return (GetZoom());"), "1.000000");
  EXPECT_EQ(Child("return (GetAngle());"), "0.000000");
  Child("SetOpacity(0.5, 0, 500);");
  Step(0);
  Step(250);
  EXPECT_EQ(Child("return (GetOpacity());"), "0.750000");
  Step(250);
  EXPECT_EQ(Child("return (GetOpacity());"), "0.500000");
}

TEST_F(WindowMethodsTest, OffsetSidesAndTheirErrors) {
  EXPECT_EQ(Child("return (GetOffset());"), "{10, 10, 50, 50}");
  EXPECT_EQ(Child("return (GetOffset(\"TOP\"));"), "10");
  int32_t status = 0;
  Child("return (GetOffset(\"x\"));", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(ConsoleText().find("invalid parameter value; options are 'left', 'top', 'right' and "
                               "'bottom'"),
            std::string::npos)
      << ConsoleText();
  Child("SetOffset({0, 0, 20, 30});");
  Step(1);
  EXPECT_EQ(Child("return (GetSize());"), "{20, 30}");
}

TEST_F(WindowMethodsTest, FrameRateRange) {
  struct Case {
    const char* rate;
    bool accepted;
  };
  const Case cases[] = {{"0", false}, {"1", true}, {"200", true}, {"201", false}};
  for (const Case& c : cases) {
    ClearConsole();
    int32_t status = 0;
    Child(std::string("SetDesiredFPS(") + c.rate + ");", &status);
    EXPECT_EQ(ConsoleText().find("rate is out of range") == std::string::npos, c.accepted)
        << c.rate;
    if (c.accepted) {
      EXPECT_EQ(Child("return (GetDesiredFPS());"), c.rate);
    }
  }
}

TEST_F(WindowMethodsTest, ZOrderWordsAnyCase) {
  Child("SetZOrder(\"TOP\");");
  EXPECT_EQ(ConsoleText(), "");
  Child("SetZOrder(\"sideways\");");
  EXPECT_NE(ConsoleText().find("Invalid paramater value: \"sideways\""), std::string::npos)
      << ConsoleText();
}

TEST_F(WindowMethodsTest, IntroBroadcastsTheAnimationDuration) {
  PropertyValue duration;
  duration.type = kPropertyInteger;
  duration.integer = 250;
  main_->SetProperty(u"AnimationDuration", kPropertyInteger, &duration);
  Run(main_.Get(), "StartIntro();");
  EXPECT_EQ(Member(main_.Get(), u"intro"), "250");
  EXPECT_EQ(Run(main_.Get(), "return (GetAnimationDuration());"), "250");
  Run(main_.Get(), "StartIntro(40);");
  EXPECT_EQ(Member(main_.Get(), u"intro"), "40");
  int32_t status = 0;
  Run(main_.Get(), "return (GetAnimationDuration(1));", &status);
  EXPECT_NE(status, 0);
}

TEST_F(WindowMethodsTest, PostScriptRunsAfterPendingEvents) {
  Run(main_.Get(), "PostScript(\"posted = 1;\");");
  EXPECT_EQ(Member(main_.Get(), u"posted"), "<none>");
  Turn();
  EXPECT_EQ(Member(main_.Get(), u"posted"), "1");
}

TEST_F(WindowMethodsTest, ShowHideAndHoverHint) {
  Child("Hide();");
  Step(1);
  uint32_t state = 0;
  child_->GetValue(kValueStateFlags, &state, sizeof state);
  EXPECT_EQ(state & kStateVisible, 0u);
  Child("Show();");
  Step(1);
  child_->GetValue(kValueStateFlags, &state, sizeof state);
  EXPECT_NE(state & kStateVisible, 0u);
  Child("SetHoverHint(\"Tip\");");
  EXPECT_EQ(Child("return (GetHoverHint());"), "Tip");
}

TEST_F(WindowMethodsTest, CreateWindowMakesChildrenFromTheWindowsInterface) {
  EXPECT_EQ(Run(main_.Get(),
                "return (CreateWindow(\"Generic\", \"extra\", \"made\", {0, 0, 10, "
                "10}, {0, 0, 0, 0}, 1, 0, 0, 0, 1));"),
            "success");
  Step(1);
  EXPECT_EQ(main_->ChildCount(), 2);
  int32_t status = 0;
  Run(main_.Get(),
      "return (CreateWindow(\"Nope\", \"extra\", \"x\", {0, 0, 1, 1}, {0, 0, 0, 0}, 1, 0, 0, 0, "
      "1));",
      &status);
  EXPECT_NE(ConsoleText().find("Failed to find window type \"Nope\""), std::string::npos)
      << ConsoleText();
  EXPECT_EQ(Run(main_.Get(),
                "return (CreateWindow(\"Generic\", \"nowhere\", \"x\", {0, 0, 1, "
                "1}, {0, 0, 0, 0}, 1, 0, 0, 0, 1));"),
            "failed to create window; window code invalid?");
}

TEST_F(WindowMethodsTest, DestroyWindowLeavesTheScriptTreeNowAndTheWindowLater) {
  RefPtr<MScriptObject> found;
  ASSERT_TRUE(ScriptOf(main_.Get())->FindChild(TString(u"child"), found.Put()));
  Child("DestroyWindow(100);");
  found = nullptr;
  EXPECT_FALSE(ScriptOf(main_.Get())->FindChild(TString(u"child"), found.Put()));
  Step(1);
  EXPECT_EQ(main_->ChildCount(), 1);
  Step(150);
  EXPECT_EQ(main_->ChildCount(), 0);
}

TEST_F(WindowMethodsTest, RelativeTweensAddToTheCurrentValue) {
  Child("SetSize({5, 7}, 0, 0, \"linear\", 1);");
  Step(1);
  EXPECT_EQ(Child("return (GetSize());"), "{45, 47}");
  Child("SetAlignment({0, 0, 0.5, 0.5});");
  Step(1);
  EXPECT_EQ(Child("return (GetAlignment(\"right\"));"), "0.500000");
}

TEST_F(WindowMethodsTest, ArgumentErrorsAnswerWithoutActing) {
  struct Case {
    const char* script;
  };
  const Case cases[] = {{"StartDrag(\"IH_NOWHERE\", {1, 2}, \"MBUTTON_LEFT\");"},
                        {"StartSize(\"IH_LEFT\", {1, 2}, \"MBUTTON_SIDEWAYS\");"},
                        {"SetLocation();"},
                        {"SetOpacity(0.5, 0, 10, \"no_such_curve\");"},
                        {"GetHoverHint(1);"}};
  for (const Case& c : cases) {
    int32_t status = 0;
    Child(c.script, &status);
    EXPECT_NE(status, 0) << c.script;
  }
  int32_t status = -1;
  Child("StartDrag(\"IH_DRAG\", {1, 2}, \"MBUTTON_LEFT\");", &status);
  EXPECT_EQ(status, 0);
}

TEST_F(WindowMethodsTest, AChildDestroyedByTheGuiLeavesItsParentsScriptObject) {
  child_->DestroyWindow();
  RefPtr<MScriptObject> found;
  EXPECT_FALSE(ScriptOf(main_.Get())->FindChild(TString(u"child"), found.Put()));
}

TEST_F(WindowMethodsTest, DestroyWindowWithoutANumberDestroysNow) {
  Child("DestroyWindow(\"soon\");");
  Step(1);
  EXPECT_EQ(main_->ChildCount(), 0);
}

// A module's preference pane: a dialog document in an in-memory package.
class DialogProvider final
    : public ComObject<DialogProvider, Face<MPrefsDialogProvider, kIID_MPrefsDialogProvider>> {
 public:
  bool GetPane(PrefsPaneRecord* pane) override {
    if (!package) return false;
    pane->archive = static_cast<MResourceFile*>(package.Get());
    pane->archive->AddRef();
    pane->resourceName = u"dlgs.xml";
    pane->interfaceName = u"pane";
    return true;
  }
  RefPtr<markup::MemoryPackage> package;
};

constexpr Guid kTestFactory = MakeGuid("1D2C3B4A-0000-4000-8000-00000000F00D");

TEST_F(WindowMethodsTest, CreateWindowFromAFactorysDialog) {
  const std::string create =
      "return (CreateWindow(\"Generic\", \"panel\", \"p\", {0, 0, 10, 10}, {0, 0, 0, 0}, 1, 0, "
      "0, 0, 1, \"1D2C3B4A-0000-4000-8000-00000000F00D\"));";
  EXPECT_EQ(Run(main_.Get(), create), "Factory ID specified refers to a non-existant factory");

  RefPtr<DialogProvider> provider(new DialogProvider);
  ServeTestClass(kTestFactory, static_cast<MPrefsDialogProvider*>(provider.Get()));
  EXPECT_EQ(Run(main_.Get(), create), "module returned an error while trying to get dialog source");

  provider->package =
      markup::MemoryPackage::Make({{"dlgs.xml", Duv(R"(<window name="panel" offset="0,0,8,8">
                               <script name="OnInit">made = 1;</script>
                             </window>)",
                                                    "unique_name=\"pane\"")}});
  EXPECT_EQ(Run(main_.Get(), create), "success");
  Step(1);
  ASSERT_EQ(main_->ChildCount(), 2);
  EXPECT_EQ(Member(main_->ChildAt(1), u"made"), "1");

  ClearConsole();
  provider->package = markup::MemoryPackage::Make({{"dlgs.xml", Duv("", "unique_name=\"other\"")}});
  int32_t status = 0;
  Run(main_.Get(), create, &status);
  EXPECT_NE(ConsoleText().find("No dialog called 'pane' was found in the provided resource"),
            std::string::npos)
      << ConsoleText();
}

}  // namespace
}  // namespace vk2::test
