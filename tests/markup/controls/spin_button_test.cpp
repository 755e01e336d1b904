// The spin button and radial knob on the headless GUI layer: the markup configures the part,
// dragging and the wheel move the position through the window's scripts, wrapping turns the
// ends around, and a radial knob turns its image styles with the position.
#include <gtest/gtest.h>

#include "markup/controls/spin_button.h"
#include "markup/window/window_properties.h"
#include "tests/markup/controls/control_input.h"

namespace vk2::test {
namespace {

TEST(RadialKnobAngleTest, TurnsFromStartToStop) {
  struct Case {
    std::optional<int32_t> start, stop;
    double p;
    double angle;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, 0.25, 90},
      {std::nullopt, std::nullopt, 1.0, 360},
      {225, -45, 0.0, 225},
      {225, -45, 0.5, 90},
      {225, -45, 1.0, -45},
      {-135, 135, 0.5, 0},
  };
  for (const Case& c : cases) {
    EXPECT_DOUBLE_EQ(markup::RadialKnobAngle(c.start, c.stop, c.p), c.angle) << c.p;
  }
}

class SpinButtonTest : public ControlFixture {
 protected:
  void OpenSpin(const std::string& property, int32_t width = 20, int32_t height = 20) {
    Open("<window name=\"spin\" type=\"SpinButton\" offset=\"10,10," + std::to_string(10 + width) +
             "," + std::to_string(10 + height) + "\" hitstyle=\"ACTIVE\">" + property + R"(
            <script name="OnInit">changes = 0; finals = 0; lastInt = -1;</script>
            <script name="OnPosChange">changes = changes + 1; lastInt = $params[0]["int"];
                                       lastReal = $params[0]["real"];</script>
            <script name="OnPosFinalized">finals = finals + 1;</script>
          </window>)",
         100, 100);
    spin_ = dynamic_cast<markup::SpinButton*>(markup::MarkupWindow::From(Child(u"spin")));
    ASSERT_NE(spin_, nullptr);
  }
  std::string Var(const char16_t* name) { return Member(Child(u"spin"), name); }
  std::optional<int32_t> IntProperty(const char16_t* name) {
    return markup::ReadIntegerProperty(Child(u"spin"), name);
  }
  markup::SpinButton* spin_ = nullptr;
};

TEST_F(SpinButtonTest, MarkupConfiguresThePart) {
  OpenSpin(R"(<property radial="true" sensitivity="0" min_val="-5" wrap="false"/>)");
  EXPECT_EQ(IntProperty(kPropRadialKnob), 1);
  EXPECT_EQ(IntProperty(kPropKnobSensitivity), std::nullopt);  // 0 leaves the part's own
  EXPECT_EQ(IntProperty(kPropRadialStart), 0);
  EXPECT_EQ(IntProperty(kPropRadialStop), 360);
  EXPECT_EQ(IntProperty(kPropPosWrap), 0);
  EXPECT_EQ(On(u"spin", "return (GetMin());"), "-5");
  EXPECT_EQ(On(u"spin", "return (GetMax());"), "65535");
  int32_t status = 0;
  On(u"spin", "SetMin(3);", &status);  // a spinner has no range setters
  EXPECT_NE(status, 0);
}

TEST_F(SpinButtonTest, DraggingUpMovesOneStepPerSensitivity) {
  OpenSpin(R"(<property sensitivity="2" max_val="100"/>)");
  Press(20, 25);
  MoveTo(20, 5);  // 20 pixels up: 10 steps
  Release(20, 5);
  EXPECT_EQ(On(u"spin", "return (GetIntPos());"), "10");
  EXPECT_EQ(Var(u"lastInt"), "10");
  EXPECT_EQ(Var(u"lastReal"), "0.1");
  EXPECT_EQ(Var(u"finals"), "1");
  Wheel(20, 20, 3);
  EXPECT_EQ(Var(u"lastInt"), "13");
  EXPECT_EQ(Var(u"finals"), "2");
}

TEST_F(SpinButtonTest, WrapTurnsTheEndsAround) {
  for (const char* wrap : {"true", "0"}) {
    SCOPED_TRACE(wrap);
    OpenSpin(std::string("<property sensitivity=\"4\" max_val=\"10\" wrap=\"") + wrap + "\"/>");
    Press(20, 20);
    MoveTo(20, 24);  // one step down from the minimum
    Release(20, 24);
    const bool wraps = std::string(wrap) == "true";
    EXPECT_EQ(On(u"spin", "return (GetIntPos());"), wraps ? "10" : "0");
    EXPECT_EQ(Var(u"changes"), wraps ? "1" : "0");
  }
}

TEST_F(SpinButtonTest, KnobCentreAndAngleFollowTheWindowAndPosition) {
  OpenSpin(R"(<property radial="true" radialstartangle="225" radialstopangle="-45"/>)", 15, 9);
  PointI centre;
  EXPECT_EQ(spin_->KnobCentre(&centre), 0);
  EXPECT_EQ(centre.x, 7);
  EXPECT_EQ(centre.y, 4);
  EXPECT_FLOAT_EQ(spin_->KnobParameters(0.0).angle, 225.0f);
  EXPECT_FLOAT_EQ(spin_->KnobParameters(0.5).angle, 90.0f);
  EXPECT_FLOAT_EQ(spin_->KnobParameters(1.0).angle, -45.0f);
  EXPECT_FLOAT_EQ(spin_->KnobParameters(0.25).position, 0.25f);
  // The window's own angle adds to the knob's.
  On(u"spin", "SetAngle(10);");
  Step(1000);
  EXPECT_FLOAT_EQ(spin_->KnobParameters(0.0).angle, 235.0f);
}

TEST_F(SpinButtonTest, ASpinnerDoesNotTurn) {
  OpenSpin(R"(<property sensitivity="3"/>)");
  EXPECT_FLOAT_EQ(spin_->KnobParameters(0.5).angle, 0.0f);
  EXPECT_FLOAT_EQ(spin_->KnobParameters(0.5).position, 0.5f);
}

}  // namespace
}  // namespace vk2::test
