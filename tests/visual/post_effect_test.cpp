// The post effect's settings (ranges, preference section, reload) and what each step does to
// the pixels of a small surface.
#include <gtest/gtest.h>

#include <vector>

#include "foundation/util/result.h"
#include "tests/fixtures/audio/test_registry.h"
#include "visual/pixel_filters.h"
#include "visual/post_effect.h"

namespace vk2::test {
namespace {

struct Surface {
  Surface(int32_t w, int32_t h, uint32_t fill = 0) : pixels(static_cast<size_t>(w) * h, fill) {
    view.bits = reinterpret_cast<uint8_t*>(pixels.data());
    view.width = w;
    view.height = h;
    view.strideBytes = w * 4;
  }
  uint32_t& At(int32_t x, int32_t y) { return pixels[static_cast<size_t>(y) * view.width + x]; }
  std::vector<uint32_t> pixels;
  SurfaceView view;
};

TEST(VisualPixelFilters, Fade) {
  struct Case {
    int32_t strength;
    uint32_t in;
    uint32_t out;
  };
  const Case cases[] = {
      {7, 0x00804020u, 0x00402010u},  // half of each channel
      {1, 0x00FF8001u, 0x00FE7F00u},  // one step at the weakest, down to black
      {3, 0x00000000u, 0x00000000u},
  };
  for (const Case& c : cases) {
    Surface s(2, 1, c.in);
    FadePixels(s.view, c.strength);
    EXPECT_EQ(s.At(1, 0), c.out) << c.strength;
  }
}

TEST(VisualPixelFilters, BlurSpreadsAPointOverItsNeighbours) {
  Surface s(3, 3);
  s.At(1, 1) = 0x00900000u;
  BlurPixels(s.view);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 3; ++x)
      EXPECT_EQ(s.At(x, y), 0x00100000u) << x << "," << y;
  }
}

TEST(VisualPixelFilters, SmokeMovesRowsAwayFromTheCentreLine) {
  Surface s(3, 4);
  // A bright row just above and just below the middle.
  for (int32_t x = 0; x < 3; ++x) {
    s.At(x, 1) = 0x00000080u;
    s.At(x, 2) = 0x00008000u;
  }
  SmokePixels(s.view, 0, 2, true);
  SmokePixels(s.view, 2, 4, false);
  EXPECT_EQ(s.At(1, 0), 0x00000080u) << "moved up";
  EXPECT_EQ(s.At(1, 1), 0x00000080u) << "the source row keeps its place in the upper half";
  EXPECT_EQ(s.At(1, 3), 0x00008000u) << "moved down";
}

TEST(VisualPixelFilters, ZoomOutwardsAndInwards) {
  Surface out(4, 4);
  out.At(1, 1) = 0x00FFFFFFu;
  ZoomPixels(out.view, 256.0);  // twice the size: the pixel near the centre covers more
  int lit = 0;
  for (uint32_t p : out.pixels)
    lit += p != 0;
  EXPECT_GT(lit, 1);
  Surface in(4, 4, 0x00FFFFFFu);
  ZoomPixels(in.view, -128.0);  // half the size: the border comes from outside and is black
  EXPECT_EQ(in.At(0, 0), 0u);
  EXPECT_EQ(in.At(2, 2), 0x00FFFFFFu);
}

