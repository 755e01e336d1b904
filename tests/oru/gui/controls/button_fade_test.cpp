#include "oru/gui/controls/button_fade.h"

#include <gtest/gtest.h>

#include <vector>

namespace vk2::test {
namespace {

std::vector<double> WeightsAt(const ButtonFade& fade, uint64_t nowMs, int32_t looks) {
  std::vector<double> weights(static_cast<size_t>(looks) * 3, -1.0);
  fade.Weights(nowMs, weights.data(), looks);
  return weights;
}

TEST(ButtonFadeTest, ANewLookFadesInOverTheDurationWhileTheOldFadesOut) {
  ButtonFade fade;
  fade.Aim(2, 0, kPointerLookNormal, 1000, 100);  // the first look shows at once
  EXPECT_EQ(WeightsAt(fade, 1000, 2), (std::vector<double>{1, 0, 0, 0, 0, 0}));
  EXPECT_FALSE(fade.Fading(1000));

  fade.Aim(2, 0, kPointerLookHover, 1000, 100);
  struct Case {
    uint64_t at;
    double normal, hover;
  };
  const Case cases[] = {
      {1000, 1.0, 0.0}, {1025, 0.75, 0.25}, {1050, 0.5, 0.5}, {1100, 0.0, 1.0}, {5000, 0.0, 1.0}};
  for (const Case& c : cases) {
    const std::vector<double> w = WeightsAt(fade, c.at, 2);
    EXPECT_DOUBLE_EQ(w[0], c.normal) << c.at;
    EXPECT_DOUBLE_EQ(w[2], c.hover) << c.at;
    EXPECT_DOUBLE_EQ(w[1] + w[3] + w[4] + w[5], 0.0) << c.at;
  }
  EXPECT_TRUE(fade.Fading(1099));
  EXPECT_FALSE(fade.Fading(1100));
}

TEST(ButtonFadeTest, TurningBackMidFadeStartsFromTheMixShownNotFromTheEnd) {
  ButtonFade fade;
  fade.Aim(2, 0, kPointerLookNormal, 0, 100);
  fade.Aim(2, 1, kPointerLookNormal, 0, 100);
  fade.Aim(2, 1, kPointerLookNormal, 40, 100);  // the same target again: the fade goes on
  fade.Aim(2, 0, kPointerLookHit, 60, 100);     // at 60: 0.4 of look 0, 0.6 of look 1
  const std::vector<double> w = WeightsAt(fade, 110, 2);
  EXPECT_NEAR(w[0], 0.2, 1e-9);
  EXPECT_NEAR(w[1], 0.5, 1e-9);
  EXPECT_NEAR(w[3], 0.3, 1e-9);
  EXPECT_NEAR(w[0] + w[1] + w[3], 1.0, 1e-9);
}

TEST(ButtonFadeTest, NoDurationOrANewNumberOfLooksShowsTheTargetAtOnce) {
  ButtonFade fade;
  fade.Aim(3, 0, kPointerLookNormal, 0, 0);
  fade.Aim(3, 2, kPointerLookNormal, 10, 0);
  EXPECT_EQ(WeightsAt(fade, 10, 3)[6], 1.0);
  fade.Aim(2, 1, kPointerLookHover, 20, 100);  // looks changed: nothing to fade from
  EXPECT_EQ(WeightsAt(fade, 20, 2), (std::vector<double>{0, 0, 0, 0, 0, 1}));
  fade.Aim(2, 7, kPointerLookNormal, 30, 0);  // a look past the last is the last
  EXPECT_EQ(WeightsAt(fade, 30, 2)[3], 1.0);
  fade.Aim(0, 0, kPointerLookNormal, 40, 100);  // no looks: no weights
  EXPECT_EQ(WeightsAt(fade, 40, 1), (std::vector<double>{0, 0, 0}));
}

}  // namespace
}  // namespace vk2::test
