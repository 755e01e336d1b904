#include <gtest/gtest.h>

#include <cmath>

#include "oru/gui/controls/knob_geometry.h"
#include "oru/gui/controls/position_model.h"
#include "oru/gui/controls/scroll_geometry.h"

namespace vk2::test {
namespace {

TEST(PositionModelTest, IntegerAndRelativePositionsAgree) {
  PositionModel model;
  model.SetRange(10, 20);
  EXPECT_TRUE(model.SetRealPos(0.5));
  EXPECT_EQ(model.IntPos(), 15);
  EXPECT_DOUBLE_EQ(model.RealPos(), 0.5);
  EXPECT_TRUE(model.SetRealPos(0.34));  // 13.4 rounds to 13
  EXPECT_EQ(model.IntPos(), 13);
  EXPECT_FALSE(model.SetIntPos(13));
  model.SetIntPos(99);
  EXPECT_EQ(model.IntPos(), 20);
  model.SetRealPos(std::nan(""));
  EXPECT_EQ(model.IntPos(), 10);
  model.SetRange(12, 14);  // the position is brought into the new range
  EXPECT_EQ(model.IntPos(), 12);

  PositionModel reversed;  // maximum below minimum: 0.0 is the minimum still
  reversed.SetRange(100, 0);
  reversed.SetRealPos(0.25);
  EXPECT_EQ(reversed.IntPos(), 75);
  EXPECT_DOUBLE_EQ(reversed.RealPos(), 0.25);

  PositionModel flat;
  flat.SetRange(5, 5);
  flat.SetRealPos(0.7);
  EXPECT_EQ(flat.IntPos(), 5);
  EXPECT_EQ(flat.RealPos(), 0.0);
}

TEST(PositionModelTest, StepsStopAtTheEndsOrWrap) {
  PositionModel model;
  model.SetRange(0, 9);
  model.SetIntPos(8);
  EXPECT_EQ(model.Stepped(3), 9);
  model.SetWrap(true);
  EXPECT_EQ(model.Stepped(3), 1);
  EXPECT_EQ(model.Stepped(-9), 9);
  EXPECT_EQ(model.Stepped(-30), 8);
}

TEST(KnobGeometryTest, ThePointerAngleGivesTheFraction) {
  const KnobAngles angles;  // -135 to 135 degrees, clockwise from up
  struct Case {
    double dx, dy, fraction;
  };
  const Case cases[] = {
      {0, -10, 0.5},                     // straight up: the middle
      {10, 0, 0.8333},                   // right: 90 degrees
      {-10, 0, 0.1667}, {-10, 10, 0.0},  // -135: the start
      {1, 10, 1.0},                      // just right of straight down: in the gap, nearer the end
      {-1, 10, 0.0},                     // just left: nearer the start
      {0, 0, 0.0},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(KnobFractionAt(c.dx, c.dy, angles), c.fraction, 1e-3) << c.dx << "," << c.dy;
  }
  EXPECT_DOUBLE_EQ(KnobAngleFor(0.5, angles), 0.0);
  EXPECT_DOUBLE_EQ(KnobAngleFor(2.0, angles), 135.0);
  const KnobAngles fullTurn{0, 0};
  EXPECT_NEAR(KnobFractionAt(0, 10, fullTurn), 0.5, 1e-9);
  EXPECT_EQ(LinearKnobSteps(-25, 5), 5);  // dragged up
  EXPECT_EQ(LinearKnobSteps(12, 5), -2);
  EXPECT_EQ(LinearKnobSteps(3, 0), -3);  // no sensitivity: a pixel a step
}

TEST(ScrollGeometryTest, ThumbSizeAndPlaceFollowThePageAndPosition) {
  ScrollGeometry bar{16, 200, 1000, 100, 8};
  EXPECT_EQ(bar.MaxPosition(), 900);
  EXPECT_EQ(bar.ThumbLength(), 20);
  EXPECT_EQ(bar.ThumbStart(0), 16);
  EXPECT_EQ(bar.ThumbStart(900), 196);
  EXPECT_EQ(bar.ThumbStart(450), 106);
  EXPECT_EQ(bar.PositionForThumbAt(106), 450);
  EXPECT_EQ(bar.PositionForThumbAt(-50), 0);
  EXPECT_EQ(bar.PositionForThumbAt(1000), 900);
  EXPECT_EQ(bar.HitAt(20, 450), ScrollHit::kBefore);
  EXPECT_EQ(bar.HitAt(110, 450), ScrollHit::kThumb);
  EXPECT_EQ(bar.HitAt(130, 450), ScrollHit::kAfter);
  EXPECT_EQ(bar.HitAt(5, 450), ScrollHit::kNone);

  ScrollGeometry longList{0, 100, 100000, 10, 8};
  EXPECT_EQ(longList.ThumbLength(), 8);  // never below the minimum
  ScrollGeometry allShown{0, 100, 5, 10, 8};
  EXPECT_EQ(allShown.ThumbLength(), 100);
  EXPECT_EQ(allShown.PositionForThumbAt(50), 0);
}

}  // namespace
}  // namespace vk2::test
