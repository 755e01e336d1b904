// The numeric test library the effect tests measure with: it must be right before anything is
// measured with it.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>

#include "tests/support/biquad_response.h"
#include "tests/support/pcm_packets.h"
#include "tests/support/test_signals.h"
#include "tests/support/tone_analysis.h"

namespace vk2::test {
namespace {

constexpr double kRate = 44100.0;

TEST(GoertzelTest, MeasuresAmplitudeAndPhaseOfEachToneInAMix) {
  struct Case {
    double frequency;
    double amplitude;
    double phase;
  };
  const Case cases[] = {
      {32.0, 0.25, 0.3}, {1000.0, 0.5, -1.2}, {12500.0, 0.125, 2.5}, {19950.0, 0.2, 0.0}};
  std::vector<Tone> tones;
  for (const Case& c : cases)
    tones.push_back({c.frequency, c.amplitude, c.phase});
  const std::vector<double> signal = MakeTones(tones, 44100, 44100, 1);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.frequency);
    const ToneMeasure m = Goertzel(signal, c.frequency, kRate);
    EXPECT_NEAR(m.amplitude, c.amplitude, 1e-6);
    EXPECT_NEAR(std::remainder(m.phase - c.phase, 2 * std::numbers::pi), 0.0, 1e-5);
  }
  // Integer frequencies over one second are whole cycles: no leakage between the tones.
  EXPECT_LT(Goertzel(signal, 5000.0, kRate).amplitude, 1e-6);
}

TEST(GoertzelTest, WholeCycleWindowKeepsOffBinTonesExact) {
  const double f = 1234.567;
  const std::vector<double> signal = MakeSine(f, 0.3, 44100, 30000, 1);
  const size_t n = WholeCycleCount(f, kRate, signal.size());
  ASSERT_LE(n, signal.size());
  EXPECT_NEAR(Goertzel(signal.data(), n, f, kRate).amplitude, 0.3, 3e-5);
}

TEST(FftTest, AgreesWithThePlainDftAndInvertsItself) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  std::vector<std::complex<double>> data(64);
  for (auto& v : data)
    v = {value(random), value(random)};
  const auto expected = NaiveDft(data);
  auto transformed = data;
  Fft(&transformed);
  for (size_t k = 0; k < data.size(); ++k)
    EXPECT_LT(std::abs(transformed[k] - expected[k]), 1e-9) << k;
  Fft(&transformed, true);
  for (size_t k = 0; k < data.size(); ++k)
    EXPECT_LT(std::abs(transformed[k] - data[k]), 1e-12) << k;
}

TEST(FftTest, HannSpectrumReadsATonesAmplitudeAtItsBin) {
  const size_t size = 4096;
  const double bin = 93;
  const std::vector<double> signal = MakeSine(bin * kRate / size, 0.4, 44100, size, 1);
  const std::vector<double> spectrum = HannSpectrum(signal, size);
  EXPECT_NEAR(spectrum[93], 0.4, 1e-9);
  EXPECT_LT(spectrum[200], 1e-9);
}

TEST(ZeroCrossingTest, EstimatesFrequencyToAPartInAMillion) {
  for (double f : {50.0, 997.0, 1300.23, 7000.0}) {
    const std::vector<double> signal = MakeSine(f, 0.5, 44100, 88200, 1);
    EXPECT_NEAR(ZeroCrossingFrequency(signal, kRate, 10) / f, 1.0, 1e-6) << f;
  }
  EXPECT_EQ(ZeroCrossingFrequency(MakeSilence(1000, 1), kRate), 0.0);
}

