// The synthesis filterbank of every kernel set against the direct formulas (matrixing with the
// cosine matrix, windowing of the shifted V vector), and the output conversions.
#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <random>
#include <vector>

#include "audio/decoders/mpeg/core/denormal_guard.h"
#include "audio/decoders/mpeg/core/kernels.h"
#include "audio/decoders/mpeg/core/synthesis_filter.h"
#include "audio/decoders/mpeg/core/synthesis_window.h"

namespace vk2 {
namespace {

// The filterbank written the way the standard describes it, in double precision.
class DirectSynthesis {
 public:
  void Slot(const double* s, double* out) {
    for (int i = 1023; i >= 64; --i)
      v_[i] = v_[i - 64];
    for (int i = 0; i < 64; ++i) {
      double sum = 0;
      for (int k = 0; k < 32; ++k)
        sum += std::cos((16 + i) * (2 * k + 1) * M_PI / 64) * s[k];
      v_[i] = sum;
    }
    double u[512];
    for (int i = 0; i < 8; ++i)
      for (int j = 0; j < 32; ++j) {
        u[i * 64 + j] = v_[i * 128 + j];
        u[i * 64 + 32 + j] = v_[i * 128 + 96 + j];
      }
    const float* d = MpegSynthesisWindow();
    for (int j = 0; j < 32; ++j) {
      double sum = 0;
      for (int i = 0; i < 16; ++i)
        sum += u[j + 32 * i] * d[j + 32 * i];
      out[j] = sum;
    }
  }

 private:
  double v_[1024] = {};
};

class SynthesisLevelTest : public ::testing::TestWithParam<MpegSimdLevel> {};

TEST_P(SynthesisLevelTest, MatchesTheDirectFormula) {
  if (!MpegSimdLevelSupported(GetParam())) GTEST_SKIP() << "processor lacks the instructions";
  MpegSynthesisFilter filter(GetParam());
  DirectSynthesis direct;
  std::mt19937 random(5);
  std::uniform_real_distribution<float> value(-0.3f, 0.3f);
  // Three calls of different slot counts: 18 (layer III), 12 (layer I), 36 (layer II).
  double worst = 0;
  for (int slots : {18, 12, 36, 18}) {
    std::vector<float> subbands(32 * static_cast<size_t>(slots));
    for (float& s : subbands)
      s = value(random);
    std::vector<float> pcm(32 * static_cast<size_t>(slots));
    filter.Synthesize(0, subbands.data(), slots, slots, pcm.data());
    for (int t = 0; t < slots; ++t) {
      double s[32], out[32];
      for (int k = 0; k < 32; ++k)
        s[k] = subbands[static_cast<size_t>(k * slots + t)];
      direct.Slot(s, out);
      for (int j = 0; j < 32; ++j)
        worst = std::max(worst, std::fabs(out[j] - pcm[static_cast<size_t>(t * 32 + j)]));
    }
  }
  EXPECT_LT(worst, 2e-6);
}

INSTANTIATE_TEST_SUITE_P(Levels, SynthesisLevelTest,
                         ::testing::Values(MpegSimdLevel::kPlain, MpegSimdLevel::kSse2,
                                           MpegSimdLevel::kAvx2),
                         [](const auto& info) {
                           return std::string(MpegSimdLevelName(info.param));
                         });

TEST(SynthesisOutputTest, SixteenBitSaturatesAndFloatStaysInRange) {
  std::vector<float> sums = {1.0f, 2.0f, -1.0f, -2.0f, 1e9f, -1e9f, 0.5f, 0.0f};
  sums.resize(32, 0.25f);
  const float* planes[2] = {sums.data(), sums.data()};
  int16_t pcm[64];
  float remainder = 0;
  MpegSumsToPcm16(planes, 2, 1, pcm, remainder);
  EXPECT_EQ(pcm[0], 32767);   // 1.0 is full scale
  EXPECT_EQ(pcm[2], 32767);   // beyond it saturates
  EXPECT_EQ(pcm[4], -32767);  // -1.0
  EXPECT_EQ(pcm[6], -32768);
  EXPECT_EQ(pcm[8], 32767);
  EXPECT_EQ(pcm[10], -32768);
  float out[64];
  MpegSumsToFloat(planes, 2, 1, out);
  for (float f : out) {
    EXPECT_GE(f, -1.0f);
    EXPECT_LE(f, 1.0f);
  }
  EXPECT_EQ(out[12], 0.5f);
}

TEST(SynthesisOutputTest, RemainderCarriesAcrossSamplesChannelsAndCalls) {
  // A sum of half a step gives 0, 1, 0, 1, ... through the carried remainder.
  std::vector<float> half(32, 0.5f / 32767.0f);
  const float* planes[2] = {half.data(), half.data()};
  int16_t pcm[64];
  float remainder = 0;
  MpegSumsToPcm16(planes, 1, 1, pcm, remainder);
  for (int j = 0; j < 32; ++j)
    EXPECT_EQ(pcm[j], j % 2) << j;
  // Over both channels: the chain runs through channel 0's 32 samples, then channel 1's.
  MpegSumsToPcm16(planes, 2, 1, pcm, remainder);
  for (int j = 0; j < 32; ++j) {
    EXPECT_EQ(pcm[2 * j], j % 2) << j;
    EXPECT_EQ(pcm[2 * j + 1], j % 2) << j;
  }
  // A steady third of a step: one sample in three gets the step.
  std::vector<float> third(32, (1.0f / 3.0f) / 32767.0f);
  planes[0] = third.data();
  remainder = 0;
  int total = 0;
  for (int call = 0; call < 3; ++call) {
    MpegSumsToPcm16(planes, 1, 1, pcm, remainder);
    for (int j = 0; j < 32; ++j)
      total += pcm[j];
  }
  EXPECT_EQ(total, 32);
}

TEST(SynthesisOutputTest, DenormalGuardFlushesAndRestores) {
  unsigned before = _mm_getcsr();
  {
    MpegDenormalGuard guard;
    EXPECT_EQ(_mm_getcsr() & 0x8040u, 0x8040u);
    volatile float tiny = 1e-30f;
    volatile float product = tiny * 1e-10f;
    EXPECT_EQ(product, 0.0f);
  }
  EXPECT_EQ(_mm_getcsr(), before);
}

TEST(SynthesisOutputTest, ProcessVariantIsDecidedOnceAndRunnable) {
  int variant = MpegProcessorVariant();
  EXPECT_GE(variant, 1);
  EXPECT_LE(variant, 4);
  EXPECT_EQ(variant, MpegProcessorVariant());
  EXPECT_TRUE(MpegSimdLevelSupported(MpegProcessSimdLevel()));
}

}  // namespace
}  // namespace vk2

