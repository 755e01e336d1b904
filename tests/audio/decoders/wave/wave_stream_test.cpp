#include "audio/decoders/wave/wave_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

#include "foundation/bytes/byte_source.h"
#include "platform/audio/acm/wave_format_reader.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

using test::ReadFile;
using test::RunTool;

// How a fixture is made, and what it decodes to.
struct WaveCase {
  const char* name;
  std::vector<std::string> make;  // tool and arguments; "%o" is the output file
  uint16_t outBits;               // the PCM width the decoder gives
  const char* ffmpegFormat;       // raw format of ffmpeg's reference decode
  bool soxAgrees;                 // also compared with sox's decode
};

std::vector<std::string> Sox(const std::string& rate, const std::string& channels,
                             std::vector<std::string> encoding, const std::string& seconds = "1") {
  std::vector<std::string> args = {"sox", "-q", "-D", "-n", "-r", rate, "-c", channels};
  args.insert(args.end(), encoding.begin(), encoding.end());
  args.insert(args.end(), {"%o", "synth", seconds, "sine", "300-3000", "vol", "0.8"});
  return args;
}

std::vector<std::string> Ffmpeg(const std::string& rate, const std::string& channels,
                                const std::string& codec, const std::string& seconds = "1") {
  return {"ffmpeg", "-v",
          "error",  "-y",
          "-f",     "lavfi",
          "-i",     "sine=frequency=440:sample_rate=" + rate + ":duration=" + seconds,
          "-af",    "volume=0.9",
          "-ac",    channels,
          "-c:a",   codec,
          "%o"};
}

class WaveFixtures {
 public:
  static WaveFixtures& Get() {
    static WaveFixtures f;
    return f;
  }
  bool Ok() const { return ok_; }
  std::string Make(const WaveCase& c) {
    auto it = made_.find(c.name);
    if (it != made_.end()) return it->second;
    const std::string out = folder_.Path() + "/" + c.name + ".wav";
    std::vector<std::string> args = c.make;
    for (auto& a : args) {
      if (a == "%o") a = out;
    }
    if (!RunTool(args)) return {};
    return made_[c.name] = out;
  }
  std::vector<uint8_t> FfmpegDecode(const std::string& wav, const char* format) {
    const std::string raw = wav + "." + format + ".ffmpeg.raw";
    if (!RunTool({"ffmpeg", "-v", "error", "-y", "-i", wav, "-f", format, raw})) return {};
    return ReadFile(raw);
  }
  std::vector<uint8_t> SoxDecode(const std::string& wav, uint16_t bits) {
    const std::string raw = wav + ".sox.raw";
    std::vector<std::string> args = {"sox", "-q",  "-D", wav,
                                     "-t",  "raw", "-b", std::to_string(bits)};
    args.insert(args.end(), {"-e", bits == 8 ? "unsigned-integer" : "signed-integer", "-L", raw});
    if (!RunTool(args)) return {};
    return ReadFile(raw);
  }
  const std::string& Folder() const { return folder_.Path(); }

 private:
  WaveFixtures() { ok_ = test::HaveTool("sox") && test::HaveTool("ffmpeg"); }
  test::TempFolder folder_;
  std::map<std::string, std::string> made_;
  bool ok_ = false;
};

struct Decoded {
  std::vector<uint8_t> bytes;
  std::vector<WavePacket> packets;
  int32_t error = 0;
};

Decoded DecodeAll(WaveStream& stream) {
  Decoded d;
  std::vector<uint8_t> buffer(stream.MaxPacketBytes());
  for (int guard = 0; guard < 1000000; ++guard) {
    WavePacket p;
    d.error = stream.Read(buffer.data(), p);
    if (d.error < 0) break;
    d.packets.push_back(p);
    d.bytes.insert(d.bytes.end(), buffer.begin(), buffer.begin() + p.bytes);
    if (p.last) break;
  }
  return d;
}

class WaveStreamTest : public ::testing::TestWithParam<WaveCase> {
 protected:
  void SetUp() override {
    if (!WaveFixtures::Get().Ok()) GTEST_SKIP() << "sox or ffmpeg missing";
  }
};

