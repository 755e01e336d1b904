// The markup button on the headless GUI layer: clicks, toggles and repeats reach the window's
// scripts, the script methods drive the button part, and the state styles and caption show.
#include <gtest/gtest.h>

#include <vector>

#include "component/object/query.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "interfaces/markup/widget_type.h"
#include "markup/controls/widget_type.h"
#include "tests/markup/controls/control_fixture.h"

namespace vk2::test {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00;

// "b" lies at (10,10)-(50,30) of main; its caption "A" in green at the top left, 2 x 3 pixels.
const char* const kButtons = R"(
  <window name="main" offset="0,0,100,100">
    <window name="b" type="Button" offset="10,10,50,30" hitstyle="ACTIVE">
      <property text="A" font_style="glyphs" font_color="#00FF00" font_justification="left top"
                text_offset_rect="4,2,0,0" hover="true"/>
      <imagestyle name="state0" fill="#FF0000"/>
      <imagestyle name="state1" fill="#0000FF"/>
      <script name="OnInit">clicks = 0;</script>
      <script name="OnClick">clicks = clicks + 1;</script>
    </window>
    <window name="t" type="Button" offset="10,50,50,70" hitstyle="ACTIVE">
      <property toggle="1" default_delay="0"/>
      <imagestyle name="state0" fill="#FF0000"/>
      <imagestyle name="state1" fill="#0000FF"/>
      <script name="OnInit">clicks = 0;</script>
      <script name="OnClick">clicks = clicks + 1;</script>
    </window>
    <window name="f" type="Button" offset="60,10,90,30" hitstyle="ACTIVE">
      <property hover="true" fade_duration="100"/>
      <imagestyle name="state0" fill="#FF0000"/>
      <imagestyle name="state1" fill="#0000FF"/>
    </window>
  </window>)";

class ButtonControlTest : public ControlTest {
 protected:
  void SetUp() override { Open(kButtons); }
  MButton* Part(const char16_t* name) { return QueryBorrowed<MButton>(Find(name), kIID_MButton); }
};

TEST_F(ButtonControlTest, AClickInsideFiresOnClickAndAReleaseOutsideDoesNot) {
  Click(20, 20);
  EXPECT_EQ(MemberOf(u"b", u"clicks"), "1") << ConsoleText();
  Press(20, 20);
  Move(80, 80);
  Release(80, 80);
  EXPECT_EQ(MemberOf(u"b", u"clicks"), "1");
  Press(20, 20);
  Move(80, 80);
  Move(30, 20);  // back inside before letting go
  Release(30, 20);
  EXPECT_EQ(MemberOf(u"b", u"clicks"), "2");
}

TEST_F(ButtonControlTest, HoldingRepeatsAfterTheDefaultDelayThenEveryFiftyMilliseconds) {
  ASSERT_NE(Part(u"b"), nullptr);
  EXPECT_EQ(Part(u"b")->GetRepeatDelay(), 150);
  Press(20, 20);
  for (int i = 0; i < 40; ++i)
    Step(10);  // 400 ms held: repeats at 150, 200, ..., 400
  EXPECT_EQ(MemberOf(u"b", u"clicks"), "6");
  Release(20, 20);
  EXPECT_EQ(MemberOf(u"b", u"clicks"), "7");
}

TEST_F(ButtonControlTest, AToggleFlipsItsCheckedLookOnEachClick) {
  MButton* part = Part(u"t");
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(part->GetChecked(), 0);
  EXPECT_EQ(Pixel(20, 60), kRed);
  Click(20, 60);
  EXPECT_EQ(part->GetChecked(), 1);
  EXPECT_EQ(MemberOf(u"t", u"clicks"), "1");
  Move(80, 80);
  EXPECT_EQ(Pixel(20, 60), kBlue);  // checked at rest: the second state style
  Click(20, 60);
  Move(80, 80);
  EXPECT_EQ(part->GetChecked(), 0);
  EXPECT_EQ(Pixel(20, 60), kRed);
  // Scripts check and clear a toggle through its state.
  RunOn(u"t", "SetButtonState(1, false);");
  EXPECT_EQ(part->GetChecked(), 1);
  EXPECT_EQ(RunOn(u"t", "GetButtonState();"), "1");
  EXPECT_EQ(Pixel(20, 60), kBlue);
  EXPECT_EQ(MemberOf(u"t", u"clicks"), "2");  // no click asked for
  RunOn(u"t", "SetButtonState(0, false);");
  EXPECT_EQ(RunOn(u"t", "GetButtonState();"), "0");
  EXPECT_EQ(Pixel(20, 60), kRed);
}

TEST_F(ButtonControlTest, HoverShowsTheNextStateStyleOnlyWithHoverOn) {
  EXPECT_EQ(Pixel(40, 25), kRed);
  Move(40, 25);
  EXPECT_EQ(Pixel(40, 25), kBlue);
  Move(80, 80);
  EXPECT_EQ(Pixel(40, 25), kRed);
  // The toggle has no hover.
  Move(40, 65);
  EXPECT_EQ(Pixel(40, 65), kRed);
}