namespace vk2 {
namespace {

class ConversionLevelTest : public ::testing::TestWithParam<MpegSimdLevel> {};

TEST_P(ConversionLevelTest, VectorConversionsEqualThePlainOnes) {
  if (!MpegSimdLevelSupported(GetParam())) GTEST_SKIP() << "processor lacks the instructions";
  const MpegKernels& kernels = MpegKernelsFor(GetParam());
  std::mt19937 random(9);
  std::uniform_real_distribution<float> value(-1.3f, 1.3f);
  for (int channels : {1, 2}) {
    std::vector<float> a(18 * 32), b(18 * 32);
    for (size_t i = 0; i < a.size(); ++i) {
      a[i] = value(random);
      // Every seventh sum sits exactly on a half step, where the rounding goes to even.
      b[i] = (i % 7 == 0) ? (static_cast<float>(i % 5) + 0.5f) / 32767.0f : value(random);
    }
    const float* planes[2] = {a.data(), b.data()};
    std::vector<int16_t> plain(18 * 32 * 2), vector(18 * 32 * 2);
    float plainRemainder = 0.25f, vectorRemainder = 0.25f;
    for (int call = 0; call < 3; ++call) {
      MpegSumsToPcm16(planes, channels, 18, plain.data(), plainRemainder);
      kernels.toPcm16(planes, channels, 18, vector.data(), vectorRemainder);
      EXPECT_EQ(plain, vector);
      EXPECT_EQ(plainRemainder, vectorRemainder);
    }
    std::vector<float> plainFloat(18 * 32 * 2), vectorFloat(18 * 32 * 2);
    MpegSumsToFloat(planes, channels, 18, plainFloat.data());
    kernels.toFloat(planes, channels, 18, vectorFloat.data());
    EXPECT_EQ(plainFloat, vectorFloat);
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, ConversionLevelTest,
                         ::testing::Values(MpegSimdLevel::kSse2, MpegSimdLevel::kAvx2),
                         [](const auto& info) {
                           return std::string(MpegSimdLevelName(info.param));
                         });

}  // namespace
}  // namespace vk2
