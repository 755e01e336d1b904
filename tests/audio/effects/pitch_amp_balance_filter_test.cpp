// The pitch, amplification and balance filter: pitch as the measured frequency ratio that its
// packet quantisation gives, the gain law, the fixed-point clipping and the carried frame.
#include <gtest/gtest.h>

#include <cmath>

#include "audio/effects/pitch_amp_balance_filter.h"
#include "tests/audio/effects/filter_harness.h"
#include "tests/support/test_signals.h"
#include "tests/support/tone_analysis.h"

namespace vk2::test {
namespace {

constexpr uint32_t kRate = 44100;

RefPtr<MAudioModule> MakePab() {
  return RefPtr<MAudioModule>(PitchAmpBalanceFilter::Make().Get());
}

class PitchFilterTest : public ::testing::Test {
 protected:
  FilterHarness h{&MakePab};

  void Set(double pitch, double amplification = 1.0, double balance = 0.0) {
    ASSERT_EQ(h.Properties()->SetNumber(u"pitch", pitch), 0);
    ASSERT_EQ(h.Properties()->SetNumber(u"Amplification", amplification), 0);
    ASSERT_EQ(h.Properties()->SetNumber(u"balance", balance), 0);
  }
  double Value(const char16_t* name) {
    double v = -99;
    EXPECT_EQ(h.Properties()->GetNumber(name, &v), 0);
    return v;
  }
};

TEST_F(PitchFilterTest, PitchIsTheFrequencyRatioOfWholePackets) {
  struct Case {
    double pitch;
    uint32_t framesOut;
  };
  // 76 packets of 1152 frames: 87552 frames in.
  const Case cases[] = {{2.0, 43776}, {0.5, 175104}, {1.5, 58368}, {0.75, 116736}, {1.3, 67336}};
  const std::vector<double> tone = MakeSine(1000, 0.5, kRate, 76 * 1152, 2);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pitch);
    FilterHarness fresh{&MakePab};
    ASSERT_EQ(fresh.Properties()->SetNumber(u"pitch", c.pitch), 0);
    for (const SampleFormat& format : {kF32, kS16}) {
      std::vector<uint32_t> counts;
      const std::vector<double> out = fresh.Run(tone, kRate, 2, format, 1152, &counts);
      EXPECT_EQ(out.size() / 2, c.framesOut);
      // 1.3 gives 1152 / 886 = 1.30023, not 1.3.
      const double ratio = 1152.0 / std::floor(1152.0 / c.pitch);
      for (uint32_t ch = 0; ch < 2; ++ch) {
        const double measured = ZeroCrossingFrequency(ChannelOf(out, 2, ch), kRate, 100);
        EXPECT_NEAR(measured / (1000.0 * ratio), 1.0, 1e-4) << format.name;
      }
    }
  }
}

TEST_F(PitchFilterTest, FrameCountsAndTheFrameCarriedIntoTheNextPacket) {
  struct Case {
    double pitch;
    double amplification;
    uint32_t framesIn;
    uint32_t framesOut;
  };
  const Case cases[] = {
      {2.0, 1.0, 1000, 500}, {0.5, 1.0, 1000, 2000}, {0.7, 0.5, 999, 1427}, {3.0, 2.0, 1, 0}};
  for (const Case& c : cases) {
    for (const SampleFormat& format : {kF32, kF64, kS16, kU8}) {
      SCOPED_TRACE(testing::Message() << c.pitch << " " << format.name);
      FilterHarness fresh{&MakePab};
      fresh.Properties()->SetNumber(u"pitch", c.pitch);
      fresh.Properties()->SetNumber(u"amplification", c.amplification);
      const std::vector<double> signal =
          MakeTones({{440, 0.2}, {1234, 0.1}}, kRate, 3 * c.framesIn, 2);
      std::vector<uint32_t> counts;
      const std::vector<double> out = fresh.Run(signal, kRate, 2, format, c.framesIn, &counts);
      ASSERT_EQ(counts, std::vector<uint32_t>(3, c.framesOut));
      // The first packet interpolates from silence.
      if (c.framesOut > 0) {
        EXPECT_EQ(out[0], 0.0);
      }
      if (c.framesOut == 0) continue;
      // Packet n + 1 starts exactly on packet n's last input frame times the gain.
      const std::vector<uint8_t> encoded = EncodePcm(signal, format);
      const std::vector<double> quantised = DecodePcm(encoded.data(), encoded.size(), format);
      for (uint32_t n = 1; n < 3; ++n) {
        for (uint32_t ch = 0; ch < 2; ++ch) {
          const double lastIn = quantised[(static_cast<size_t>(n) * c.framesIn - 1) * 2 + ch];
          const double first = out[static_cast<size_t>(n) * c.framesOut * 2 + ch];
          EXPECT_NEAR(first, lastIn * c.amplification,
                      format.isFloat ? 1e-7 : 1.0 / format.Scale());
        }
      }
    }
  }
}