TEST_P(WaveStreamTest, DecodesBitExactLikeTheReferenceDecoders) {
  const WaveCase c = GetParam();
  const std::string wav = WaveFixtures::Get().Make(c);
  ASSERT_FALSE(wav.empty()) << "could not make " << c.name;
  MemoryByteSource source(ReadFile(wav));
  WaveStream stream;
  ASSERT_EQ(stream.Open(source, false), WaveOpenError::kNone);
  EXPECT_EQ(stream.Info().destination.bitsPerSample, c.outBits);
  const Decoded d = DecodeAll(stream);
  ASSERT_EQ(d.error, 0);
  ASSERT_FALSE(d.packets.empty());
  // The first packet already carries sound; only the last is flagged last.
  EXPECT_GT(d.packets.front().bytes, 0u);
  EXPECT_TRUE(d.packets.front().first);
  EXPECT_TRUE(d.packets.front().discontinuity);
  EXPECT_TRUE(d.packets.back().last);
  const uint32_t frame = stream.DestinationFrameBytes();
  for (size_t i = 0; i < d.packets.size(); ++i) {
    EXPECT_EQ(d.packets[i].bytes % frame, 0u);
    if (i + 1 < d.packets.size()) {
      EXPECT_FALSE(d.packets[i].last);
    }
  }
  const std::vector<uint8_t> ffmpeg = WaveFixtures::Get().FfmpegDecode(wav, c.ffmpegFormat);
  ASSERT_FALSE(ffmpeg.empty());
  EXPECT_EQ(d.bytes.size(), ffmpeg.size());
  EXPECT_TRUE(d.bytes == ffmpeg) << "differs from ffmpeg";
  if (c.soxAgrees) {
    EXPECT_TRUE(d.bytes == WaveFixtures::Get().SoxDecode(wav, c.outBits)) << "differs from sox";
  }
  // Timestamps follow the frames handed out.
  const double seconds =
      static_cast<double>(d.bytes.size() / frame) / stream.Info().destination.samplesPerSec;
  EXPECT_NEAR(stream.DecodedSeconds(), seconds, 1e-9);
  EXPECT_NEAR(stream.Info().totalSeconds, seconds, 0.06);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WaveStreamTest,
    ::testing::Values(
        WaveCase{"u8_mono_8k", Sox("8000", "1", {"-b", "8", "-e", "unsigned-integer"}), 8, "u8",
                 true},
        WaveCase{"s16_stereo_44k", Sox("44100", "2", {"-b", "16"}), 16, "s16le", true},
        WaveCase{"s24_stereo_96k", Sox("96000", "2", {"-b", "24"}), 24, "s24le", true},
        WaveCase{"s32_six_48k", Sox("48000", "6", {"-b", "32"}), 32, "s32le", true},
        WaveCase{"s16_three_22k", Sox("22050", "3", {"-b", "16"}), 16, "s16le", true},
        WaveCase{"f32_stereo_44k", Ffmpeg("44100", "2", "pcm_f32le"), 16, "s16le", false},
        WaveCase{"alaw_mono_8k", Sox("8000", "1", {"-e", "a-law"}), 16, "s16le", true},
        WaveCase{"mulaw_stereo_16k", Sox("16000", "2", {"-e", "u-law"}), 16, "s16le", true},
        WaveCase{"ima_stereo_44k", Sox("44100", "2", {"-e", "ima-adpcm"}), 16, "s16le", false},
        WaveCase{"ima_mono_11k_ffmpeg", Ffmpeg("11025", "1", "adpcm_ima_wav"), 16, "s16le", false},
        WaveCase{"ms_stereo_22k", Sox("22050", "2", {"-e", "ms-adpcm"}), 16, "s16le", false},
        WaveCase{"ms_mono_8k_ffmpeg", Ffmpeg("8000", "1", "adpcm_ms"), 16, "s16le", false},
        WaveCase{"gsm_mono_8k", Sox("8000", "1", {"-e", "gsm-full-rate"}), 16, "s16le", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WaveSeekTest, SeeksLandOnBlockStartsWithMatchingTimes) {
  if (!WaveFixtures::Get().Ok()) GTEST_SKIP();
  for (const WaveCase& c :
       {WaveCase{"ima_stereo_44k", Sox("44100", "2", {"-e", "ima-adpcm"}), 16, "s16le", false},
        WaveCase{"s16_stereo_44k", Sox("44100", "2", {"-b", "16"}), 16, "s16le", true},
        WaveCase{"u8_mono_8k", Sox("8000", "1", {"-b", "8", "-e", "unsigned-integer"}), 8, "u8",
                 true}}) {
    const std::string wav = WaveFixtures::Get().Make(c);
    const std::vector<uint8_t> reference = WaveFixtures::Get().FfmpegDecode(wav, c.ffmpegFormat);
    MemoryByteSource source(ReadFile(wav));
    WaveStream stream;
    ASSERT_EQ(stream.Open(source, false), WaveOpenError::kNone);
    const uint32_t frame = stream.DestinationFrameBytes();
    const uint32_t rate = stream.Info().destination.samplesPerSec;
    std::vector<uint8_t> buffer(stream.MaxPacketBytes());
    for (double target : {0.5, 0.123, 0.9, 0.0}) {
      ASSERT_TRUE(stream.SeekSeconds(target)) << c.name;
      WavePacket p;
      ASSERT_EQ(stream.Read(buffer.data(), p), 0);
      ASSERT_GT(p.bytes, 0u);
      EXPECT_TRUE(p.discontinuity);
      EXPECT_LE(p.startSeconds, target + 1e-9) << c.name;
      EXPECT_GT(p.startSeconds, target - 0.03) << c.name;
      // The samples after the seek are the reference's at the reported time.
      const size_t at = static_cast<size_t>(std::llround(p.startSeconds * rate)) * frame;
      ASSERT_LE(at + p.bytes, reference.size());
      EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + p.bytes, reference.begin() + at))
          << c.name << " at " << target;
    }
    // A seek to the end gives the end at once.
    ASSERT_TRUE(stream.SeekSeconds(1000.0));
    WavePacket p;
    ASSERT_EQ(stream.Read(buffer.data(), p), 0);
    EXPECT_EQ(p.bytes, 0u);
    EXPECT_TRUE(p.last);
  }
}

