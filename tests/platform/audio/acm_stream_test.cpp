// The compression stand-in against independent decoders: files made at test time by sox and
// ffmpeg in each format, converted block by block the way the wave decoder feeds them, and
// compared byte for byte with sox's and ffmpeg's own decodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/audio/acm/acm_format.h"
#include "platform/audio/acm/acm_stream.h"
#include "platform/audio/acm/wave_format_reader.h"
#include "platform/audio/riff/riff_reader.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

struct WaveFile {
  WaveFormat format;
  std::vector<uint8_t> data;
};

bool LoadWave(const std::string& path, WaveFile& out) {
  FileByteSource file;
  if (!file.Open(path)) return false;
  RiffReader riff(file);
  RiffChunk wave, fmt, data;
  wave.formType = kFourCCWave;
  fmt.id = kFourCCFmt;
  data.id = kFourCCData;
  if (riff.Descend(&wave, nullptr, kRiffFindRiff) != kRiffOk) return false;
  if (riff.Descend(&fmt, &wave, kRiffFindChunk) != kRiffOk) return false;
  std::vector<uint8_t> bytes(fmt.size);
  if (riff.Read(bytes.data(), fmt.size) != fmt.size) return false;
  if (!ParseWaveFormat(bytes.data(), bytes.size(), out.format)) return false;
  if (riff.Ascend(fmt) != kRiffOk) return false;
  if (riff.Descend(&data, &wave, kRiffFindChunk) != kRiffOk) return false;
  out.data.resize(data.size);
  return riff.Read(out.data.data(), data.size) == data.size;
}

// Feeds `source` the way the wave decoder does: reads of `readSize`, unconsumed bytes kept at
// the front, START on the first conversion and END once the source is used up.
std::vector<uint8_t> ConvertAll(AcmStream& stream, const std::vector<uint8_t>& source,
                                uint32_t readSize, uint32_t dstSize) {
  std::vector<uint8_t> src(std::max(readSize, stream.SourceBlockBytes()) + readSize);
  std::vector<uint8_t> dst(dstSize);
  std::vector<uint8_t> out;
  AcmStreamHeader h;
  h.source = src.data();
  h.destination = dst.data();
  h.destinationLength = dstSize;
  EXPECT_EQ(stream.PrepareHeader(&h), kAcmOk);
  size_t next = 0;
  uint32_t held = 0;
  bool first = true;
  for (int guard = 0; guard < 1000000; ++guard) {
    const uint32_t take = static_cast<uint32_t>(
        std::min<size_t>({readSize, source.size() - next, src.size() - held}));
    std::copy_n(source.begin() + static_cast<ptrdiff_t>(next), take, src.begin() + held);
    next += take;
    held += take;
    const bool end = next == source.size();
    h.sourceLength = held;
    uint32_t flags = kAcmConvertBlockAlign;
    if (first) flags |= kAcmConvertStart;
    if (end) flags |= kAcmConvertEnd;
    first = false;
    EXPECT_EQ(stream.Convert(&h, flags), kAcmOk);
    out.insert(out.end(), dst.begin(), dst.begin() + h.destinationLengthUsed);
    std::copy(src.begin() + h.sourceLengthUsed, src.begin() + held, src.begin());
    held -= h.sourceLengthUsed;
    if (end && h.destinationLengthUsed == 0 && (held == 0 || h.sourceLengthUsed == 0)) break;
  }
  EXPECT_EQ(stream.UnprepareHeader(&h), kAcmOk);
  return out;
}

struct CodecCase {
  const char* name;
  std::vector<std::string> make;  // command with {out} for the file to write
  uint16_t tag;                   // the tag the file should carry
  uint32_t wantBits;              // 0: the suggested width
  const char* ffmpegRaw;          // ffmpeg output sample format for the reference
  bool compareSox;                // compare with sox's decode too
  // Largest sample difference allowed against sox. The ADPCM decoders of sox and ffmpeg round
  // the step arithmetic differently (up to a few dozen LSB from each other); ours follows
  // ffmpeg's bit for bit, and must stay this close to sox's.
  int soxTolerance = 0;
  bool independentBlocks = true;  // GSM carries filter state from block to block
};

