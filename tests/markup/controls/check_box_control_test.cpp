// The markup check box: its mood places the check and the caption, lends state styles the
// window lacks, and it toggles with hover on by default.
#include <gtest/gtest.h>

#include "component/object/query.h"
#include "interfaces/gui/controls.h"
#include "interfaces/ids.h"
#include "markup/controls/check_box_control.h"
#include "tests/markup/controls/control_fixture.h"

namespace vk2::test {
namespace {

constexpr uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00;

const char* const kCheckBoxes = R"(
  <property name="MML_DlgCheckBoxMood" checkbox_offset="2,2,18,18" checkbox_alignment="0,0,0,0"
            text_offset="22,0,0,0" text_alignment="0,0,1,1"
            state0_imagestyle="moodoff" state1_imagestyle="moodon"/>
  <property name="half" checkbox_alignment="0,0,0.5,1" text_alignment="0.5,0.25,1,1"
            text_offset="0,0,0,oops" state0_imagestyle="moodoff" state1_imagestyle="moodon"/>
  <imagestyle name="moodoff" fill="#FF0000"/>
  <imagestyle name="moodon" fill="#0000FF"/>
  <window name="main" offset="0,0,100,100">
    <window name="c1" type="DlgCheckBox" offset="0,0,100,20" hitstyle="ACTIVE">
      <property text="A" font_style="glyphs" font_color="#00FF00"/>
      <script name="OnInit">clicks = 0;</script>
      <script name="OnClick">clicks = clicks + 1;</script>
    </window>
    <window name="c2" type="DlgCheckBox" offset="0,30,100,50">
      <property mood_property="half" hover="false"/>
      <imagestyle name="state1" fill="#00FF00"/>
    </window>
    <window name="c3" type="DlgCheckBox" offset="0,60,100,80">
      <property mood_property="none such" edge_offset_rect="1,2,3,4" text="A" font_style="glyphs"
                font_color="#00FF00"/>
    </window>
  </window>)";

class CheckBoxControlTest : public ControlTest {
 protected:
  void SetUp() override { Open(kCheckBoxes); }
  markup::CheckBoxControl* Box(const char16_t* name) {
    return markup::ControlOf<markup::CheckBoxControl>(Find(name));
  }
};

TEST_F(CheckBoxControlTest, TheMoodPlacesTheCheckAndTheCaption) {
  struct Case {
    const char16_t* name;
    RectI check;
    RectI caption;
  };
  const Case cases[] = {
      {u"c1", {2, 2, 18, 18}, {22, 0, 100, 20}},
      // A text offset that does not parse stays 0.
      {u"c2", {0, 0, 50, 20}, {50, 5, 100, 20}},
      // No mood: an empty check rectangle; the caption is the edge offset alone.
      {u"c3", {0, 0, 0, 0}, {1, 2, 3, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(TString(c.name)));
    markup::CheckBoxControl* box = Box(c.name);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->CheckRect(SizeI{100, 20}), c.check);
    EXPECT_EQ(box->CaptionRect(SizeI{100, 20}), c.caption);
  }
}

TEST_F(CheckBoxControlTest, ItTogglesWithHoverOnByDefaultAndShowsTheMoodStyles) {
  EXPECT_EQ(RunOn(u"c1", "GetToggle();"), "1");
  EXPECT_EQ(RunOn(u"c1", "GetHover();"), "1");
  EXPECT_EQ(RunOn(u"c2", "GetHover();"), "0");
  TString className;
  ScriptOf(Find(u"c1"))->GetClassName(&className);
  EXPECT_EQ(Narrow(className), "MML_Window->MML_DlgCheckbox");
  // A check box answers MButton as a button does.
  EXPECT_NE(QueryBorrowed<MButton>(Find(u"c1"), kIID_MButton), nullptr);

  Move(90, 90);
  EXPECT_EQ(Pixel(10, 10), kRed);   // unchecked, in the check rectangle
  EXPECT_EQ(Pixel(1, 1), 0u);       // outside it
  EXPECT_EQ(Pixel(22, 1), kGreen);  // the caption at the caption rectangle's top left
  Click(10, 10);
  Move(90, 90);
  EXPECT_EQ(MemberOf(u"c1", u"clicks"), "1");
  EXPECT_EQ(Pixel(10, 10), kBlue);
}

TEST_F(CheckBoxControlTest, AStyleOfTheWindowWinsOverTheMood) {
  MButton* part = QueryBorrowed<MButton>(Find(u"c2"), kIID_MButton);
  ASSERT_NE(part, nullptr);
  EXPECT_EQ(Pixel(10, 40), kRed);  // the mood's state0: the window has none
  part->SetChecked(1);
  Find(u"c2")->Invalidate(nullptr);
  EXPECT_EQ(Pixel(10, 40), kGreen);  // the window's own state1
  EXPECT_EQ(Pixel(60, 40), 0u);      // the caption half stays empty
}

TEST_F(CheckBoxControlTest, WithoutAMoodOnlyTheCaptionShowsAndCountsAsDrawn) {
  EXPECT_EQ(Pixel(1, 62), kGreen);  // "A" at the edge offset (1,2) of c3
  PaintRecord record;
  EXPECT_EQ(Find(u"c3")->Paint(nullptr, &record), 0);  // nothing to draw on
}

}  // namespace
}  // namespace vk2::test