// Hand-made files: header faults and data sizes that do not match the file.
std::vector<uint8_t> Le32(uint32_t v) {
  return {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
          static_cast<uint8_t>(v >> 24)};
}

struct Chunk {
  std::string id;
  std::vector<uint8_t> body;
  int64_t statedSize = -1;  // -1: the body's size
};

std::vector<uint8_t> Riff(const std::vector<Chunk>& chunks, int64_t riffSize = -1) {
  std::vector<uint8_t> body = {'W', 'A', 'V', 'E'};
  for (const Chunk& c : chunks) {
    body.insert(body.end(), c.id.begin(), c.id.end());
    const auto size = Le32(static_cast<uint32_t>(c.statedSize >= 0 ? c.statedSize : c.body.size()));
    body.insert(body.end(), size.begin(), size.end());
    body.insert(body.end(), c.body.begin(), c.body.end());
    if (c.body.size() & 1) body.push_back(0);
  }
  std::vector<uint8_t> out = {'R', 'I', 'F', 'F'};
  const auto size = Le32(static_cast<uint32_t>(riffSize >= 0 ? riffSize : body.size()));
  out.insert(out.end(), size.begin(), size.end());
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

std::vector<uint8_t> PcmFormatChunk(uint16_t channels, uint32_t rate, uint16_t bits) {
  WaveFormat f;
  f.formatTag = kWaveFormatPcm;
  f.channels = channels;
  f.samplesPerSec = rate;
  f.bitsPerSample = bits;
  f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
  f.avgBytesPerSec = rate * f.blockAlign;
  auto bytes = SerializeWaveFormat(f);
  bytes.resize(16);
  return bytes;
}

std::vector<uint8_t> Ramp(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i)
    v[i] = static_cast<uint8_t>(i * 13 + 1);
  return v;
}

Decoded OpenAndDecode(const std::vector<uint8_t>& file, WaveOpenError* error,
                      bool seekable = true) {
  MemoryByteSource source(file, seekable);
  WaveStream stream;
  *error = stream.Open(source, false);
  if (*error != WaveOpenError::kNone) return {};
  return DecodeAll(stream);
}

