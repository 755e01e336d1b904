// Our decode against libmpg123 and ffmpeg on a few representative files; the long matrix covers
// every rate, mode and bit-rate table.
#include <gtest/gtest.h>

#include "tests/audio/decoders/mpeg/core/mpeg_test_support.h"

namespace vk2::mpegtest {
namespace {

struct Case {
  const char* name;
  int rate;
  int channels;
  const char* command;
};

const Case kCases[] = {
    {"l3_128_joint.mp3", 44100, 2, "lame --quiet -b 128 -m j %in %out"},
    {"l3_v2_vbr.mp3", 44100, 2, "lame --quiet -V 2 %in %out"},
    {"l3_mono_32k.mp3", 32000, 1, "lame --quiet -b 64 -m m %in %out"},
    {"l3_lsf_22k.mp3", 22050, 2, "lame --quiet -b 64 %in %out"},
    {"l3_mpeg25_11k.mp3", 11025, 2, "lame --quiet -b 32 %in %out"},
    {"l2_192_stereo.mp2", 44100, 2, "twolame --quiet -b 192 -m s %in %out"},
    {"l2_lsf_24k.mp2", 24000, 2, "twolame --quiet -b 96 -m j %in %out"},
};

class AccuracyTest : public ::testing::TestWithParam<Case> {};

TEST_P(AccuracyTest, FloatMeetsFullAccuracyAgainstBothReferences) {
  const Case& c = GetParam();
  std::string file = Encode(c.name, c.command, SignalWav(c.rate, c.channels, 1.5));
  ASSERT_FALSE(file.empty()) << "encoder failed";
  std::vector<uint8_t> bytes = ReadFile(file);
  Pcm ours = DecodeOurs(bytes, true, MpegProcessSimdLevel());
  Pcm mpg123 = DecodeMpg123(bytes);
  ASSERT_EQ(ours.sampleRate, mpg123.sampleRate);
  ASSERT_EQ(ours.channels, mpg123.channels);
  EXPECT_EQ(ours.samples.size(), mpg123.samples.size());
  Difference d = Compare(ours, mpg123);
  EXPECT_LT(d.rms, kRmsLimit) << "peak " << d.peak;
  EXPECT_LE(d.peak, kPeakLimit) << "rms " << d.rms;
  Pcm ffmpeg = DecodeFfmpeg(file);
  Difference f = Compare(ours, ffmpeg, 2400);
  EXPECT_LT(f.rms, kRmsLimit) << "peak " << f.peak << " offset " << f.offset;
  EXPECT_LE(f.peak, kPeakLimit) << "rms " << f.rms << " offset " << f.offset;
}

TEST_P(AccuracyTest, SixteenBitWithinOneLsb) {
  const Case& c = GetParam();
  std::string file = Encode(c.name, c.command, SignalWav(c.rate, c.channels, 1.5));
  ASSERT_FALSE(file.empty());
  std::vector<uint8_t> bytes = ReadFile(file);
  Pcm ours = DecodeOurs(bytes, false, MpegProcessSimdLevel());
  Pcm mpg123 = DecodeMpg123(bytes);
  EXPECT_LE(MaxLsbDifference(ours, mpg123), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, AccuracyTest, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string n = info.param.name;
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});

}  // namespace
}  // namespace vk2::mpegtest