TEST_F(PitchFilterTest, BalanceLawScalesEachChannel) {
  struct Case {
    uint32_t channels;
    double amplification;
    double balance;
    std::vector<double> gains;
  };
  const Case cases[] = {
      {2, 1.0, -1.0, {1.0, 0.0}},
      {2, 1.0, 1.0, {0.0, 1.0}},
      {2, 2.0, 0.25, {1.5, 2.0}},
      {2, 1.0, -0.5, {1.0, 0.5}},
      {1, 0.5, 0.5, {0.5}},
      {1, 2.0, -1.0, {2.0}},
      {6, 0.5, 0.5, {0.25, 0.5, 0.5, 0.5, 0.5, 0.5}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.channels << " channels, balance " << c.balance);
    EXPECT_EQ(ChannelGains(c.amplification, c.balance, c.channels), c.gains);
    for (double pitch : {1.0, 0.5}) {
      FilterHarness fresh{&MakePab};
      fresh.Properties()->SetNumber(u"pitch", pitch);
      fresh.Properties()->SetNumber(u"amplification", c.amplification);
      fresh.Properties()->SetNumber(u"balance", c.balance);
      const std::vector<double> in(static_cast<size_t>(c.channels) * 64, 0.25);
      const std::vector<double> out = fresh.Run(in, kRate, c.channels, kS16, 64);
      ASSERT_EQ(out.size(), in.size() / pitch);
      // Past the first frames, which interpolate from silence.
      for (uint32_t ch = 0; ch < c.channels; ++ch)
        EXPECT_NEAR(out[out.size() - c.channels + ch], 0.25 * c.gains[ch], 1e-3) << ch;
    }
  }
}

TEST_F(PitchFilterTest, IntegerProductsClipAtTheirFixedPointThresholds) {
  // Amplification 8: 16-bit samples of 4096 reach 0x8000000 exactly and clip; 4095 does not.
  struct Case {
    SampleFormat format;
    int32_t in;  // stored
    int32_t out;
  };
  const Case cases[] = {
      {kS16, 4095, 32760},  {kS16, 4096, 32767},  {kS16, -4096, -32768}, {kS16, -4097, -32768},
      {kU16, 36863, 65528}, {kU16, 36864, 65535}, {kU16, 28672, 0},      {kS8, 15, 120},
      {kS8, 16, 127},       {kS8, -16, -128},     {kU8, 144, 255},       {kU8, 143, 248},
      {kU8, 112, 0},
  };
  Set(1.0, 8.0, 0.0);
  for (const Case& c : cases) {
    for (double pitch : {1.0, 0.5}) {
      ASSERT_EQ(h.Properties()->SetNumber(u"pitch", pitch), 0);
      const double v = (c.in - (c.format.isSigned ? 0 : c.format.Scale())) / c.format.Scale();
      const std::vector<uint8_t> bytes = EncodePcm(std::vector<double>(8, v), c.format);
      RefPtr<AudioPacket> out;
      ASSERT_EQ(h.Pull(MakeTestPacket(MakeTestFormat(kRate, 1, c.format).Get(), bytes), &out), 0);
      const std::vector<int32_t> stored = StoredIntegers(out->data, out->byteCount, c.format);
      EXPECT_EQ(stored.back(), c.out) << c.format.name << " " << c.in << " pitch " << pitch;
    }
  }
}

TEST_F(PitchFilterTest, NeutralSettingsOnlyClipFloats) {
  const std::vector<double> in = {0.5, -0.25, 1.5, -2.0, 1.0, -1.0, 0.125, 0.0};
  for (const SampleFormat& f : {kF32, kF64}) {
    RefPtr<AudioPacket> out;
    ASSERT_EQ(h.Pull(MakeTestPacket(MakeTestFormat(kRate, 2, f).Get(), EncodePcm(in, f)), &out), 0);
    EXPECT_EQ(DecodePcm(out->data, out->byteCount, f),
              (std::vector<double>{0.5, -0.25, 1.0, -1.0, 1.0, -1.0, 0.125, 0.0}))
        << f.name;
  }
}