TEST(WaveHeaderTest, RefusesWhatIsNotAPlayableWave) {
  const auto fmt = PcmFormatChunk(2, 44100, 16);
  auto zeroRate = fmt;
  zeroRate[4] = zeroRate[5] = zeroRate[6] = zeroRate[7] = 0;
  auto zeroAlign = fmt;
  zeroAlign[12] = zeroAlign[13] = 0;
  auto zeroByteRate = fmt;
  zeroByteRate[8] = zeroByteRate[9] = zeroByteRate[10] = zeroByteRate[11] = 0;
  auto unknownTag = fmt;
  unknownTag[0] = 0x34;
  unknownTag[1] = 0x12;
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    WaveOpenError error;
  };
  std::vector<uint8_t> notRiff = Riff({{"fmt ", fmt}, {"data", Ramp(8)}});
  notRiff[0] = 'X';
  std::vector<uint8_t> notWave = Riff({{"fmt ", fmt}, {"data", Ramp(8)}});
  notWave[8] = 'A';
  std::vector<uint8_t> fmtCut = Riff({{"fmt ", fmt}});
  fmtCut.resize(30);
  const Case cases[] = {
      {"empty", {}, WaveOpenError::kNotRiff},
      {"not riff", notRiff, WaveOpenError::kNotRiff},
      {"not wave", notWave, WaveOpenError::kNotRiff},
      {"no fmt", Riff({{"data", Ramp(8)}}), WaveOpenError::kNoFormat},
      {"short fmt",
       Riff({{"fmt ", std::vector<uint8_t>(fmt.begin(), fmt.begin() + 12)}, {"data", Ramp(8)}}),
       WaveOpenError::kNoFormat},
      {"huge fmt", Riff({{"fmt ", fmt, 0x7FFFFFF0}}), WaveOpenError::kNoFormat},
      {"fmt cut off", fmtCut, WaveOpenError::kNoFormat},
      {"zero rate", Riff({{"fmt ", zeroRate}, {"data", Ramp(8)}}), WaveOpenError::kBadFormat},
      {"zero align", Riff({{"fmt ", zeroAlign}, {"data", Ramp(8)}}), WaveOpenError::kBadFormat},
      {"zero byte rate", Riff({{"fmt ", zeroByteRate}, {"data", Ramp(8)}}),
       WaveOpenError::kBadFormat},
      {"no data", Riff({{"fmt ", fmt}, {"LIST", Ramp(10)}}), WaveOpenError::kNoData},
      {"unknown codec", Riff({{"fmt ", unknownTag}, {"data", Ramp(8)}}),
       WaveOpenError::kCannotConvert},
  };
  for (const Case& c : cases) {
    WaveOpenError error;
    OpenAndDecode(c.file, &error);
    EXPECT_EQ(error, c.error) << c.name;
  }
}

TEST(WaveHeaderTest, DataSizesThatDoNotMatchTheFileAreClampedToIt) {
  const auto fmt = PcmFormatChunk(2, 8000, 16);
  const auto data = Ramp(4000);
  struct Case {
    const char* name;
    int64_t statedSize;
    int64_t riffSize;
    bool seekable;
    size_t expectedBytes;
  };
  const Case cases[] = {
      {"exact", 4000, -1, true, 4000},
      {"larger than the file", 1 << 30, -1, true, 4000},
      {"zero (streamed)", 0, -1, true, 4000},
      {"unfilled", 0xFFFFFFFF, 0xFFFFFFFF, true, 4000},
      {"unfilled, live source", 0xFFFFFFFF, 0, false, 4000},
      {"shorter than the data", 1002, -1, true, 1000},  // rounded down to whole frames
  };
  for (const Case& c : cases) {
    WaveOpenError error;
    const Decoded d = OpenAndDecode(Riff({{"fmt ", fmt}, {"data", data, c.statedSize}}, c.riffSize),
                                    &error, c.seekable);
    ASSERT_EQ(error, WaveOpenError::kNone) << c.name;
    EXPECT_EQ(d.error, 0) << c.name;
    EXPECT_EQ(d.bytes.size(), c.expectedBytes) << c.name;
    EXPECT_TRUE(std::equal(d.bytes.begin(), d.bytes.end(), data.begin())) << c.name;
    ASSERT_FALSE(d.packets.empty());
    EXPECT_TRUE(d.packets.back().last) << c.name;
  }
}

