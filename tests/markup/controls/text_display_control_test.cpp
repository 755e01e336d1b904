// The markup text display: it measures its text with the raster font, scrolls when the text
// does not fit (wrapping or back and forth, after a pause) and draws half-faded when disabled.
#include <gtest/gtest.h>

#include "interfaces/ids.h"
#include "markup/controls/text_display_control.h"
#include "tests/markup/controls/control_fixture.h"

namespace vk2::test {
namespace {

using markup::TextDisplayControl;

constexpr uint32_t kGreen = 0xFF00FF00;

// "AB" is 5 pixels wide ("A" columns 0-1, "B" its middle column 3), 3 high from row 0.
const char* const kDisplays = R"(
  <window name="main" offset="0,0,100,100">
    <window name="fit" type="TextDisplay" offset="0,0,10,3">
      <property text="AB" font_style="glyphs" font_color="#00FF00" scroll_mode="horizontal"/>
    </window>
    <window name="wrap" type="TextDisplay" offset="0,10,4,13">
      <property text="AB" font_style="glyphs" font_color="#00FF00" scroll_mode="horizontal"
                whitespace="3"/>
    </window>
    <window name="back" type="TextDisplay" offset="0,20,4,23">
      <property text="AB" font_style="glyphs" scroll_mode="horizontal pingpong reverse"
                scroll_speed="0" pause_delay="100"/>
    </window>
    <window name="still" type="TextDisplay" offset="0,30,4,33">
      <property text="AB" font_style="glyphs" font_color="#00FF00"/>
    </window>
  </window>)";

class TextDisplayControlTest : public ControlTest {
 protected:
  void SetUp() override { Open(kDisplays); }
  TextDisplayControl* Display(const char16_t* name) {
    return markup::ControlOf<TextDisplayControl>(Find(name));
  }
  // Steps the clock in frames of 20 ms to `ms` after the current run of `name` started.
  void StepToRunTime(const char16_t* name, uint64_t ms) {
    const uint64_t at = Display(name)->State().runStartMs + ms;
    ASSERT_GE(at, clock_.NowMs());
    while (clock_.NowMs() + 20 <= at)
      Step(20);
    if (clock_.NowMs() < at) Step(at - clock_.NowMs());
  }
  // Row 11 of the wrap display, as '#' for green and '.' for anything else.
  std::string WrapRow() {
    std::string row;
    for (int32_t x = 0; x < 4; ++x)
      row += PresentedPixel(x, 11) == kGreen ? '#' : '.';
    return row;
  }
};

TEST(ScrollOffsetTest, FollowsTheRunKindAndTheSpeed) {
  struct Case {
    int32_t kind;
    int64_t elapsed, total;
    int32_t speed;
    uint32_t extent;
    int32_t offset;
  };
  const Case cases[] = {
      {markup::kRunForward, 55, 100, 10, 0, 5},   {markup::kRunBackward, 30, 100, 10, 0, 7},
      {markup::kRunWrap, 95, 100, 10, 8, 1},      {markup::kRunWrap, 95, 100, 10, 0, 9},
      {markup::kRunForward, 50, 100, -10, 0, -5}, {markup::kRunNone, 50, 100, 10, 0, 0},
      {markup::kRunForward, 50, 100, 0, 0, 50},
  };
  for (const Case& c : cases)
    EXPECT_EQ(markup::ScrollOffset(c.kind, c.elapsed, c.total, c.speed, c.extent), c.offset)
        << c.kind << " " << c.elapsed << " " << c.speed;
}

TEST_F(TextDisplayControlTest, AFittingTextNeverScrolls) {
  const TextDisplayControl::Snapshot state = Display(u"fit")->State();
  EXPECT_EQ(state.extent, 5u);
  EXPECT_FALSE(state.needsScroll);
  EXPECT_EQ(state.runKind, markup::kRunNone);
  EXPECT_EQ(state.restarts, 0);
  EXPECT_EQ(PresentedPixel(0, 1), kGreen);
}

TEST_F(TextDisplayControlTest, WrapDrawsASecondCopyOneExtentFurther) {
  const TextDisplayControl::Snapshot state = Display(u"wrap")->State();
  EXPECT_TRUE(state.needsScroll);
  EXPECT_EQ(state.extent, 8u);  // 5 of text and 3 of white space
  EXPECT_EQ(state.runKind, markup::kRunWrap);
  EXPECT_EQ(state.runTotalMs, 80);  // 8 pixels at 10 ms each
  StepToRunTime(u"wrap", 20);
  EXPECT_EQ(WrapRow(), ".#..");  // "AB" moved 2 to the left: only B's column shows
  StepToRunTime(u"wrap", 40);
  EXPECT_EQ(WrapRow(), "....");  // the white space
  StepToRunTime(u"wrap", 60);
  EXPECT_EQ(WrapRow(), "..##");  // the second copy's "A" follows the white space
  // The run's end starts the next wrap run.
  const int32_t restarts = Display(u"wrap")->State().restarts;
  StepToRunTime(u"wrap", 100);
  EXPECT_EQ(Display(u"wrap")->State().restarts, restarts + 1);
  EXPECT_EQ(Display(u"wrap")->State().runKind, markup::kRunWrap);
}

TEST_F(TextDisplayControlTest, PingPongReverseStartsBackwardsAndSpeedZeroIsOneMillisecond) {
  TextDisplayControl::Snapshot state = Display(u"back")->State();
  EXPECT_EQ(state.runKind, markup::kRunBackward);
  EXPECT_EQ(state.speed, 1);
  EXPECT_EQ(state.runTotalMs, 1);  // the 1 pixel that does not fit, at 1 ms
  StepToRunTime(u"back", 10);
  state = Display(u"back")->State();
  EXPECT_EQ(state.runKind, markup::kRunForward);
}

TEST_F(TextDisplayControlTest, SettingTheSameTextAgainDoesNotRestart) {
  const int32_t restarts = Display(u"wrap")->State().restarts;
  RunOn(u"wrap", "SetText(\"AB\");");
  EXPECT_EQ(Display(u"wrap")->State().restarts, restarts);
  RunOn(u"wrap", "SetText(\"BA\");");
  EXPECT_EQ(Display(u"wrap")->State().restarts, restarts + 1);
  RunOn(u"fit", "SetText(\"A\");");
  EXPECT_EQ(Display(u"fit")->State().restarts, 0);
  int32_t status = 0;
  RunOn(u"fit", "SetText();", &status);
  EXPECT_NE(status, 0);
}

TEST_F(TextDisplayControlTest, ShrinkingStartsTheFirstRunHalfASecondAndThePauseLater) {
  MWindowElement* fit = Find(u"fit");
  const SizeI smaller{4, 3};
  fit->SetValue(kValueSize, &smaller, sizeof smaller);
  Step(20);
  const TextDisplayControl::Snapshot state = Display(u"fit")->State();
  EXPECT_TRUE(state.needsScroll);
  EXPECT_EQ(state.runKind, markup::kRunWrap);
  // Painted at the step's time; the wrap run waits 500 ms (no pause given).
  EXPECT_GE(state.runStartMs, clock_.NowMs() + 480);
  EXPECT_LE(state.runStartMs, clock_.NowMs() + 500);
}

TEST_F(TextDisplayControlTest, ADisabledDisplayDrawsItsTextAtHalfOpacity) {
  EXPECT_EQ(Pixel(0, 31), kGreen);
  RunOn(u"still", "Disable();");
  const uint32_t pixel = Pixel(0, 31);
  EXPECT_NEAR(static_cast<double>(pixel >> 24), 128.0, 1.0) << std::hex << pixel;
}

}  // namespace
}  // namespace vk2::test
