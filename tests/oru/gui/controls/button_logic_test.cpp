#include "oru/gui/controls/button_logic.h"

#include <gtest/gtest.h>

namespace vk2::test {
namespace {

TEST(ButtonLogicTest, PressDragAndReleaseWalkTheFourStates) {
  ButtonLogic button;
  button.SetHover(true);
  EXPECT_TRUE(button.PointerEnter().stateChanged);
  EXPECT_EQ(button.State(), kButtonHover);
  button.Press(0);
  EXPECT_EQ(button.State(), kButtonPressed);
  EXPECT_TRUE(button.Drag(false).stateChanged);
  EXPECT_EQ(button.State(), kButtonPressedOutside);
  button.Drag(true);
  EXPECT_EQ(button.State(), kButtonPressed);
  const ButtonOutcome released = button.Release(true);
  EXPECT_TRUE(released.clicked);
  EXPECT_EQ(button.State(), kButtonHover);
  button.PointerLeave();
  EXPECT_EQ(button.State(), kButtonNormal);

  button.Press(0);
  button.Drag(false);
  EXPECT_FALSE(button.Release(false).clicked);  // let go outside: no click
  EXPECT_EQ(button.State(), kButtonNormal);
}

TEST(ButtonLogicTest, WithoutHoverThePointerLeavesTheStateAlone) {
  ButtonLogic button;
  EXPECT_FALSE(button.PointerEnter().stateChanged);
  EXPECT_EQ(button.State(), kButtonNormal);
  button.Press(0);
  button.Release(true);
  EXPECT_EQ(button.State(), kButtonNormal);
}

TEST(ButtonLogicTest, ToggleFlipsOnEachClickAndShowsPressedWhileChecked) {
  ButtonLogic button;
  button.SetToggle(true);
  button.SetStateCount(3);
  button.Press(0);
  EXPECT_TRUE(button.Release(true).toggled);
  EXPECT_TRUE(button.Checked());
  EXPECT_EQ(button.VisualState(), kButtonPressed);
  button.Press(0);
  button.Release(true);
  EXPECT_FALSE(button.Checked());
  EXPECT_EQ(button.VisualState(), kButtonNormal);
  button.Press(0);
  button.Release(false);
  EXPECT_FALSE(button.Checked());
}

TEST(ButtonLogicTest, TheLookShownStaysBelowTheStateCount) {
  struct Case {
    int32_t state, count, look;
  };
  const Case cases[] = {{kButtonPressed, 3, 2},
                        {kButtonPressed, 2, 1},
                        {kButtonHover, 1, 0},
                        {kButtonPressedOutside, 4, 0},
                        {kButtonHover, 0, 0}};
  for (const Case& c : cases) {
    ButtonLogic button;
    button.SetStateCount(c.count);
    button.SetState(c.state);
    EXPECT_EQ(button.VisualState(), c.look) << c.state << " of " << c.count;
  }
  ButtonLogic button;
  EXPECT_FALSE(button.SetState(4).stateChanged);
  EXPECT_EQ(button.State(), kButtonNormal);
}

TEST(ButtonLogicTest, AHeldButtonRepeatsAfterItsDelayThenEveryInterval) {
  ButtonLogic button;
  button.SetRepeatDelay(kDefaultRepeatDelayMs);
  button.Press(1000);
  EXPECT_FALSE(button.Tick(1149).clicked);
  EXPECT_EQ(button.NextRepeatMs(), 1150u);
  EXPECT_TRUE(button.Tick(1150).clicked);
  EXPECT_EQ(button.NextRepeatMs(), 1200u);
  EXPECT_FALSE(button.Tick(1199).clicked);
  EXPECT_TRUE(button.Tick(1200).clicked);
  button.Drag(false);  // outside: the repeat pauses
  EXPECT_FALSE(button.Tick(1250).clicked);
  button.Drag(true);
  EXPECT_TRUE(button.Tick(1260).clicked);
  EXPECT_EQ(button.NextRepeatMs(), 1300u);
  // The release ends the press with its own click; the repeat stops.
  EXPECT_TRUE(button.Release(true).clicked);
  EXPECT_EQ(button.NextRepeatMs(), 0u);
  EXPECT_FALSE(button.Tick(5000).clicked);

  ButtonLogic plain;  // no delay: no repeat, one click on release
  plain.Press(0);
  EXPECT_FALSE(plain.Tick(10'000).clicked);
  EXPECT_TRUE(plain.Release(true).clicked);
}

TEST(ButtonLogicTest, ALostPressEndsWithoutAClick) {
  ButtonLogic button;
  button.SetRepeatDelay(100);
  button.Press(0);
  EXPECT_TRUE(button.Cancel().stateChanged);
  EXPECT_EQ(button.State(), kButtonNormal);
  EXPECT_FALSE(button.Tick(500).clicked);
  EXPECT_FALSE(button.Release(true).clicked);
}

}  // namespace
}  // namespace vk2::test