TEST(PcmPacketsTest, EveryFormatRoundTripsAndClipsAtItsLimits) {
  const std::vector<double> samples = {0.0, 0.5, -0.5, 0.999, -1.0, 1.5, -1.5};
  for (const SampleFormat& f : kAllSampleFormats) {
    SCOPED_TRACE(f.name);
    const std::vector<uint8_t> bytes = EncodePcm(samples, f);
    ASSERT_EQ(bytes.size(), samples.size() * f.Bytes());
    const std::vector<double> back = DecodePcm(bytes.data(), bytes.size(), f);
    ASSERT_EQ(back.size(), samples.size());
    const double step = f.isFloat ? 1e-7 : 1.0 / f.Scale();
    for (size_t i = 0; i < 5; ++i)
      EXPECT_NEAR(back[i], samples[i], step) << i;
    if (!f.isFloat) {
      EXPECT_NEAR(back[5], 1.0 - step, 1e-12);  // clipped at the top
      EXPECT_EQ(back[6], -1.0);
    }
  }
  struct Stored {
    SampleFormat format;
    double value;
    int32_t stored;
  };
  const Stored stored[] = {{kU8, 1.0, 255},   {kU8, 0.0, 128},    {kU8, -1.0, 0},
                           {kS8, 1.0, 127},   {kU16, 0.0, 32768}, {kS16, -1.0, -32768},
                           {kS16, 1.0, 32767}};
  for (const Stored& s : stored) {
    const std::vector<uint8_t> bytes = EncodePcm({s.value}, s.format);
    EXPECT_EQ(StoredIntegers(bytes.data(), bytes.size(), s.format).at(0), s.stored)
        << s.format.name << " " << s.value;
  }
}

TEST(PcmPacketsTest, PacketsCarryTheirFormatAndAreFreedAtZero) {
  const int before = LiveTestPackets();
  {
    RefPtr<AudioFormat> format = MakeTestFormat(22050, 2, kS16);
    RefPtr<AudioPacket> packet = MakeTestPacket(format.Get(), {1, 2, 3, 4});
    EXPECT_EQ(LiveTestPackets(), before + 1);
    EXPECT_EQ(packet->format->sampleRate, 22050u);
    EXPECT_EQ(PacketBytes(*packet), (std::vector<uint8_t>{1, 2, 3, 4}));
  }
  EXPECT_EQ(LiveTestPackets(), before);
}

TEST(BiquadResponseTest, LoneBandPassesItsCentreWithZeroPhase) {
  // Band 10 of the 20-band layout at 44.1 kHz.
  const double centre = 1241.71298;
  const double width = 827.80865;
  const struct {
    double gain;
    double db;
  } cases[] = {{1.0, 6.0206}, {0.5, 3.5218}, {-0.5, -6.0206}};
  for (const auto& c : cases) {
    const BandStage stage = BandPassStage(centre, width, kRate, c.gain);
    const std::complex<double> h = BandPassResponse(stage, centre, kRate);
    EXPECT_NEAR(std::abs(h), 1.0, 1e-12);
    EXPECT_NEAR(std::arg(h), 0.0, 1e-9);
    EXPECT_NEAR(ToDb(std::abs(CascadeResponse({stage}, centre, kRate))), c.db, 1e-3);
  }
  // The bilinear design warps the edges: not 0.707 at f +- w/2.
  const BandStage stage = BandPassStage(centre, width, kRate, 1.0);
  EXPECT_NEAR(std::abs(BandPassResponse(stage, centre - width / 2, kRate)), 0.626, 5e-3);
  EXPECT_NEAR(std::abs(BandPassResponse(stage, centre + width / 2, kRate)), 0.752, 5e-3);
  EXPECT_LT(std::abs(CascadeResponse({BandPassStage(centre, width, kRate, -1.0)}, centre, kRate)),
            1e-9);
}

TEST(BiquadResponseTest, PolesLeaveTheUnitCircleOnlyForWidthsPastNyquist) {
  EXPECT_LT(PoleRadius(BandPassStage(16537.5, 11025, 44100, 1)), 1.0);
  EXPECT_LT(PoleRadius(BandPassStage(3000, 3900, 8000, 1)), 1.0);
  EXPECT_GE(PoleRadius(BandPassStage(3000, 4100, 8000, 1)), 1.0);
}

}  // namespace
}  // namespace vk2::test