TEST(WaveHeaderTest, FarSeeksInFilesWithHugeBlocksEndCleanly) {
  // Mono 16-bit PCM that states 63489-byte blocks: a seek far past the end must not overflow
  // the byte arithmetic; it lands at the end and the next packet is the last.
  auto fmt = PcmFormatChunk(1, 8000, 16);
  fmt[12] = 0x01;
  fmt[13] = 0xF8;
  for (const bool seekable : {true, false}) {
    MemoryByteSource source(Riff({{"fmt ", fmt}, {"data", Ramp(800)}}), seekable);
    WaveStream stream;
    ASSERT_EQ(stream.Open(source, false), WaveOpenError::kNone);
    stream.SeekSeconds(1e12);
    std::vector<uint8_t> buffer(stream.MaxPacketBytes());
    WavePacket packet;
    EXPECT_GE(stream.Read(buffer.data(), packet), -1);
    if (seekable) {
      EXPECT_TRUE(stream.SeekSeconds(1e300));
      ASSERT_EQ(stream.Read(buffer.data(), packet), 0);
      EXPECT_TRUE(packet.last);
    }
  }
}

TEST(WaveHeaderTest, StatedRatesAndBlockSizesDoNotSizeTheBuffers) {
  // Tiny files whose format record claims absurd rates and blocks: the buffers follow what the
  // data can hold, so opening and decoding them stays within a few megabytes.
  struct Case {
    const char* name;
    uint16_t tag;
    uint32_t rate;
    uint32_t byteRate;
    uint16_t blockAlign;
    uint16_t bits;
  };
  const Case cases[] = {
      {"mpeg, absurd byte rate and block", 0x55, 8000, 0xFFFFFFFF, 0xFFFF, 0},
      {"mpeg, huge byte rate, one-byte blocks", 0x55, 8000, 0x8FFFFFFF, 1, 0},
      {"8-bit pcm, huge block", kWaveFormatPcm, 8000, 8000, 0xFFFF, 8},
      {"ima adpcm, huge block", 0x11, 8000, 0xFFFFFFFF, 0xFFFF, 4},
  };
  constexpr int64_t kBound = 16 << 20;
  for (const Case& c : cases) {
    WaveFormat f;
    f.formatTag = c.tag;
    f.channels = 1;
    f.samplesPerSec = c.rate;
    f.avgBytesPerSec = c.byteRate;
    f.blockAlign = c.blockAlign;
    f.bitsPerSample = c.bits;
    auto fmt = SerializeWaveFormat(f);
    fmt.resize(16);
    const std::vector<uint8_t> file = Riff({{"fmt ", fmt}, {"data", Ramp(31)}});
    const int64_t growth = test::PeakMemoryGrowth([&] {
      WaveOpenError error;
      OpenAndDecode(file, &error);
    });
    EXPECT_GE(growth, 0) << c.name;
    EXPECT_LT(growth, kBound) << c.name;
  }
}

TEST(WaveHeaderTest, DataEndingOnAReadBoundaryFlagsTheLastDataPacket) {
  const auto fmt = PcmFormatChunk(2, 8000, 16);
  WaveOpenError error;
  const Decoded d = OpenAndDecode(Riff({{"fmt ", fmt}, {"data", Ramp(4096)}}), &error);
  ASSERT_EQ(error, WaveOpenError::kNone);
  ASSERT_EQ(d.packets.size(), 4u);
  EXPECT_EQ(d.packets.back().bytes, 1024u);
  EXPECT_TRUE(d.packets.back().last);
}

TEST(WaveHeaderTest, EmptyDataGivesOneEmptyLastPacket) {
  const auto fmt = PcmFormatChunk(1, 8000, 8);
  MemoryByteSource source(Riff({{"fmt ", fmt}, {"data", {}}, {"LIST", Ramp(4)}}));
  WaveStream stream;
  ASSERT_EQ(stream.Open(source, false), WaveOpenError::kNone);
  std::vector<uint8_t> buffer(stream.MaxPacketBytes());
  WavePacket p;
  ASSERT_EQ(stream.Read(buffer.data(), p), 0);
  // A data chunk stated empty runs to the end of the file: the LIST chunk's bytes are read as
  // samples, as for a streamed file that never filled in its sizes.
  EXPECT_TRUE(p.last);
}

TEST(WaveHeaderTest, ChunksBeforeTheFormatAndPadBytesAreSkipped) {
  const auto fmt = PcmFormatChunk(1, 8000, 16);
  WaveOpenError error;
  const Decoded d = OpenAndDecode(
      Riff({{"JUNK", Ramp(7)}, {"fmt ", fmt}, {"fact", Le32(100)}, {"data", Ramp(200)}}), &error);
  ASSERT_EQ(error, WaveOpenError::kNone);
  EXPECT_EQ(d.bytes, Ramp(200));
}

