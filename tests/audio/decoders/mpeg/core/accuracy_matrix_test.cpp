// The long matrix: every sample rate, channel mode and bit-rate table the Debian encoders make
// (lame for layer III: CBR 8 to 320 kbit/s, VBR, ABR, short blocks forced and forbidden; twolame
// and ffmpeg for layer II), each decoded by every kernel set and compared with libmpg123 and
// ffmpeg: full accuracy on float output, 16-bit within one step.
#include <gtest/gtest.h>

#include <utility>

#include "tests/audio/decoders/mpeg/core/mpeg_test_support.h"

namespace vk2::mpegtest {
namespace {

struct MatrixCase {
  std::string name;
  int rate;
  int channels;
  std::string command;
};

// ffmpeg's layer III decoder reads 24 kHz streams differently from libmpg123 and from us; against
// the encoder's input both libmpg123's output and ours are the closer ones, so at that rate only
// libmpg123 is the reference.
bool FfmpegAgrees(const MatrixCase& c) {
  return !(c.rate == 24000 && c.name.rfind("lame", 0) == 0);
}

std::vector<MatrixCase> Cases() {
  std::vector<MatrixCase> cases;
  auto add = [&](std::string name, int rate, int channels, std::string command) {
    cases.push_back({std::move(name), rate, channels, std::move(command)});
  };
  const int lameRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
  for (int rate : lameRates) {
    const bool mpeg1 = rate >= 32000;
    const std::string r = std::to_string(rate);
    // Joint stereo and mono at both ends of the bit-rate table, stereo and dual in the middle.
    for (int kbps : mpeg1 ? std::vector<int>{32, 320} : std::vector<int>{8, 160}) {
      if (kbps >= 16)
        add("lame_" + r + "_j_" + std::to_string(kbps), rate, 2,
            "lame --quiet -m j -b " + std::to_string(kbps) + " %in %out");
      add("lame_" + r + "_m_" + std::to_string(kbps), rate, 1,
          "lame --quiet -m m -b " + std::to_string(kbps) + " %in %out");
    }
    const std::string mid = mpeg1 ? "128" : "64";
    add("lame_" + r + "_s_" + mid, rate, 2, "lame --quiet -m s -b " + mid + " %in %out");
    add("lame_" + r + "_d_" + mid, rate, 2, "lame --quiet -m d -b " + mid + " %in %out");
  }
  for (int rate : {8000, 12000, 24000, 32000, 44100}) {
    const std::string r = std::to_string(rate);
    add("lame_" + r + "_vbr0", rate, 2, "lame --quiet -V 0 %in %out");
    add("lame_" + r + "_vbr6", rate, 2, "lame --quiet -V 6 %in %out");
    add("lame_" + r + "_abr96", rate, 2, "lame --quiet --abr 96 %in %out");
  }
  for (int rate : {22050, 44100})
    for (const char* blocks : {"noshort", "allshort", "short"})
      add("lame_" + std::to_string(rate) + "_" + blocks, rate, 2,
          std::string("lame --quiet -b 128 --") + blocks + " %in %out");
  for (int rate : {16000, 22050, 24000, 32000, 44100, 48000}) {
    const bool mpeg1 = rate >= 32000;
    for (const char* mode : {"s", "j", "d", "m"}) {
      int channels = mode[0] == 'm' ? 1 : 2;
      std::vector<int> bitrates = !mpeg1          ? std::vector<int>{8, 160}
                                  : channels == 1 ? std::vector<int>{32, 192}
                                                  : std::vector<int>{64, 384};
      for (int kbps : bitrates)
        add("twolame_" + std::to_string(rate) + "_" + mode + "_" + std::to_string(kbps), rate,
            channels,
            "twolame --quiet -m " + std::string(mode) + " -b " + std::to_string(kbps) +
                " %in %out");
    }
  }
  for (int rate : {22050, 24000, 44100, 48000})
    for (int channels : {1, 2})
      add("ffmpeg_mp2_" + std::to_string(rate) + "_" + std::to_string(channels), rate, channels,
          "ffmpeg -v error -y -i %in -c:a mp2 -b:a " +
              std::string(channels == 1  ? "64k"
                          : rate < 32000 ? "160k"
                                         : "192k") +
              " -f mp2 %out");
  return cases;
}

class MatrixTest : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(MatrixTest, EveryKernelSetMeetsFullAccuracy) {
  const MatrixCase& c = GetParam();
  std::string file = Encode(c.name, c.command, SignalWav(c.rate, c.channels, 0.6));
  if (file.empty()) GTEST_SKIP() << "the encoder refuses this combination";
  std::vector<uint8_t> bytes = ReadFile(file);
  Pcm mpg123 = DecodeMpg123(bytes);
  ASSERT_GT(mpg123.samples.size(), 0u);
  for (MpegSimdLevel level : {MpegSimdLevel::kPlain, MpegSimdLevel::kSse2, MpegSimdLevel::kAvx2}) {
    if (!MpegSimdLevelSupported(level)) continue;
    SCOPED_TRACE(MpegSimdLevelName(level));
    Pcm ours = DecodeOurs(bytes, true, level);
    EXPECT_EQ(ours.sampleRate, mpg123.sampleRate);
    EXPECT_EQ(ours.samples.size(), mpg123.samples.size());
    Difference d = Compare(ours, mpg123);
    EXPECT_LT(d.rms, kRmsLimit) << "peak " << d.peak;
    EXPECT_LE(d.peak, kPeakLimit) << "rms " << d.rms;
  }
  if (FfmpegAgrees(c)) {
    Pcm ours = DecodeOurs(bytes, true, MpegProcessSimdLevel());
    Pcm ffmpeg = DecodeFfmpeg(file);
    Difference f = Compare(ours, ffmpeg, 2400);
    EXPECT_LT(f.rms, kRmsLimit) << "peak " << f.peak << " offset " << f.offset;
    EXPECT_LE(f.peak, kPeakLimit) << "rms " << f.rms << " offset " << f.offset;
  }
  Pcm ours16 = DecodeOurs(bytes, false, MpegProcessSimdLevel());
  EXPECT_LE(MaxLsbDifference(ours16, mpg123), 1);
}

INSTANTIATE_TEST_SUITE_P(Encoders, MatrixTest, ::testing::ValuesIn(Cases()), [](const auto& info) {
  std::string n = info.param.name;
  for (char& ch : n)
    if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
  return n;
});

}  // namespace
}  // namespace vk2::mpegtest