TEST_F(ButtonControlTest, AFadeDurationCrossFadesTheStateStylesOnTheClock) {
  // The weights the part gives: normal, hit, hover of state0, then of state1.
  const auto weights = [this] {
    std::vector<double> w(6, -1.0);
    Find(u"f")->Query(kQueryStateWeights, reinterpret_cast<uintptr_t>(w.data()), 2, 0);
    return w;
  };
  EXPECT_EQ(Pixel(75, 20), kRed);
  Move(75, 20);  // hover: the normal red fades into the hover look, blue, over 100 ms
  EXPECT_EQ(PresentedPixel(75, 20), kRed);
  EXPECT_EQ(weights(), (std::vector<double>{1, 0, 0, 0, 0, 0}));
  Step(30);
  const uint32_t mid = Pixel(75, 20);  // 50 ms on: both styles show
  EXPECT_EQ(weights(), (std::vector<double>{0.5, 0, 0, 0, 0, 0.5}));
  EXPECT_GT((mid >> 16) & 0xFF, 0u) << std::hex << mid;
  EXPECT_GT(mid & 0xFF, 0u) << std::hex << mid;
  EXPECT_EQ((mid >> 8) & 0xFF, 0u) << std::hex << mid;
  EXPECT_NE(mid, kRed);
  EXPECT_NE(mid, kBlue);
  Step(30);
  EXPECT_EQ(Pixel(75, 20), kBlue);  // done after 100 ms: nothing of red is left
  Move(95, 95);
  Step(5);  // turning back starts from what shows, not from red
  EXPECT_EQ(weights(), (std::vector<double>{0.05, 0, 0, 0, 0, 0.95}));
  Step(100);
  EXPECT_EQ(Pixel(75, 20), kRed);
  // Without a fade duration the look changes at once.
  Move(40, 25);
  EXPECT_EQ(PresentedPixel(40, 25), kBlue);
}

TEST_F(ButtonControlTest, TheCaptionIsDrawnInItsOffsetRectangleAndHalfWhenDisabled) {
  Move(80, 80);
  // Text offset (4,2): the glyph "A" covers x 14-15, y 12-14 of main.
  EXPECT_EQ(Pixel(14, 12), kGreen);
  EXPECT_EQ(Pixel(15, 14), kGreen);
  EXPECT_EQ(Pixel(16, 12), kRed);
  EXPECT_EQ(Pixel(14, 11), kRed);
  RunOn(u"b", "SetText(\"B\");");
  EXPECT_EQ(Pixel(14, 12), kRed);  // "B" has only its middle column
  EXPECT_EQ(Pixel(15, 12), kGreen);
  RunOn(u"b", "Disable();");
  const uint32_t pixel = Pixel(15, 12);
  // Half a green glyph over half a red style.
  EXPECT_NEAR(static_cast<double>((pixel >> 8) & 0xFF), 128.0, 2.0) << std::hex << pixel;
  // The state style fades too (how far is the state-style compositor's business).
  EXPECT_LT((Pixel(30, 25) >> 24) & 0xFF, 0xFFu);
}

TEST_F(ButtonControlTest, ScriptMethodsDriveTheButtonPart) {
  int32_t status = 0;
  RunOn(u"b", "SetButtonState(3, false);", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunOn(u"b", "GetButtonState();"), "3");
  EXPECT_EQ(MemberOf(u"b", u"clicks"), "0");
  RunOn(u"b", "SetButtonState(0);");  // the flag defaults to true: a click
  EXPECT_EQ(MemberOf(u"b", u"clicks"), "1");
  ClearConsole();
  RunOn(u"b", "SetButtonState(4);", &status);
  EXPECT_NE(status, 0);
  EXPECT_NE(ConsoleText().find("Not a valid logic state: \"0\" - \"3\"."), std::string::npos)
      << ConsoleText();
  RunOn(u"b", "SetButtonState();", &status);
  EXPECT_NE(status, 0);

  EXPECT_EQ(RunOn(u"b", "GetToggle();"), "0");
  EXPECT_EQ(RunOn(u"b", "GetHover();"), "1");
  EXPECT_EQ(RunOn(u"t", "GetToggle();"), "1");
  RunOn(u"b", "SetToggle(true); SetHover(\"false\");");
  EXPECT_EQ(RunOn(u"b", "GetToggle();"), "1");
  EXPECT_EQ(RunOn(u"b", "GetHover();"), "0");
  RunOn(u"b", "SetToggle();", &status);
  EXPECT_NE(status, 0);
  RunOn(u"b", "SetText();", &status);
  EXPECT_NE(status, 0);
}

TEST_F(ButtonControlTest, AButtonWithoutDefinitionDrawsNothingOfItsOwnAndHasNoHitArea) {
  void* out = nullptr;
  ASSERT_EQ(markup::CreateWidgetTypeInstance(kButtonClass, kIID_MWidgetType, &out), 0);
  auto type = RefPtr<MWidgetType>::Adopt(static_cast<MWidgetType*>(out));
  RefPtr<MUnknown> made;
  ASSERT_EQ(type->Create(nullptr, made.Put()), 0);
  auto* window = QueryBorrowed<MWindowElement>(made.Get(), kIID_MWindowElement);
  PaintRecord record;
  EXPECT_EQ(window->Paint(nullptr, &record), 0);
  const PointI at{1, 1};
  EXPECT_EQ(window->HitCode(&at), 0);
  EXPECT_EQ(QueryBorrowed<MControl>(window, kIID_MControl)->HasNoLook(), 0);
  // Stand-alone it has SetText; aggregated ones (tested with the widget types) do not.
  RefPtr<MScriptObject> member;
  EXPECT_TRUE(ScriptOf(window)->FindMember(TString(u"SetText"), member.Put(), false));
}

}  // namespace
}  // namespace vk2::test