// A file found by fuzzing: an AAC-tagged format whose data goes through a stream parser, which
// reads a little past the end of what it is given. It was read beyond its buffer.
constexpr uint8_t kParsedFormatPastItsData[] = {
    0x52, 0x49, 0x46, 0x46, 0x22, 0x01, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6d, 0x74, 0x20,
    0x12, 0x00, 0x00, 0x00, 0xff, 0x00, 0x01, 0x00, 0x40, 0x17, 0x00, 0x00, 0x93, 0x00, 0x00, 0x00,
    0x01, 0x00, 0x08, 0xff, 0xff, 0xff, 0x11, 0x61, 0x63, 0x74, 0x04, 0x00, 0x00, 0x00, 0xf0, 0x00,
    0x00, 0x00, 0x64, 0x61, 0x74, 0x61, 0x09, 0x89, 0x0b, 0x90, 0x9d, 0xc7, 0xa9, 0xe8, 0xff, 0xff,
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x7f, 0xff, 0xff, 0xff, 0xff,
    0xff, 0xff, 0xff, 0xff, 0xc0, 0x94, 0xf1, 0xd3, 0xfd, 0x7f, 0x00, 0x00, 0xff, 0xff, 0xff, 0xff,
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x00, 0x52,
    0x49, 0x46, 0x46, 0x22, 0x01, 0x00, 0x00, 0x57, 0x41, 0x56, 0x45, 0x66, 0x6d, 0x74, 0x20, 0x12,
    0x00, 0x00, 0x00, 0x07, 0x00, 0x01, 0x00, 0x40, 0x1f, 0x00, 0x00, 0x40, 0x1f, 0xa5, 0xa5, 0x00,
    0xf0, 0x00, 0x00, 0x00, 0x64, 0x61, 0x74, 0x61, 0x09, 0x89, 0x8b, 0x90, 0x9d, 0xc7, 0xa9, 0xe8,
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x7f, 0xff, 0xff,
    0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xc0, 0x94, 0xf1, 0xd3, 0xfd, 0x7f, 0x00, 0x00, 0xff,
    0xff, 0xff, 0xff, 0xff, 0xff, 0x00, 0x52, 0x49, 0x46, 0x46, 0x22, 0x01, 0x00, 0x00, 0x57, 0x41,
    0x56, 0x45, 0x66, 0x6d, 0x74, 0x20, 0x12, 0x00, 0x00, 0x00, 0x07, 0x00, 0x01, 0x00, 0x40, 0x1f,
    0x00, 0x00, 0x40, 0x1f, 0xa5, 0xa5, 0xa5, 0xa5, 0xa5, 0xa5, 0xa5, 0xa5, 0xa5, 0xa5, 0xa5, 0xa5,
    0xa5, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xae, 0xc9, 0x0c, 0x00,
    0x40, 0x60, 0x00, 0x00, 0xff, 0xff, 0xff, 0x23, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x99,
    0x8c};

TEST(WaveHeaderTest, ParsedFormatsAreNotReadPastTheirData) {
  const std::vector<uint8_t> file(std::begin(kParsedFormatPastItsData),
                                  std::end(kParsedFormatPastItsData));
  for (const bool seekable : {false, true}) {
    WaveOpenError error;
    OpenAndDecode(file, &error, seekable);
    EXPECT_EQ(error, WaveOpenError::kNone);
  }
}

TEST(WaveHeaderTest, ProbeStopsAtTheFormat) {
  const auto fmt = PcmFormatChunk(2, 44100, 24);
  MemoryByteSource source(Riff({{"fmt ", fmt}, {"data", Ramp(600)}}));
  WaveStream stream;
  ASSERT_EQ(stream.Open(source, true), WaveOpenError::kNone);
  EXPECT_FALSE(stream.IsOpen());
  EXPECT_EQ(stream.Info().destination.bitsPerSample, 24);
  EXPECT_EQ(stream.Info().dataSize, 600);
  EXPECT_NEAR(stream.Info().totalSeconds, 600.0 / (44100 * 6), 1e-12);
  EXPECT_FALSE(stream.Info().formatText.empty());
}

}  // namespace
}  // namespace vk2