TEST(VisualPostEffect, SettingsRangesAndDescription) {
  TestRegistry registry;
  RefPtr<VisualPostEffect> effect = VisualPostEffect::Make();
  double fade = 0;
  ASSERT_EQ(effect->GetNumber(u"fade", &fade), kOk);
  EXPECT_DOUBLE_EQ(fade, 4.0 / 7.0);
  EXPECT_EQ(effect->SetNumber(u"fade", 1.5), kErrOutOfRange);
  EXPECT_EQ(effect->SetNumber(u"zoom", -1.01), kErrOutOfRange);
  EXPECT_EQ(effect->SetNumber(u"FADE", 0.25), kOk) << "names without regard to case";
  EXPECT_EQ(effect->GetNumber(u"fade", &fade), kOk);
  EXPECT_DOUBLE_EQ(fade, 0.25);
  EXPECT_EQ(effect->SetNumber(u"size", 1), kErrNotFound);
  EXPECT_EQ(effect->SetString(u"modulename", u"x"), kErrNotFound);
  int32_t cumulative = 0;
  EXPECT_EQ(effect->GetInteger(u"iscumulative", &cumulative), kOk);
  EXPECT_EQ(cumulative, 1);
  PropertyDescriptionList list;
  effect->Describe(&list);
  ASSERT_EQ(list.Count(), 9u);
  EXPECT_EQ(list.At(0).name, TString(u"modulename"));
  EXPECT_EQ(list.At(8).flags, 0x43u);
  void* none = reinterpret_cast<void*>(1);
  EXPECT_EQ(effect->QueryInterface(kIID_MVisualPostEffect, &none, 1, 0), kErrNoInterface);
}

TEST(VisualPostEffect, LoadsClampedValuesAndReloadsFromTheSameSection) {
  TestRegistry registry;
  RefPtr<MPreferenceStore> section = registry.NewPreferences();
  section->SetDouble(u"Zoom", 3.0);
  section->SetBool(u"Blur", true);
  RefPtr<VisualPostEffect> effect = VisualPostEffect::Make();
  ASSERT_EQ(effect->LoadSettings(section.Get()), kOk);
  PostEffectSettings s = effect->Settings();
  EXPECT_DOUBLE_EQ(s.zoom, 1.0);
  EXPECT_TRUE(s.blur);
  EXPECT_TRUE(s.smoke) << "missing values keep the current ones";
  section->SetDouble(u"Fade", -2.0);
  EXPECT_EQ(effect->SendFilterMessage(u"reloadvk1vissettings", 0), kOk);
  EXPECT_DOUBLE_EQ(effect->Settings().fade, 0.0);
  EXPECT_EQ(effect->SendFilterMessage(u"anything", 0), kOk);
  // Saved and read back by another effect.
  effect->SetInteger(u"smoke", 0);
  RefPtr<MPreferenceStore> other = registry.NewPreferences();
  ASSERT_EQ(effect->SaveSettings(other.Get()), kOk);
  RefPtr<VisualPostEffect> second = VisualPostEffect::Make();
  second->LoadSettings(other.Get());
  EXPECT_FALSE(second->Settings().smoke);
  EXPECT_DOUBLE_EQ(second->Settings().zoom, 1.0);
}

TEST(VisualPostEffect, ApplyRunsTheStepsItsSettingsAsk) {
  struct Case {
    const char* name;
    double fade;
    double zoom;
    bool smoke;
    bool changed;
  };
  const Case cases[] = {
      {"defaults: fade and smoke, zoom 0.6 is off", 4.0 / 7.0, 0.6, true, true},
      {"nothing at all", 0.0, 0.5, false, false},
      {"zoom 1 zooms", 0.0, 1.0, false, true},
      {"negative zoom zooms", 0.0, -0.25, false, true},
      {"fade 1 still fades one step", 1.0, 0.0, false, true},
  };
  for (const Case& c : cases) {
    RefPtr<VisualPostEffect> effect = VisualPostEffect::Make();
    effect->SetNumber(u"fade", c.fade);
    effect->SetNumber(u"zoom", c.zoom);
    effect->SetInteger(u"smoke", c.smoke);
    Surface s(8, 8, 0x00808080u);
    EXPECT_EQ(effect->Apply(&s.view), c.changed) << c.name;
  }
  // Fade 1: strength 0 raised to 1, so a full channel loses one step.
  RefPtr<VisualPostEffect> effect = VisualPostEffect::Make();
  effect->SetNumber(u"fade", 1.0);
  effect->SetInteger(u"smoke", 0);
  effect->SetNumber(u"zoom", 0.0);
  Surface s(2, 2, 0x00FF0000u);
  effect->Apply(&s.view);
  EXPECT_EQ(s.At(0, 0), 0x00FE0000u);
}

}  // namespace
}  // namespace vk2::test