std::vector<std::string> Sox(std::vector<std::string> opts, const char* rate, const char* ch,
                             std::vector<std::string> synth = {"sine", "200-3000", "sine", "440"}) {
  std::vector<std::string> cmd = {"sox", "-n", "-r", rate, "-c", ch};
  cmd.insert(cmd.end(), opts.begin(), opts.end());
  cmd.push_back("{out}");
  cmd.insert(cmd.end(), {"synth", "0.6"});
  cmd.insert(cmd.end(), synth.begin(), synth.end());
  cmd.insert(cmd.end(), {"vol", "0.7"});
  return cmd;
}

std::vector<std::string> Ffmpeg(const char* codec, const char* rate, const char* ch) {
  return {"ffmpeg", "-v",
          "error",  "-y",
          "-f",     "lavfi",
          "-i",     "sine=frequency=523:duration=0.6:sample_rate=" + std::string(rate),
          "-ac",    ch,
          "-c:a",   codec,
          "{out}"};
}

const CodecCase kCases[] = {
    {"pcm_u8_mono", Sox({"-e", "unsigned", "-b", "8"}, "22050", "1"), kWaveFormatPcm, 0, "u8",
     true},
    {"pcm_s16_stereo", Sox({"-b", "16"}, "44100", "2"), kWaveFormatPcm, 0, "s16le", true},
    {"pcm_s24_96k", Sox({"-b", "24"}, "96000", "2"), kWaveFormatPcm, 0, "s24le", true},
    {"pcm_s32", Sox({"-b", "32"}, "48000", "2"), kWaveFormatPcm, 0, "s32le", true},
    {"float_to_16", Sox({"-e", "floating-point", "-b", "32"}, "48000", "2"), kWaveFormatIeeeFloat,
     0, "s16le", false},
    {"float_to_24", Sox({"-e", "floating-point", "-b", "32"}, "32000", "1"), kWaveFormatIeeeFloat,
     24, "s24le", false},
    {"alaw", Sox({"-e", "a-law"}, "8000", "1"), kWaveFormatAlaw, 0, "s16le", true},
    {"mulaw_stereo", Sox({"-e", "mu-law"}, "16000", "2"), kWaveFormatMulaw, 0, "s16le", true},
    {"ima_adpcm_sox", Sox({"-e", "ima-adpcm"}, "44100", "2"), kWaveFormatImaAdpcm, 0, "s16le", true,
     96},
    {"ms_adpcm_sox", Sox({"-e", "ms-adpcm"}, "22050", "2"), kWaveFormatAdpcm, 0, "s16le", true,
     128},
    {"ima_adpcm_ffmpeg", Ffmpeg("adpcm_ima_wav", "11025", "1"), kWaveFormatImaAdpcm, 0, "s16le",
     true, 96},
    {"ms_adpcm_ffmpeg", Ffmpeg("adpcm_ms", "48000", "2"), kWaveFormatAdpcm, 0, "s16le", true, 128},
    {"gsm610", Sox({"-e", "gsm-full-rate"}, "8000", "1"), kWaveFormatGsm610, 0, "s16le", false, 0,
     false},
    {"pcm_s16_6ch", Sox({"-b", "16"}, "48000", "6"), kWaveFormatPcm, 0, "s16le", true},
    // Frames of varying length, found by libavcodec's parser.
    {"mp3_in_wave", Ffmpeg("libmp3lame", "44100", "2"), kWaveFormatMpegLayer3, 0, "s16le", false},
};

class AcmCodecTest : public ::testing::TestWithParam<CodecCase> {
 protected:
  void SetUp() override {
    for (const char* tool : {"sox", "ffmpeg"}) {
      if (!test::HaveTool(tool)) GTEST_SKIP() << tool << " not installed";
    }
  }
  test::TempFolder dir_;
};

