// The frame stream: sync, tags, Xing, the last frame, low rates, guards, resynchronisation,
// durations and seeking (against ffprobe and libmpg123).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

#include "audio/decoders/mpeg/core/decoder_core.h"
#include "tests/audio/decoders/mpeg/core/bitstream_writer.h"
#include "tests/audio/decoders/mpeg/core/mpeg_test_support.h"

namespace vk2::mpegtest {
namespace {

std::vector<uint8_t> LameFile(const std::string& name, const std::string& options, int rate = 44100,
                              int channels = 2, double seconds = 1.5) {
  std::string file =
      Encode(name, "lame --quiet " + options + " %in %out", SignalWav(rate, channels, seconds));
  return file.empty() ? std::vector<uint8_t>{} : ReadFile(file);
}

// Frames our parser accepts over a whole stream (the Xing frame not counted).
int CountFrames(const std::vector<uint8_t>& bytes, int64_t limit = 0) {
  MemoryByteSource source(bytes);
  MpegFrameStream reader(source);
  MpegFrameParser parser(reader);
  int frames = 0;
  while (parser.NextFrame(limit) == 0) {
    reader.Skip(static_cast<uint64_t>(parser.Header().PayloadLength()));
    ++frames;
  }
  return frames;
}

double FfprobeNumber(const std::string& path, const std::string& entry) {
  std::string out = path + ".probe";
  if (!Run("ffprobe -v error -select_streams a:0 -show_entries " + entry +
           " -of default=nw=1:nk=1 '" + path + "' > '" + out + "'"))
    return -1;
  std::vector<uint8_t> text = ReadFile(out);
  return std::atof(std::string(text.begin(), text.end()).c_str());
}

std::vector<uint8_t> Id3v2Tag(size_t payload, bool footer) {
  std::vector<uint8_t> tag = {'I', 'D', '3', 4, 0, static_cast<uint8_t>(footer ? 0x10 : 0)};
  for (int shift = 21; shift >= 0; shift -= 7)
    tag.push_back(static_cast<uint8_t>((payload >> shift) & 0x7F));
  // Cover-art-like filler, full of sync-looking bytes.
  std::mt19937 random(3);
  for (size_t i = 0; i < payload; ++i)
    tag.push_back(i % 97 == 0 ? 0xFF : static_cast<uint8_t>(random()));
  if (footer) tag.insert(tag.end(), {'3', 'D', 'I', 4, 0, 0x10, 0, 0, 0, 0});
  return tag;
}

TEST(FrameStreamTest, EveryFrameIsFoundAndTheLastOneIsKept) {
  // Without the Xing frame (-t) and with padding that alternates, as most CBR files have.
  std::vector<uint8_t> bytes = LameFile("count.mp3", "-t -b 128");
  ASSERT_FALSE(bytes.empty());
  std::string path = ScratchDir() + "/count.mp3";
  int reference = static_cast<int>(FfprobeNumber(path, "stream=nb_read_packets -count_packets"));
  EXPECT_EQ(CountFrames(bytes), reference);
  // The same with an ID3v1 tag behind the last frame.
  std::vector<uint8_t> tagged = bytes;
  std::vector<uint8_t> tag(128, ' ');
  tag[0] = 'T', tag[1] = 'A', tag[2] = 'G';
  tagged.insert(tagged.end(), tag.begin(), tag.end());
  EXPECT_EQ(CountFrames(tagged), reference);
}

TEST(FrameStreamTest, LargeId3v2TagIsSkippedAndTheXingHeaderFoundBehindIt) {
  std::vector<uint8_t> mp3 = LameFile("vbr.mp3", "-V 4");
  ASSERT_FALSE(mp3.empty());
  for (bool footer : {false, true}) {
    std::vector<uint8_t> bytes = Id3v2Tag(300 * 1024, footer);
    bytes.insert(bytes.end(), mp3.begin(), mp3.end());
    MemoryByteSource source(bytes);
    MpegFrameStream reader(source);
    MpegFrameParser parser(reader);
    ASSERT_EQ(parser.NextFrame(MpegFrameParser::kDetectionSearchLimit), 0);
    EXPECT_TRUE(parser.Xing().present);
    EXPECT_GT(parser.Xing().frames, 0u);
    // The first audio frame follows the Xing frame, which follows the tag.
    EXPECT_EQ(parser.HeaderPosition(), parser.AudioStart());
    EXPECT_GT(parser.AudioStart(), static_cast<int64_t>(bytes.size() - mp3.size()));
    EXPECT_LT(parser.AudioStart(), static_cast<int64_t>(bytes.size() - mp3.size()) + 1500);
  }
}

TEST(FrameStreamTest, JunkDeeperThanTheSearchLimitIsRefused) {
  std::vector<uint8_t> mp3 = LameFile("cbr.mp3", "-b 128");
  std::vector<uint8_t> bytes(MpegFrameParser::kDetectionSearchLimit + 1000, 0x00);
  bytes.insert(bytes.end(), mp3.begin(), mp3.end());
  MemoryByteSource source(bytes);
  MpegFrameStream reader(source);
  MpegFrameParser parser(reader);
  EXPECT_EQ(parser.NextFrame(MpegFrameParser::kDetectionSearchLimit), -1);
  // Without a limit the frame is found.
  MemoryByteSource again(bytes);
  MpegFrameStream reader2(again);
  MpegFrameParser parser2(reader2);
  EXPECT_EQ(parser2.NextFrame(0), 0);
}

TEST(FrameStreamTest, FreeFormatAndReservedHeadersAreNeverAccepted) {
  // Four frames' worth of identical headers with bit-rate index 0 (free format) and 15.
  for (uint32_t header : {0xFFFB0064u, 0xFFFBF064u, 0xFFFB0C64u}) {
    std::vector<uint8_t> bytes;
    for (int f = 0; f < 8; ++f) {
      for (int i = 3; i >= 0; --i)
        bytes.push_back(static_cast<uint8_t>(header >> (8 * i)));
      bytes.resize(bytes.size() + 413, 0);
    }
    EXPECT_EQ(CountFrames(bytes), 0) << std::hex << header;
  }
}

struct LowRate {
  const char* name;
  int rate;
  const char* options;
};

class LowRateTest : public ::testing::TestWithParam<LowRate> {};

TEST_P(LowRateTest, SmallLegalFramesDecodeLikeTheReference) {
  const LowRate& c = GetParam();
  std::vector<uint8_t> bytes = LameFile(c.name, c.options, c.rate, 1, 1.0);
  ASSERT_FALSE(bytes.empty());
  Pcm ours = DecodeOurs(bytes, true, MpegProcessSimdLevel());
  Pcm mpg123 = DecodeMpg123(bytes);
  EXPECT_EQ(ours.samples.size(), mpg123.samples.size());
  Difference d = Compare(ours, mpg123);
  EXPECT_LT(d.rms, kRmsLimit);
  EXPECT_LE(d.peak, kPeakLimit);
}

INSTANTIATE_TEST_SUITE_P(Rates, LowRateTest,
                         ::testing::Values(LowRate{"m2_8k_24.mp3", 24000, "-b 8"},
                                           LowRate{"m2_16k_22.mp3", 22050, "-b 16"},
                                           LowRate{"m25_8k_11.mp3", 11025, "-b 8"},
                                           LowRate{"m25_8k_8.mp3", 8000, "-b 8"}),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           return n.substr(0, n.find('.'));
                         });

TEST(FrameStreamTest, SmallLayerIFramesAreAccepted) {
  // 32 kbit/s at 48 kHz: 32-byte frames.
  WriterOptions o;
  o.sampleRateIndex = 1;
  o.bitrateIndex = 1;
  o.mode = 3;
  o.frames = 20;
  EXPECT_EQ(CountFrames(WriteLayer1(o)), 20);
}

TEST(FrameStreamTest, FiguresAreZeroBeforeAnyFrameAndWithAnEmptyXingRecord) {
  std::vector<uint8_t> none;
  MemoryByteSource empty(none);
  MpegFrameStream reader(empty);
  MpegFrameParser parser(reader);
  EXPECT_EQ(parser.AverageBitrate(), 0.0);
  EXPECT_EQ(parser.TotalTimeEstimate(), 0.0);
  EXPECT_FALSE(parser.SeekToTime(1000));
  EXPECT_EQ(parser.NextFrame(), -1);

  // A Xing record that claims no frames and no bytes.
  std::vector<uint8_t> bytes = LameFile("vbr.mp3", "-V 4");
  const uint8_t tagName[] = {'X', 'i', 'n', 'g'};
  auto xing = std::search(bytes.begin(), bytes.end(), tagName, tagName + 4);
  ASSERT_NE(xing, bytes.end());
  ASSERT_LT(xing + 16, bytes.end());
  std::fill(xing + 8, xing + 16, 0);  // frame and byte counts
  MemoryByteSource source(bytes);
  MpegFrameStream zeroReader(source);
  MpegFrameParser zeroParser(zeroReader);
  ASSERT_EQ(zeroParser.NextFrame(), 0);
  EXPECT_TRUE(std::isfinite(zeroParser.AverageBitrate()));
  EXPECT_TRUE(std::isfinite(zeroParser.TotalTimeEstimate()));
  EXPECT_GT(zeroParser.TotalTimeEstimate(), 0.0);
  EXPECT_TRUE(zeroParser.SeekToTime(500));
  EXPECT_EQ(zeroParser.NextFrame(), 0);
}

TEST(FrameStreamTest, VbrFlagIsSetByTheFirstBitrateChangeAndStays) {
  std::vector<uint8_t> bytes = LameFile("vbr.mp3", "-V 4");
  MemoryByteSource source(bytes);
  MpegFrameStream reader(source);
  MpegFrameParser parser(reader);
  int first = -1;
  bool changed = false;
  while (parser.NextFrame() == 0) {
    if (first < 0) first = parser.Header().bitrateIndex;
    if (parser.Header().bitrateIndex != first) changed = true;
    EXPECT_EQ(parser.IsVbr(), changed);
    reader.Skip(static_cast<uint64_t>(parser.Header().PayloadLength()));
  }
  EXPECT_TRUE(changed);
}

TEST(FrameStreamTest, AnotherSampleRateIsRefusedWhileTheStreamIsKnown) {
  std::vector<uint8_t> a = LameFile("cbr.mp3", "-b 128");
  std::vector<uint8_t> b = LameFile("cbr48.mp3", "-b 128 -t", 48000);
  MemoryByteSource source(a);
  MpegFrameStream reader(source);
  MpegFrameParser parser(reader);
  ASSERT_EQ(parser.NextFrame(), 0);
  // Put a 48 kHz frame right behind: it does not match the reference header.
  std::vector<uint8_t> mixed(a.begin(),
                             a.begin() + parser.HeaderPosition() + parser.Header().frameLength);
  mixed.insert(mixed.end(), b.begin(), b.begin() + 2000);
  MemoryByteSource source2(mixed);
  MpegFrameStream reader2(source2);
  MpegFrameParser parser2(reader2);
  ASSERT_EQ(parser2.NextFrame(), 0);
  EXPECT_EQ(parser2.Header().sampleRate, 44100);
}

// Corrupted bytes in the middle: decoding goes on, and a couple of frames later the output is
// that of the reference again. Also on a live source that cannot seek.
class ResyncTest : public ::testing::TestWithParam<int> {};

TEST_P(ResyncTest, OutputMatchesTheReferenceAgainWithinTwoFrames) {
  std::vector<uint8_t> clean = LameFile("resync.mp3", "-b 160 -t", 44100, 2, 3.0);
  ASSERT_FALSE(clean.empty());
  Pcm reference = DecodeMpg123(clean);
  std::vector<uint8_t> bytes = clean;
  size_t at = bytes.size() / 2;
  std::mt19937 random(static_cast<unsigned>(GetParam()));
  for (int i = 0; i < GetParam(); ++i)
    bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(random());
  for (bool live : {false, true}) {
    MemoryByteSource source(bytes);
    source.SetSeekable(!live);
    MpegDecoderCore core(source);
    std::vector<float> out;
    float frame[MpegLayerDecoder::kMaxFrameSamples];
    std::vector<int64_t> starts;
    for (int n; (n = core.Decode(frame, true)) >= 0;) {
      starts.push_back(core.Parser().HeaderPosition());
      out.insert(out.end(), frame, frame + n);
    }
    // Frames before the damage match one for one; frames that start two frames after it match
    // the reference frame from the same place in the file.
    const size_t frameSamples = 2304;
    size_t lost =
        (reference.samples.size() - std::min(reference.samples.size(), out.size())) / frameSamples;
    EXPECT_LE(lost, static_cast<size_t>(GetParam()) / 522 + 3) << "live " << live;
    int checked = 0;
    for (size_t f = 0; f < starts.size(); ++f) {
      if (starts[f] < static_cast<int64_t>(at) + GetParam() + 2 * 522) continue;
      // Decoded frame f is the (f + lost)-th of the reference.
      size_t ours = f * frameSamples, theirs = (f + lost) * frameSamples;
      if (theirs + frameSamples > reference.samples.size()) break;
      double peak = 0;
      for (size_t i = 0; i < frameSamples; ++i)
        peak = std::max(peak, std::fabs(static_cast<double>(out[ours + i]) -
                                        std::clamp(reference.samples[theirs + i], -1.0f, 1.0f)));
      // The first frame after the damage may still miss reservoir data or overlap.
      if (checked > 0) {
        EXPECT_LE(peak, kPeakLimit) << "frame " << f << " live " << live;
      }
      ++checked;
    }
    EXPECT_GT(checked, 10);
  }
}

INSTANTIATE_TEST_SUITE_P(CorruptBytes, ResyncTest, ::testing::Values(1, 17, 600, 5000));

struct DurationCase {
  const char* name;
  int rate;
  const char* options;
};

class DurationTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(DurationTest, TotalTimeAgreesWithFfprobe) {
  const DurationCase& c = GetParam();
  std::string path = Encode(c.name, std::string("lame --quiet ") + c.options + " %in %out",
                            SignalWav(c.rate, 2, 3.0));
  ASSERT_FALSE(path.empty());
  std::vector<uint8_t> bytes = ReadFile(path);
  double expected = FfprobeNumber(path, "format=duration") * 1000.0;
  MemoryByteSource source(bytes);
  MpegDecoderCore core(source);
  ASSERT_EQ(core.NextFrame(), 0);
  double frameMs = core.Header().DurationMs();
  EXPECT_NEAR(core.Parser().TotalTimeEstimate(), expected, 1.5 * frameMs);
}

TEST_P(DurationTest, SeekLandsWhereTheReferenceHasTheSameAudio) {
  const DurationCase& c = GetParam();
  std::string path = Encode(c.name, std::string("lame --quiet ") + c.options + " %in %out",
                            SignalWav(c.rate, 2, 3.0));
  std::vector<uint8_t> bytes = ReadFile(path);
  Pcm reference = DecodeMpg123(bytes);
  MemoryByteSource source(bytes);
  MpegDecoderCore core(source);
  float frame[MpegLayerDecoder::kMaxFrameSamples];
  ASSERT_GE(core.Decode(frame, true), 0);
  const int channels = core.Header().channels;
  const int perFrame = core.Header().samplesPerFrame;
  for (double target : {0.0, 700.0, 1900.0}) {
    ASSERT_TRUE(core.SeekToTime(target));
    double claimed = core.Parser().PositionMs();
    std::vector<float> out;
    for (int i = 0; i < 4; ++i) {
      int n = core.Decode(frame, true);
      ASSERT_GT(n, 0);
      out.insert(out.end(), frame, frame + n);
    }
    // Where in the reference does the second decoded frame sit?
    const size_t probe = static_cast<size_t>(perFrame * channels);
    long best = -1;
    double bestError = 1e9;
    for (size_t start = 0; start + 2 * probe <= reference.samples.size(); start += probe) {
      double error = 0;
      for (size_t i = 0; i < probe; ++i)
        error += std::fabs(out[probe + i] - reference.samples[start + i]);
      if (error < bestError) bestError = error, best = static_cast<long>(start / probe);
    }
    ASSERT_GE(best, 0);
    double actualMs = (best - 1) * perFrame * 1000.0 / core.Header().sampleRate;
    EXPECT_NEAR(actualMs, claimed, 2.0 * core.Header().DurationMs()) << "target " << target;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, DurationTest,
                         ::testing::Values(DurationCase{"dur_cbr.mp3", 44100, "-t -b 128"},
                                           DurationCase{"dur_vbr.mp3", 44100, "-V 3"},
                                           DurationCase{"dur_lsf_vbr.mp3", 22050, "-V 5"},
                                           DurationCase{"dur_lsf_cbr.mp3", 24000, "-t -b 64"}),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           return n.substr(0, n.find('.'));
                         });

}  // namespace
}  // namespace vk2::mpegtest