TEST_F(PitchFilterTest, ValuesAreRangeCheckedWhenSetAndWhenLoaded) {
  EXPECT_EQ(h.Properties()->SetNumber(u"pitch", 10.0), kErrOutOfRange);
  EXPECT_EQ(h.Properties()->SetNumber(u"amplification", 0.1), kErrOutOfRange);
  EXPECT_EQ(h.Properties()->SetNumber(u"balance", -1.01), kErrOutOfRange);
  EXPECT_EQ(h.Properties()->SetNumber(u"pitch", std::nan("")), kErrOutOfRange);
  EXPECT_EQ(h.Properties()->SetNumber(u"speed", 1.0), kErrNotFound);
  EXPECT_EQ(Value(u"pitch"), 1.0);

  RefPtr<MPreferenceStore> s = h.Registry().NewPreferences();
  s->OpenSection(u"player/PITCHAMPBAL", 1);
  s->SetDouble(u"pitch", 10.0);
  s->SetDouble(u"amplification", 2.5);
  s->SetDouble(u"balance", -0.5);
  ASSERT_EQ(h.Properties()->LoadSettings(s.Get()), 0);
  EXPECT_EQ(Value(u"pitch"), 1.0);
  EXPECT_EQ(Value(u"amplification"), 2.5);
  EXPECT_EQ(Value(u"balance"), -0.5);

  // The reload reads the kept section again, whatever the message's case.
  s->SetDouble(u"pitch", 0.25);
  s->SetDouble(u"balance", 3.0);
  h.Properties()->SendFilterMessage(u"SomethingElse", 0);
  EXPECT_EQ(Value(u"pitch"), 1.0);
  h.Properties()->SendFilterMessage(u"pitchampbalreloadsettings", 0);
  EXPECT_EQ(Value(u"pitch"), 0.25);
  EXPECT_EQ(Value(u"balance"), 0.0);

  RefPtr<MPreferenceStore> saved = h.Registry().NewPreferences();
  saved->OpenSection(u"saved", 1);
  ASSERT_EQ(h.Properties()->SaveSettings(saved.Get()), 0);
  double v = 0;
  ASSERT_EQ(saved->GetDouble(u"amplification", &v), 0);
  EXPECT_EQ(v, 2.5);

  PropertyDescriptionList list;
  ASSERT_EQ(h.Properties()->Describe(&list), 0);
  ASSERT_EQ(list.Count(), 7u);
  EXPECT_EQ(list.At(6).name, TString(u"balance"));
  EXPECT_EQ(list.At(6).flags, 0x43u);
}

TEST_F(PitchFilterTest, ManyChannelsAndLongPacketsKeepEveryChannelsFrame) {
  // Six channels, 40000-frame packets: past 32,768 frames 32-bit stepping would overflow.
  Set(0.75, 1.0, 0.0);
  const uint32_t frames = 40000;
  std::vector<double> signal(static_cast<size_t>(frames) * 2 * 6);
  for (uint32_t ch = 0; ch < 6; ++ch) {
    const std::vector<double> one = MakeSine(300.0 + 100 * ch, 0.3, kRate, frames * 2, 1);
    for (uint32_t n = 0; n < frames * 2; ++n)
      signal[static_cast<size_t>(n) * 6 + ch] = one[n];
  }
  std::vector<uint32_t> counts;
  const std::vector<double> out = h.Run(signal, kRate, 6, kF32, frames, &counts);
  ASSERT_EQ(counts, (std::vector<uint32_t>{53333, 53333}));
  for (uint32_t ch = 0; ch < 6; ++ch) {
    const double lastIn = signal[(static_cast<size_t>(frames) - 1) * 6 + ch];
    EXPECT_NEAR(out[static_cast<size_t>(53333) * 6 + ch], lastIn, 1e-6) << ch;
    const double measured = ZeroCrossingFrequency(ChannelOf(out, 6, ch), kRate, 10);
    EXPECT_NEAR(measured / ((300.0 + 100 * ch) * frames / 53333.0), 1.0, 1e-4) << ch;
  }
}

TEST_F(PitchFilterTest, EmptyPacketsPassAndUnsupportedFormatsAreReleased) {
  Set(2.0);
  RefPtr<AudioFormat> s16 = MakeTestFormat(kRate, 2, kS16);
  RefPtr<AudioPacket> out;
  RefPtr<AudioPacket> empty = MakeTestPacket(s16.Get(), {});
  AudioPacket* emptyPointer = empty.Get();
  ASSERT_EQ(h.Pull(std::move(empty), &out), 0);
  EXPECT_EQ(out.Get(), emptyPointer);

  const int live = LiveTestPackets();
  EXPECT_EQ(
      h.Pull(MakeTestPacket(MakeTestFormat(kRate, 2, SampleFormat{24, false, true, "s24"}).Get(),
                            {0, 0, 0, 0, 0, 0}),
             &out),
      MediaError(kMsIncompatibleFormat));
  EXPECT_FALSE(out);
  EXPECT_EQ(LiveTestPackets(), live - 1);  // the empty packet went with `out`
  // A byte stream is refused but left for the caller, like the equalizer's refusals.
  EXPECT_EQ(
      h.Pull(MakeTestPacket(MakeTestFormat(kRate, 2, kS16, kFormatByteStream).Get(), {1}), &out),
      MediaError(kMsIncompatibleFormat));
  EXPECT_TRUE(out);

  // The resampled packet carries the input's flags, stream, position, length and format.
  RefPtr<AudioPacket> in = MakeTestPacket(s16.Get(), EncodePcm(std::vector<double>(16, 0.1), kS16));
  in->flags = kPacketFirst;
  in->streamId = 42;
  in->position = 12.5;
  in->length = 0.25;
  ASSERT_EQ(h.Pull(std::move(in), &out), 0);
  EXPECT_EQ(out->byteCount, 16u);
  EXPECT_EQ(out->flags, uint32_t{kPacketFirst});
  EXPECT_EQ(out->streamId, 42);
  EXPECT_EQ(out->position, 12.5);
  EXPECT_EQ(out->length, 0.25);
  EXPECT_EQ(out->format, s16.Get());
}

}  // namespace
}  // namespace vk2::test