TEST_P(AcmCodecTest, DecodesLikeTheReferenceDecoders) {
  const CodecCase& c = GetParam();
  const std::string path = dir_.File(std::string(c.name) + ".wav");
  std::vector<std::string> make = c.make;
  for (std::string& a : make) {
    if (a == "{out}") a = path;
  }
  ASSERT_EQ(test::Run(make), 0) << "could not make " << c.name;
  WaveFile wave;
  ASSERT_TRUE(LoadWave(path, wave));
  ASSERT_EQ(EffectiveFormatTag(wave.format), c.tag);
  ASSERT_TRUE(AcmCanDecode(wave.format));

  WaveFormat dst;
  uint32_t flags = kAcmSuggestFormatTag;
  dst.formatTag = kWaveFormatPcm;
  if (c.wantBits) {
    dst.bitsPerSample = static_cast<uint16_t>(c.wantBits);
    flags |= kAcmSuggestBitsPerSample;
  }
  ASSERT_EQ(AcmFormatSuggest(wave.format, &dst, flags), kAcmOk);
  EXPECT_EQ(dst.channels, wave.format.channels);
  EXPECT_EQ(dst.samplesPerSec, wave.format.samplesPerSec);

  std::unique_ptr<AcmStream> stream;
  ASSERT_EQ(AcmStream::Open(stream, wave.format, dst), kAcmOk);
  const uint32_t dstSize =
      std::max<uint32_t>(1024, stream->DestinationBlockBytes()) / dst.blockAlign * dst.blockAlign;
  const std::vector<uint8_t> ours = ConvertAll(*stream, wave.data, 1000, dstSize);

  const std::string refPath = dir_.File("ref.raw");
  ASSERT_EQ(test::Run({"ffmpeg", "-v", "error", "-y", "-i", path, "-f", c.ffmpegRaw, refPath}), 0);
  const std::vector<uint8_t> ref = test::ReadFile(refPath);
  // Block codes may end in a block the references trim by the sample count of the "fact"
  // chunk; everything up to there must agree exactly.
  const size_t tolerance =
      size_t{std::max<uint32_t>(stream->DestinationBlockBytes(), dst.blockAlign)};
  ASSERT_GT(ref.size(), 0u);
  ASSERT_LE(ours.size(), ref.size() + tolerance);
  ASSERT_GE(ours.size() + tolerance, ref.size());
  const size_t common = std::min(ours.size(), ref.size());
  const auto diff =
      std::mismatch(ours.begin(), ours.begin() + static_cast<ptrdiff_t>(common), ref.begin());
  EXPECT_EQ(diff.first - ours.begin(), static_cast<ptrdiff_t>(common)) << "ffmpeg differs";

  if (c.compareSox) {
    const std::string soxPath = dir_.File("sox.raw");
    const std::string bits = std::to_string(dst.bitsPerSample);
    const char* encoding = dst.bitsPerSample == 8 ? "unsigned-integer" : "signed-integer";
    ASSERT_EQ(test::Run({"sox", "-D", path, "-t", "raw", "-e", encoding, "-b", bits, soxPath}), 0);
    const std::vector<uint8_t> soxRef = test::ReadFile(soxPath);
    ASSERT_LE(ours.size(), soxRef.size() + tolerance);
    const size_t n = std::min(ours.size(), soxRef.size());
    if (c.soxTolerance == 0) {
      const auto d =
          std::mismatch(ours.begin(), ours.begin() + static_cast<ptrdiff_t>(n), soxRef.begin());
      EXPECT_EQ(d.first - ours.begin(), static_cast<ptrdiff_t>(n)) << "sox differs";
    } else {
      const std::vector<int16_t> a = test::ToS16({ours.begin(), ours.begin() + n});
      const std::vector<int16_t> b = test::ToS16({soxRef.begin(), soxRef.begin() + n});
      int worst = 0;
      for (size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(a[i] - b[i]));
      EXPECT_LE(worst, c.soxTolerance) << "sox differs";
    }
  }
}

