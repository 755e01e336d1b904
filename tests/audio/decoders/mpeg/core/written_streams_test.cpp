// Streams from the test-only writers (layer I, every layer II class and the bound guard, layer
// III intensity stereo, short and mixed blocks), decoded by us, libmpg123 and ffmpeg.
#include <gtest/gtest.h>

#include "audio/decoders/mpeg/core/decoder_core.h"
#include "tests/audio/decoders/mpeg/core/bitstream_writer.h"
#include "tests/audio/decoders/mpeg/core/mpeg_test_support.h"

namespace vk2::mpegtest {
namespace {

struct WrittenCase {
  const char* name;
  int layer;
  WriterOptions options;
  // ffmpeg reads the largest MPEG-2 intensity position as a position; libmpg123 and we read it
  // as "no intensity stereo here", as the standard has it.
  bool ffmpegAgrees = true;
};

WriterOptions Opt(int version, int rate, int bitrate, int mode, int extension, int blockType = 0,
                  bool mixed = false, bool illegal = false) {
  WriterOptions o;
  o.version = version;
  o.sampleRateIndex = rate;
  o.bitrateIndex = bitrate;
  o.mode = mode;
  o.modeExtension = extension;
  o.blockType = blockType;
  o.mixed = mixed;
  o.illegalIntensity = illegal;
  o.frames = 24;
  return o;
}

const WrittenCase kWritten[] = {
    {"l1_stereo", 1, Opt(0, 0, 14, 0, 0)},
    {"l1_joint_bound4", 1, Opt(0, 0, 12, 1, 0)},
    {"l1_joint_bound16", 1, Opt(0, 1, 12, 1, 3)},
    {"l1_mono_32k", 1, Opt(0, 2, 6, 3, 0)},
    {"l1_mpeg2_24k", 1, Opt(1, 1, 14, 0, 0)},
    {"l2_table_b_stereo", 2, Opt(0, 0, 10, 0, 0)},
    {"l2_table_a_joint", 2, Opt(0, 1, 8, 1, 1)},
    {"l2_table_c_mono", 2, Opt(0, 1, 2, 3, 0)},
    {"l2_table_c_bound_above_sblimit", 2, Opt(0, 0, 4, 1, 2)},
    {"l2_table_d_bound_above_sblimit", 2, Opt(0, 2, 4, 1, 3)},
    {"l2_lsf_classes_stereo", 2, Opt(1, 1, 14, 0, 0)},
    {"l2_lsf_classes_joint", 2, Opt(1, 0, 12, 1, 1)},
    {"l2_lsf_classes_mono", 2, Opt(1, 2, 8, 3, 0)},
    {"l3_intensity_long", 3, Opt(0, 0, 14, 1, 1)},
    {"l3_intensity_ms_long", 3, Opt(0, 0, 14, 1, 3)},
    {"l3_intensity_illegal", 3, Opt(0, 1, 14, 1, 3, 0, false, true)},
    {"l3_intensity_short", 3, Opt(0, 0, 14, 1, 1, 2)},
    {"l3_intensity_mixed", 3, Opt(0, 0, 14, 1, 1, 2, true)},
    {"l3_mixed_stereo", 3, Opt(0, 0, 14, 0, 0, 2, true)},
    {"l3_mixed_ms", 3, Opt(0, 2, 14, 1, 2, 2, true)},
    {"l3_lsf_intensity_long", 3, Opt(1, 0, 14, 1, 1)},
    {"l3_lsf_intensity_short", 3, Opt(1, 1, 14, 1, 3, 2)},
    {"l3_lsf_intensity_illegal", 3, Opt(1, 0, 14, 1, 1, 0, false, true), false},
    {"l3_lsf_intensity_ms_16k", 3, Opt(1, 2, 14, 1, 3)},
    {"l3_lsf_mixed", 3, Opt(1, 0, 14, 0, 0, 2, true)},
};

class WrittenStreamTest : public ::testing::TestWithParam<WrittenCase> {};

TEST_P(WrittenStreamTest, MatchesBothReferences) {
  const WrittenCase& c = GetParam();
  std::vector<uint8_t> bytes = c.layer == 1   ? WriteLayer1(c.options)
                               : c.layer == 2 ? WriteLayer2(c.options)
                                              : WriteLayer3(c.options);
  ASSERT_FALSE(bytes.empty());
  Pcm ours = DecodeOurs(bytes, true, MpegProcessSimdLevel());
  Pcm mpg123 = DecodeMpg123(bytes);
  ASSERT_GT(ours.samples.size(), 0u);
  EXPECT_EQ(ours.samples.size(), mpg123.samples.size());
  Difference d = Compare(ours, mpg123);
  EXPECT_LT(d.rms, kRmsLimit) << "peak " << d.peak;
  EXPECT_LE(d.peak, kPeakLimit) << "rms " << d.rms;
  if (!c.ffmpegAgrees) return;
  std::string path = ScratchDir() + "/" + c.name + (c.layer == 3 ? ".mp3" : ".mp2");
  WriteFile(path, bytes);
  Pcm ffmpeg = DecodeFfmpeg(path);
  Difference f = Compare(ours, ffmpeg, 1200);
  EXPECT_LT(f.rms, kRmsLimit) << "peak " << f.peak << " offset " << f.offset;
  EXPECT_LE(f.peak, kPeakLimit) << "rms " << f.rms << " offset " << f.offset;
}

INSTANTIATE_TEST_SUITE_P(Writers, WrittenStreamTest, ::testing::ValuesIn(kWritten),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vk2::mpegtest

namespace vk2::mpegtest {
namespace {

// Frames a layer decoder refuses (a layer I allocation of 15, a layer III table that does not
// exist) are skipped; the frames around them decode as the reference has them.
TEST(BadFrameTest, RefusedFramesAreSkippedAndTheRestDecodes) {
  WriterOptions o;
  o.frames = 12;
  o.mode = 3;
  std::vector<uint8_t> layer1 = WriteLayer1(o);
  const size_t frame1 = layer1.size() / 12;
  layer1[5 * frame1 + 4] |= 0xF0;  // first allocation field of frame 5
  WriterOptions o3;
  o3.frames = 12;
  std::vector<uint8_t> layer3 = WriteLayer3(o3);
  const size_t frame3 = layer3.size() / 12;
  // table_select of region 0, granule 0, channel 0 (bits 54 to 58 of the side information, 13
  // as written) becomes 4, a table that does not exist.
  uint8_t* side = layer3.data() + 5 * frame3 + 4;
  side[6] = static_cast<uint8_t>(side[6] & ~0x03);
  side[7] = static_cast<uint8_t>((side[7] & 0x1F) | 0x80);
  for (const std::vector<uint8_t>* bytes : {&layer1, &layer3}) {
    MemoryByteSource source(*bytes);
    MpegDecoderCore core(source);
    float out[MpegLayerDecoder::kMaxFrameSamples];
    int frames = 0, bad = 0;
    while (core.NextFrame() == 0) {
      int n = core.DecodeFrame(out, true);
      if (n < 0)
        ++bad;
      else
        ++frames;
    }
    EXPECT_GE(bad, 1);
    EXPECT_GE(frames, 10);
  }
}

}  // namespace
}  // namespace vk2::mpegtest
