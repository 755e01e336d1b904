// The filters' one lock under load: a pulling thread runs packets through both filters while
// another thread reloads layouts, changes the band count, the pitch and the format's readers.
// Run under ThreadSanitizer with the other stress tests.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "audio/effects/band_layout.h"
#include "audio/effects/equalizer_filter.h"
#include "audio/effects/pitch_amp_balance_filter.h"
#include "tests/audio/effects/filter_harness.h"
#include "tests/support/test_signals.h"

namespace vk2::test {
namespace {

TEST(EffectsStressTest, SettingsChangeWhilePacketsFlow) {
  TestRegistry registry;
  FilterHarness eq{[] { return RefPtr<MAudioModule>(EqualizerFilter::Make().Get()); }, &registry};
  FilterHarness pab{[] { return RefPtr<MAudioModule>(PitchAmpBalanceFilter::Make().Get()); },
                    &registry};
  RefPtr<MPreferenceStore> section = registry.NewPreferences();
  section->OpenSection(u"player/equalizer", 1);
  BandLayout layout = DefaultLayout();
  for (auto& b : layout)
    b.gain = 0.3;
  WriteBandLayout(section.Get(), layout);
  ASSERT_EQ(eq.Properties()->LoadSettings(section.Get()), 0);

  std::atomic<bool> done{false};
  std::thread changer([&] {
    for (int i = 0; !done.load(); ++i) {
      eq.Properties()->SendFilterMessage(kEqualizerReloadMessage, 0);
      eq.Properties()->SetInteger(u"numbands", 5 + i % 30);
      PropertyDescriptionList list;
      eq.Properties()->Describe(&list);
      eq.Properties()->LoadSettings(section.Get());
      pab.Properties()->SetNumber(u"pitch", i % 2 ? 1.0 : 0.8);
      pab.Properties()->SetNumber(u"balance", (i % 5) / 5.0);
      pab.Properties()->SendFilterMessage(kPitchAmpBalReloadMessage, 0);
    }
  });
  const std::vector<double> packet = MakeSine(1000, 0.5, 44100, 512, 2);
  for (int i = 0; i < 400; ++i) {
    // The rate changes now and then, so format changes race with the settings too.
    const uint32_t rate = i % 50 < 25 ? 44100 : 22050;
    for (FilterHarness* h : {&eq, &pab}) {
      const std::vector<double> out = h->Run(packet, rate, 2, kF32, 512);
      for (double v : out)
        ASSERT_TRUE(std::isfinite(v) && std::fabs(v) <= 1.0);
    }
  }
  done = true;
  changer.join();
}

}  // namespace
}  // namespace vk2::test