TEST_P(AcmCodecTest, ABlockBoundarySeekRestartsCleanly) {
  const CodecCase& c = GetParam();
  const std::string path = dir_.File("seek.wav");
  std::vector<std::string> make = c.make;
  for (std::string& a : make) {
    if (a == "{out}") a = path;
  }
  ASSERT_EQ(test::Run(make), 0);
  WaveFile wave;
  ASSERT_TRUE(LoadWave(path, wave));
  WaveFormat dst;
  dst.formatTag = kWaveFormatPcm;
  dst.bitsPerSample = 16;
  ASSERT_EQ(AcmFormatSuggest(wave.format, &dst, kAcmSuggestBitsPerSample), kAcmOk);
  std::unique_ptr<AcmStream> stream;
  ASSERT_EQ(AcmStream::Open(stream, wave.format, dst), kAcmOk);
  const uint32_t dstSize = std::max<uint32_t>(4096, stream->DestinationBlockBytes());
  const std::vector<uint8_t> whole = ConvertAll(*stream, wave.data, 4096, dstSize);
  // Where blocks depend on the ones before, a restart mid-stream has no exact answer; the whole
  // conversion above is all there is to check.
  if (stream->DestinationBlockBytes() == 0 || !c.independentBlocks) return;
  // From the third block on, the output is the whole decode from the same point (START resets
  // the decoder's state, as a seek does).
  const size_t skipBlocks = 3;
  const std::vector<uint8_t> tail(
      wave.data.begin() + static_cast<ptrdiff_t>(skipBlocks * wave.format.blockAlign),
      wave.data.end());
  const std::vector<uint8_t> resumed = ConvertAll(*stream, tail, 777, dstSize);
  const size_t offset = skipBlocks * stream->DestinationBlockBytes();
  ASSERT_EQ(resumed.size() + offset, whole.size());
  EXPECT_TRUE(
      std::equal(resumed.begin(), resumed.end(), whole.begin() + static_cast<ptrdiff_t>(offset)));
}

INSTANTIATE_TEST_SUITE_P(Formats, AcmCodecTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AcmFormatTest, SuggestsPcmAndRefusesWhatItCannotDo) {
  WaveFormat u8 = PcmToWaveFormat({22050, 1, 8, false});
  WaveFormat dst;
  ASSERT_EQ(AcmFormatSuggest(u8, &dst, 0), kAcmOk);
  EXPECT_EQ(dst, u8);  // PCM keeps its width: 8-bit stays unsigned 8-bit
  WaveFormat alaw = u8;
  alaw.formatTag = kWaveFormatAlaw;
  alaw.samplesPerSec = 8000;
  alaw.avgBytesPerSec = 8000;
  ASSERT_EQ(AcmFormatSuggest(alaw, &dst, 0), kAcmOk);
  EXPECT_EQ(dst, PcmToWaveFormat({8000, 1, 16, false}));
  dst.channels = 2;
  EXPECT_EQ(AcmFormatSuggest(alaw, &dst, kAcmSuggestChannels), kAcmErrNotPossible);
  dst = WaveFormat{};
  dst.formatTag = kWaveFormatIeeeFloat;
  ASSERT_EQ(AcmFormatSuggest(alaw, &dst, kAcmSuggestFormatTag), kAcmOk);
  EXPECT_EQ(dst, PcmToWaveFormat({8000, 1, 32, true}));
  dst.bitsPerSample = 12;
  dst.formatTag = kWaveFormatPcm;
  EXPECT_EQ(AcmFormatSuggest(alaw, &dst, kAcmSuggestBitsPerSample), kAcmErrNotPossible);
  WaveFormat unknown = alaw;
  unknown.formatTag = 0x7A7A;
  EXPECT_EQ(AcmFormatSuggest(unknown, &dst, 0), kAcmErrNotPossible);
  EXPECT_FALSE(AcmCanDecode(unknown));
}

TEST(AcmFormatTest, NamesFormats) {
  std::string text;
  WaveFormat ima;
  ima.formatTag = kWaveFormatImaAdpcm;
  ima.channels = 2;
  ima.samplesPerSec = 44100;
  ima.bitsPerSample = 4;
  ima.blockAlign = 2048;
  ASSERT_EQ(AcmFormatDetails(ima, &text), kAcmOk);
  EXPECT_EQ(text, "IMA ADPCM, 44100 Hz, 4-bit, stereo");
  ASSERT_EQ(AcmFormatTagDetails(kWaveFormatPcm, &text), kAcmOk);
  EXPECT_EQ(text, "PCM");
  EXPECT_EQ(AcmFormatTagDetails(0x7A7A, &text), kAcmErrNotPossible);
  ima.formatTag = 0x7A7A;
  ima.channels = 6;
  ASSERT_EQ(AcmFormatDetails(ima, &text), kAcmOk);
  EXPECT_EQ(text, "Format 0x7A7A, 44100 Hz, 4-bit, 6 channels");
}

