// The band equalizer measured as a user hears it: sines through the filter, their amplitude by
// Goertzel, against the analytic response of the bands' biquads.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "audio/effects/band_layout.h"
#include "audio/effects/equalizer_filter.h"
#include "tests/audio/effects/filter_harness.h"
#include "tests/support/biquad_response.h"
#include "tests/support/test_signals.h"
#include "tests/support/tone_analysis.h"

namespace vk2::test {
namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kPacketFrames = 1152;

class EqualizerFilterTest : public ::testing::Test {
 protected:
  FilterHarness h{[] { return RefPtr<MAudioModule>(EqualizerFilter::Make().Get()); }};

  RefPtr<MPreferenceStore> Section() {
    RefPtr<MPreferenceStore> s = h.Registry().NewPreferences();
    s->OpenSection(u"player/equalizer", 1);
    return s;
  }
  void Load(const BandLayout& layout) {
    RefPtr<MPreferenceStore> s = Section();
    WriteBandLayout(s.Get(), layout);
    ASSERT_EQ(h.Properties()->LoadSettings(s.Get()), 0);
  }
  int32_t NumBands() {
    int32_t n = -1;
    EXPECT_EQ(h.Properties()->GetInteger(u"NUMBANDS", &n), 0);
    return n;
  }
};

// The response at `frequency` of a stereo sine (-12 dBFS unless told), after 0.4 s of settling.
double MeasureDb(FilterHarness& h, double frequency, const SampleFormat& format,
                 uint32_t rate = kRate, double levelDb = -12) {
  const double amplitude = FromDb(levelDb);
  const uint32_t frames = rate * 9 / 10;
  const std::vector<double> out =
      h.Run(MakeSine(frequency, amplitude, rate, frames, 2), rate, 2, format, kPacketFrames);
  const size_t skip = rate * 4 / 10;
  double worst = 0;
  double db = 0;
  for (uint32_t c = 0; c < 2; ++c) {
    const std::vector<double> channel = ChannelOf(out, 2, c);
    const size_t n = WholeCycleCount(frequency, rate, channel.size() - skip);
    const double d =
        ToDb(Goertzel(channel.data() + skip, n, frequency, rate).amplitude / amplitude);
    if (c == 0) db = d;
    worst = std::max(worst, std::fabs(d - db));
  }
  EXPECT_LT(worst, 1e-6) << "channels differ at " << frequency;
  return db;
}

double ExpectedDb(const BandLayout& layout, double frequency, uint32_t rate = kRate) {
  std::vector<BandStage> stages;
  for (const EqualizerBandSetting& b : layout) {
    if (std::fabs(static_cast<float>(b.gain)) < 0.01f) continue;
    if (!(b.frequency > 0 && b.width > 0 && b.frequency < rate / 2.0 && b.width < rate / 2.0)) {
      continue;
    }
    stages.push_back(BandPassStage(b.frequency, b.width, rate, b.gain, true));
  }
  return ToDb(std::abs(CascadeResponse(stages, frequency, rate)));
}

std::vector<double> ThirdOctaves() {
  std::vector<double> f;
  for (int k = -17; k <= 13; ++k)
    f.push_back(1000.0 * std::pow(2.0, k / 3.0));
  return f;
}

TEST(BandLayoutTest, DefaultLayoutHalvesDownFromTheTopInSinglePrecision) {
  const BandLayout layout = DefaultLayout();
  ASSERT_EQ(layout.size(), 20u);
  const struct {
    uint32_t band;
    double centre;
    double width;
  } cases[] = {{19, 16537.5, 11025},
               {18, 12403.125, 8268.75},
               {10, 1241.71298, 827.80865},
               {1, 93.2336, 62.1558},
               {0, 46.6168, 93.2336}};
  for (const auto& c : cases) {
    EXPECT_NEAR(layout[c.band].frequency, c.centre, 1e-4) << c.band;
    EXPECT_NEAR(layout[c.band].width, c.width, 1e-4) << c.band;
    EXPECT_EQ(layout[c.band].gain, 0.0);
  }
  // Every value is what float arithmetic gives, exactly.
  float top = 22050.0f;
  for (uint32_t i = 20; i-- > 0;) {
    const float bottom = i == 0 ? 0.0f : top / 2;
    EXPECT_EQ(layout[i].width, static_cast<double>(top - bottom)) << i;
    EXPECT_EQ(layout[i].frequency, static_cast<double>(top - (top - bottom) / 2)) << i;
    top = (top + bottom) / 2;
  }
}

TEST_F(EqualizerFilterTest, StoredLayoutFallsBackToTheDefaultWhereItIsDamaged) {
  struct Case {
    const char* what;
    int32_t numBands;  // -1000: not stored
    uint32_t listLength;
    uint32_t expectedBands;
    bool expectStoredGains;
  };
  const Case cases[] = {
      {"nothing stored", -1000, 0, 20, false}, {"negative count", -3, 0, 20, false},
      {"huge count", 100000, 0, 20, false},    {"lists of another length", 8, 7, 8, false},
      {"consistent", 8, 8, 8, true},           {"no bands", 0, 0, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RefPtr<MPreferenceStore> s = h.Registry().NewPreferences();
    s->OpenSection(TString::Format(u"case/%S", c.what).c_str(), 1);
    if (c.numBands != -1000) s->SetInt(u"NumBands", c.numBands);
    std::vector<double> values(c.listLength, 0.5);
    s->SetDoubleList(u"BandWidth", values.data(), c.listLength);
    s->SetDoubleList(u"Frequency", values.data(), c.listLength);
    s->SetDoubleList(u"Gain", values.data(), c.listLength);
    const BandLayout read = ReadBandLayout(s.Get());
    ASSERT_EQ(read.size(), c.expectedBands);
    for (const auto& b : read)
      EXPECT_EQ(b.gain, c.expectStoredGains ? 0.5 : 0.0);
    ASSERT_EQ(h.Properties()->LoadSettings(s.Get()), 0);
    EXPECT_EQ(NumBands(), static_cast<int32_t>(c.expectedBands));
  }
}

TEST_F(EqualizerFilterTest, SingleBandMatchesTheAnalyticResponseOnTheFloatPath) {
  const BandLayout base = DefaultLayout();
  const double centre = base[10].frequency;
  struct Case {
    double gain;
    double frequency;
  };
  const Case cases[] = {{1.0, centre}, {0.5, centre},  {-0.5, centre},
                        {1.0, 60.0},   {1.0, 12000.0}, {-0.5, 15000.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "gain " << c.gain << " at " << c.frequency);
    FilterHarness fresh{[] { return RefPtr<MAudioModule>(EqualizerFilter::Make().Get()); }};
    BandLayout layout = base;
    layout[10].gain = c.gain;
    RefPtr<MPreferenceStore> s = fresh.Registry().NewPreferences();
    WriteBandLayout(s.Get(), layout);
    fresh.Properties()->LoadSettings(s.Get());
    const double measured = MeasureDb(fresh, c.frequency, kF32);
    EXPECT_NEAR(measured, ExpectedDb(layout, c.frequency), 0.05);
    if (c.frequency != centre) {
      EXPECT_NEAR(measured, 0.0, 0.1);
    }
  }
}

TEST_F(EqualizerFilterTest, MinusOneCancelsTheCentreAndAllBandsAtZeroChangeNothingAtAll) {
  BandLayout layout = DefaultLayout();
  layout[10].gain = -1.0;
  Load(layout);
  EXPECT_LT(MeasureDb(h, layout[10].frequency, kF32), -60.0);

  // Gains below 0.01 in magnitude leave every format's samples untouched, bit for bit.
  for (auto& b : layout)
    b.gain = 0.0099;
  layout[3].gain = -0.0099;
  Load(layout);
  std::mt19937 random(3);
  std::uniform_real_distribution<double> value(-1.2, 1.2);
  for (const SampleFormat& f : kAllSampleFormats) {
    std::vector<double> samples(2 * 777);
    for (double& v : samples)
      v = value(random);
    const std::vector<uint8_t> bytes = EncodePcm(samples, f);
    RefPtr<AudioPacket> out;
    ASSERT_EQ(h.Pull(MakeTestPacket(MakeTestFormat(kRate, 2, f).Get(), bytes), &out), 0);
    EXPECT_EQ(PacketBytes(*out), bytes) << f.name;
  }
}

TEST_F(EqualizerFilterTest, WholeLayoutWithMixedGainsMatchesTheCascadeAcrossTheBand) {
  BandLayout layout = DefaultLayout();
  for (size_t i = 0; i < layout.size(); ++i)
    layout[i].gain = 0.6 * std::sin(1.7 * static_cast<double>(i));
  const struct {
    SampleFormat format;
    double tolerance;
    size_t every;
  } paths[] = {{kF32, 0.05, 1}, {kS16, 0.2, 3}};
  for (const auto& path : paths) {
    const std::vector<double> frequencies = ThirdOctaves();
    for (size_t i = 0; i < frequencies.size(); i += path.every) {
      const double f = frequencies[i];
      SCOPED_TRACE(testing::Message() << path.format.name << " at " << f);
      const double expected = ExpectedDb(layout, f);
      ASSERT_LT(expected, 10.0);  // no clipping at -12 dBFS
      FilterHarness fresh{[] { return RefPtr<MAudioModule>(EqualizerFilter::Make().Get()); }};
      RefPtr<MPreferenceStore> s = fresh.Registry().NewPreferences();
      WriteBandLayout(s.Get(), layout);
      fresh.Properties()->LoadSettings(s.Get());
      EXPECT_NEAR(MeasureDb(fresh, f, path.format), expected, path.tolerance);
    }
  }
}

TEST_F(EqualizerFilterTest, BoostPastFullScaleClipsIntegersAtTheirLimits) {
  BandLayout layout = DefaultLayout();
  for (auto& b : layout)
    b.gain = 1.0;
  Load(layout);
  for (const SampleFormat& f : {kS16, kU8, kU16, kS8}) {
    const std::vector<double> loud = MakeSine(1000, 1.0, kRate, 4096, 1);
    RefPtr<AudioPacket> out;
    ASSERT_EQ(h.Pull(MakeTestPacket(MakeTestFormat(kRate, 1, f).Get(), EncodePcm(loud, f)), &out),
              0);
    const std::vector<int32_t> stored = StoredIntegers(out->data, out->byteCount, f);
    const int32_t top =
        f.isSigned ? static_cast<int32_t>(f.Scale()) - 1 : static_cast<int32_t>(2 * f.Scale()) - 1;
    const int32_t bottom = f.isSigned ? -static_cast<int32_t>(f.Scale()) : 0;
    EXPECT_EQ(*std::max_element(stored.begin(), stored.end()), top) << f.name;
    EXPECT_EQ(*std::min_element(stored.begin(), stored.end()), bottom) << f.name;
  }
}

TEST_F(EqualizerFilterTest, ReloadKeepsTheHistoriesOfUnchangedBands) {
  BandLayout layout = DefaultLayout();
  for (size_t i = 0; i < layout.size(); ++i)
    layout[i].gain = i % 2 ? 0.7 : -0.4;
  RefPtr<MPreferenceStore> section = Section();
  WriteBandLayout(section.Get(), layout);
  h.Properties()->LoadSettings(section.Get());
  FilterHarness reference{[] { return RefPtr<MAudioModule>(EqualizerFilter::Make().Get()); }};
  RefPtr<MPreferenceStore> referenceSection = reference.Registry().NewPreferences();
  WriteBandLayout(referenceSection.Get(), layout);
  reference.Properties()->LoadSettings(referenceSection.Get());

  const std::vector<double> signal = MakeTones({{440, 0.2}, {3000, 0.1}}, kRate, 4 * 1152, 2);
  const std::vector<double> first(signal.begin(), signal.begin() + 2 * 2 * 1152);
  const std::vector<double> second(signal.begin() + 2 * 2 * 1152, signal.end());
  const std::vector<double> expected = reference.Run(signal, kRate, 2, kF32, 1152);
  std::vector<double> got = h.Run(first, kRate, 2, kF32, 1152);
  // The same layout stored again, the message in another case: nothing may be heard.
  WriteBandLayout(section.Get(), layout);
  EXPECT_EQ(h.Properties()->SendFilterMessage(u"equalizerreloadsettings", 0), 0);
  const std::vector<double> after = h.Run(second, kRate, 2, kF32, 1152);
  got.insert(got.end(), after.begin(), after.end());
  EXPECT_EQ(got, expected);

  // A moved band starts from silence: different output from here on, but no blow-up.
  layout[5].frequency *= 1.1;
  WriteBandLayout(section.Get(), layout);
  h.Properties()->SendFilterMessage(u"EqualizerReloadSettings", 0);
  const std::vector<double> moved = h.Run(second, kRate, 2, kF32, 1152);
  EXPECT_NE(moved, after);
  for (double v : moved)
    ASSERT_LE(std::fabs(v), 1.0);
}

TEST_F(EqualizerFilterTest, RateChangeRebuildsBeforeTheFirstPacketOfTheNewRate) {
  BandLayout layout(1);
  layout[0] = {1000.0, 500.0, 1.0};
  Load(layout);
  EXPECT_NEAR(MeasureDb(h, 1000, kF32, 44100), 6.0206, 0.05);
  EXPECT_NEAR(MeasureDb(h, 1000, kF32, 16000), 6.0206, 0.05);
}

TEST_F(EqualizerFilterTest, BandsAtOrPastNyquistStayFlatAtLowRates) {
  // The default layout at 8 kHz puts bands 15 to 19 at or past 4 kHz; with gains on them an
  // unguarded filter turns into full-scale noise.
  for (uint32_t rate : {8000u, 11025u, 16000u, 22050u}) {
    SCOPED_TRACE(rate);
    FilterHarness fresh{[] { return RefPtr<MAudioModule>(EqualizerFilter::Make().Get()); }};
    BandLayout layout = DefaultLayout();
    for (auto& b : layout)
      b.gain = 0.5;
    RefPtr<MPreferenceStore> s = fresh.Registry().NewPreferences();
    WriteBandLayout(s.Get(), layout);
    fresh.Properties()->LoadSettings(s.Get());
    // Quiet enough that the boost of the usable bands does not clip.
    const double f = rate / 7.0;
    EXPECT_NEAR(MeasureDb(fresh, f, kF32, rate, -30), ExpectedDb(layout, f, rate), 0.05);
  }
}

TEST_F(EqualizerFilterTest, BandCountSetBeforeAnyStreamWaitsFlatThenFollowsTheStreamsNyquist) {
  ASSERT_EQ(h.Properties()->SetInteger(u"numbands", 5), 0);
  EXPECT_EQ(NumBands(), 5);
  const std::vector<uint8_t> bytes = EncodePcm(MakeSine(440, 0.5, kRate, 1000, 2), kS16);
  RefPtr<AudioPacket> out;
  ASSERT_EQ(h.Pull(MakeTestPacket(MakeTestFormat(kRate, 2, kS16).Get(), bytes), &out), 0);
  EXPECT_EQ(PacketBytes(*out), bytes);

  // Width 0 from the count above, then a gain from the store: K would be infinite.
  BandLayout zero(3);
  zero[1].gain = 1.0;
  Load(zero);
  ASSERT_EQ(h.Pull(MakeTestPacket(MakeTestFormat(kRate, 2, kS16).Get(), bytes), &out), 0);
  EXPECT_EQ(PacketBytes(*out), bytes);

  // With a stream known, the bands halve down from its Nyquist frequency (in double).
  ASSERT_EQ(h.Properties()->SetInteger(u"NumBands", 4), 0);
  PropertyDescriptionList list;
  ASSERT_EQ(h.Properties()->Describe(&list), 0);
  EXPECT_EQ(list.Count(), 5u + 3 * 4);
  EXPECT_GE(list.Find(u"bandgain_3"), 0);
  EXPECT_EQ(list.At(list.Find(u"bandfreq_0")).flags, 0x43u);
  EXPECT_EQ(list.At(list.Find(u"numbands")).flags, 0x42u);
  EXPECT_EQ(h.Properties()->SetInteger(u"numbands", 201), kErrOutOfRange);
  EXPECT_EQ(h.Properties()->SetInteger(u"numbands", -1), kErrOutOfRange);
  EXPECT_EQ(h.Properties()->SetNumber(u"bandgain_0", 0.5), kErrNotFound);
}

TEST_F(EqualizerFilterTest, RefusedPacketsStayInTheCallersSlotWithTheFormatCode) {
  Load(DefaultLayout());
  for (int round = 0; round < 2; ++round) {
    for (const SampleFormat& f :
         {SampleFormat{24, false, true, "s24"}, SampleFormat{32, false, true, "s32"}}) {
      RefPtr<AudioPacket> out;
      EXPECT_EQ(h.Pull(MakeTestPacket(MakeTestFormat(kRate, 2, f).Get(), {0, 0, 0, 0, 0, 0}), &out),
                MediaError(kMsIncompatibleFormat))
          << f.name;
      EXPECT_TRUE(out) << "left for the caller to release";
    }
  }
  RefPtr<AudioPacket> out;
  EXPECT_EQ(
      h.Pull(MakeTestPacket(MakeTestFormat(kRate, 2, kS16, kFormatByteStream).Get(), {1, 2}), &out),
      MediaError(kMsIncompatibleFormat));
  EXPECT_TRUE(out);
  h.Upstream().failWith = -7;
  AudioPacket* slot = nullptr;
  EXPECT_EQ(h.Output()->GetPacket(&slot), -7);
}

TEST_F(EqualizerFilterTest, AnswersAsAChainModule) {
  MAudioModule* m = h.Filter();
  void* p = nullptr;
  EXPECT_EQ(m->QueryInterface(kIID_MEqualizer, &p, 0, 0), 0);
  EXPECT_EQ(p, m);
  EXPECT_EQ(m->QueryInterface(kIID_MModuleInfo, &p, 0, 0), 0);
  EXPECT_EQ(m->QueryInterface(kIID_MPitchAmpBalance, &p, 0, 0), kErrNoInterface);
  AudioModuleInput* in = nullptr;
  AudioModuleOutput* out = nullptr;
  EXPECT_EQ(m->GetInputByName(&in, u"INPUT"), 0);
  EXPECT_EQ(m->GetOutputByName(&out, u"Output"), 0);
  EXPECT_EQ(m->GetInput(&in, 1), kErrNotFound);
  TString text;
  EXPECT_EQ(h.Properties()->GetString(u"ModuleName", &text), 0);
  EXPECT_EQ(text, TString(u"Equalizer"));

  PacketQueueOutput offer;
  offer.OfferFormat(MakeTestFormat(kRate, 2, SampleFormat{24, false, true, "s24"}));
  uint32_t s1 = 9;
  uint32_t s2 = 9;
  ASSERT_EQ(m->GetInput(&in, 0), 0);
  EXPECT_EQ(in->CanHandle(&offer, &s1, &s2), 0);
  EXPECT_EQ(s1 * 1000 + s2, 0u);
  offer.OfferFormat(MakeTestFormat(kRate, 2, kF64));
  EXPECT_EQ(in->CanHandle(&offer, &s1, &s2), 0);
  EXPECT_EQ(s1 * 1000 + s2, 100001u);
  AudioFormatList passed;
  in->Connect(&offer);
  m->GetOutput(&out, 0);
  EXPECT_EQ(out->GetFormats(&passed), 0);
  EXPECT_EQ(passed.Count(), 1u);
  m->StateChange(kChainPlaying);
  EXPECT_EQ(in->CanHandle(&offer, &s1, &s2), MediaError(kMsWrongState));
}

}  // namespace
}  // namespace vk2::test
