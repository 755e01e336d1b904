// Tween curves, colour blending and the script name tables.
#include <gtest/gtest.h>

#include "markup/tween/tween.h"

namespace vk2::tween {
namespace {

int32_t One(TweenCurve curve, int32_t start, int32_t target, double t) {
  int32_t out = 0;
  curve(&out, &start, &target, 1, t);
  return out;
}

TEST(TweenTest, CurvesGiveTheirValuesAndHitBothEnds) {
  struct Case {
    TweenCurve curve;
    int32_t start, target;
    double t;
    int32_t expected;
  } cases[] = {
      {&TweenLinear, 0, 10, 0.25, 3},  {&TweenLinear, 10, 0, 0.25, 8},
      {&TweenAccel, 0, 100, 0.5, 25},  {&TweenDecel, 0, 100, 0.5, 75},
      {&TweenSmooth, 0, 100, 0.5, 50}, {&TweenLinear, -5, 5, 0.5, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(One(c.curve, c.start, c.target, c.t), c.expected);
  for (const NamedCurve& named : TweenCurveNames()) {
    SCOPED_TRACE(named.name);
    EXPECT_EQ(One(named.curve, 40, 400, 0.0), 40);
    EXPECT_EQ(One(named.curve, 40, 400, 1.0), 400);
    EXPECT_EQ(One(named.curve, 400, 40, 1.0), 40);
  }
}

TEST(TweenTest, BounceFallsToTheTargetAndBouncesBackBeforeResting) {
  // From 0 to 1000: it reaches the target early, leaves it again and ends exactly there.
  bool reached = false, leftAgain = false;
  for (int32_t step = 0; step <= 100; ++step) {
    int32_t v = One(&TweenBounce, 0, 1000, step / 100.0);
    EXPECT_GE(v, 0);
    EXPECT_LE(v, 1000);
    if (v >= 970) reached = true;
    if (reached && v < 900) leftAgain = true;
  }
  EXPECT_TRUE(reached);
  EXPECT_TRUE(leftAgain);
  // Past the table: still the target.
  EXPECT_EQ(One(&TweenBounce, 0, 1000, 1.7), 1000);
}

TEST(TweenTest, ArraysAreTweenedElementByElement) {
  const int32_t start[3] = {0, 100, -50};
  const int32_t target[3] = {10, 0, 50};
  int32_t out[3] = {};
  TweenLinear(out, start, target, 3, 0.5);
  EXPECT_EQ(out[0], 5);
  // Between the ends a falling value rounds toward the start: 100 + trunc(-50 + 0.5).
  EXPECT_EQ(out[1], 51);
  EXPECT_EQ(out[2], 0);
}

TEST(TweenTest, LerpArgbMixesEachChannel) {
  EXPECT_EQ(LerpArgb(0.5, 0xFFFFFFFF, 0xFF000000), 0xFF7F7F7Fu);
  EXPECT_EQ(LerpArgb(0.0, 0x12345678, 0x9ABCDEF0), 0x9ABCDEF0u);
  EXPECT_EQ(LerpArgb(1.0, 0x12345678, 0x9ABCDEF0), 0x12345678u);
}

TEST(TweenTest, NameTablesAcceptTheHelpTextPrefix) {
  uint32_t code = 0;
  EXPECT_TRUE(FindNamedCode(DragWords(), u"drag", &code));
  EXPECT_EQ(code, 0x3000u);
  EXPECT_TRUE(FindNamedCode(SizeWords(), u"IH_BOTTOMLEFT", &code));
  EXPECT_EQ(code, 0xE000u);
  EXPECT_TRUE(FindNamedCode(MouseButtonWords(), u"MBUTTON_RIGHT", &code));
  EXPECT_EQ(code, 2u);
  EXPECT_FALSE(FindNamedCode(SizeWords(), u"IH_", &code));
  EXPECT_FALSE(FindNamedCode(DragWords(), u"DRAGZ", &code));
  EXPECT_EQ(FindTweenCurve(u"LINEAR_SMOOTH"), &TweenSmooth);
  EXPECT_EQ(FindTweenCurve(u"wobble"), nullptr);
}

}  // namespace
}  // namespace vk2::tween