TEST(AcmStreamTest, BlockSizeArithmetic) {
  WaveFormat ima;
  ima.formatTag = kWaveFormatImaAdpcm;
  ima.channels = 2;
  ima.samplesPerSec = 44100;
  ima.avgBytesPerSec = 44359;
  ima.blockAlign = 2048;
  ima.bitsPerSample = 4;
  ima.extra = {0xF9, 0x07};  // 2041 samples per block
  WaveFormat dst;
  ASSERT_EQ(AcmFormatSuggest(ima, &dst, 0), kAcmOk);
  std::unique_ptr<AcmStream> stream;
  ASSERT_EQ(AcmStream::Open(stream, ima, dst), kAcmOk);
  EXPECT_EQ(stream->DestinationBlockBytes(), 2041u * 4);
  uint32_t n = 0;
  ASSERT_EQ(stream->Size(2048, &n, kAcmSizeSource), kAcmOk);
  EXPECT_EQ(n, 8164u);
  ASSERT_EQ(stream->Size(8164, &n, kAcmSizeDestination), kAcmOk);
  EXPECT_EQ(n, 2048u);
  // A 1024-byte destination holds no whole block: the caller must size up.
  ASSERT_EQ(stream->Size(1024, &n, kAcmSizeDestination), kAcmOk);
  EXPECT_EQ(n, 0u);

  // A destination too small for one block converts nothing and keeps the source.
  std::vector<uint8_t> src(2048, 0), out(1024);
  AcmStreamHeader h;
  h.source = src.data();
  h.sourceLength = 2048;
  h.destination = out.data();
  h.destinationLength = 1024;
  EXPECT_EQ(stream->Convert(&h, 0), kAcmErrUnprepared);
  ASSERT_EQ(stream->PrepareHeader(&h), kAcmOk);
  ASSERT_EQ(stream->Convert(&h, kAcmConvertBlockAlign), kAcmOk);
  EXPECT_EQ(h.sourceLengthUsed, 0u);
  EXPECT_EQ(h.destinationLengthUsed, 0u);
}

TEST(AcmStreamTest, DamagedBlocksBecomeSilenceOfTheirLength) {
  WaveFormat ms;
  ms.formatTag = kWaveFormatAdpcm;
  ms.channels = 1;
  ms.samplesPerSec = 8000;
  ms.avgBytesPerSec = 4096;
  ms.blockAlign = 256;
  ms.bitsPerSample = 4;
  WaveFormat dst;
  ASSERT_EQ(AcmFormatSuggest(ms, &dst, 0), kAcmOk);
  std::unique_ptr<AcmStream> stream;
  ASSERT_EQ(AcmStream::Open(stream, ms, dst), kAcmOk);
  // A predictor index of 0xFF is out of range: the block cannot decode.
  std::vector<uint8_t> src(512, 0xFF);
  std::vector<uint8_t> out(stream->DestinationBlockBytes() * 2);
  AcmStreamHeader h;
  h.source = src.data();
  h.sourceLength = 512;
  h.destination = out.data();
  h.destinationLength = static_cast<uint32_t>(out.size());
  ASSERT_EQ(stream->PrepareHeader(&h), kAcmOk);
  ASSERT_EQ(stream->Convert(&h, kAcmConvertStart | kAcmConvertEnd), kAcmOk);
  EXPECT_EQ(h.sourceLengthUsed, 512u);
  EXPECT_EQ(h.destinationLengthUsed, out.size());
}

TEST(AcmStreamTest, OpenRefusesWhatItCannotConvert) {
  const WaveFormat src = PcmToWaveFormat({44100, 2, 16, false});
  std::unique_ptr<AcmStream> stream;
  EXPECT_EQ(AcmStream::Open(stream, src, PcmToWaveFormat({48000, 2, 16, false})),
            kAcmErrNotPossible);
  EXPECT_EQ(AcmStream::Open(stream, src, PcmToWaveFormat({44100, 1, 16, false})),
            kAcmErrNotPossible);
  WaveFormat broken = src;
  broken.blockAlign = 0;
  EXPECT_EQ(AcmStream::Open(stream, broken, src), kAcmErrNotPossible);
  EXPECT_EQ(AcmStream::Open(stream, src, src, kAcmStreamOpenQuery), kAcmOk);
  EXPECT_EQ(stream, nullptr);
}

}  // namespace
}  // namespace vk2
