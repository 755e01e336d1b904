// RIFF chunk navigation over valid, odd and malformed files, seekable or not.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/audio/acm/wave_format_reader.h"
#include "platform/audio/riff/riff_reader.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

// Builds RIFF bytes by hand, so every size can be made right or wrong on purpose.
class RiffBuilder {
 public:
  RiffBuilder& Tag(const char* t) {
    bytes_.insert(bytes_.end(), t, t + 4);
    return *this;
  }
  RiffBuilder& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i)
      bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  RiffBuilder& U16(uint16_t v) {
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  RiffBuilder& Bytes(size_t n, uint8_t value) {
    bytes_.insert(bytes_.end(), n, value);
    return *this;
  }
  // Chunk with a correct size, padded to even length.
  RiffBuilder& Chunk(const char* id, const std::vector<uint8_t>& data) {
    Tag(id).U32(static_cast<uint32_t>(data.size()));
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    if (data.size() & 1) bytes_.push_back(0);
    return *this;
  }
  std::vector<uint8_t> Riff(const char* form) const {
    RiffBuilder outer;
    outer.Tag("RIFF").U32(static_cast<uint32_t>(bytes_.size() + 4)).Tag(form);
    outer.bytes_.insert(outer.bytes_.end(), bytes_.begin(), bytes_.end());
    return outer.bytes_;
  }
  const std::vector<uint8_t>& Raw() const { return bytes_; }

 private:
  std::vector<uint8_t> bytes_;
};

std::vector<uint8_t> PcmFmt(uint16_t channels, uint32_t rate, uint16_t bits) {
  RiffBuilder b;
  const uint16_t align = static_cast<uint16_t>(channels * bits / 8);
  b.U16(1).U16(channels).U32(rate).U32(rate * align).U16(align).U16(bits);
  return b.Raw();
}

std::vector<uint8_t> SampleWave() {
  RiffBuilder info;
  info.Chunk("INAM", {'t', 'u', 'n', 'e', 0});
  std::vector<uint8_t> list = {'I', 'N', 'F', 'O'};
  list.insert(list.end(), info.Raw().begin(), info.Raw().end());
  RiffBuilder body;
  body.Chunk("fmt ", PcmFmt(2, 44100, 16))
      .Chunk("junk", {1, 2, 3})  // odd size: a pad byte follows
      .Chunk("LIST", list)
      .Chunk("data", {10, 11, 12, 13, 14, 15, 16, 17});
  return body.Riff("WAVE");
}

struct StreamKind {
  const char* name;
  bool seekable;
};

class RiffReaderTest : public ::testing::TestWithParam<StreamKind> {
 protected:
  std::unique_ptr<MemoryByteSource> Stream(std::vector<uint8_t> bytes) {
    return std::make_unique<MemoryByteSource>(std::move(bytes), GetParam().seekable);
  }
};

TEST_P(RiffReaderTest, FindsChunksPastOddSizesAndLists) {
  auto stream = Stream(SampleWave());
  RiffReader riff(*stream);
  RiffChunk wave;
  wave.formType = kFourCCWave;
  ASSERT_EQ(riff.Descend(&wave, nullptr, kRiffFindRiff), kRiffOk);
  EXPECT_EQ(wave.dataOffset, 12);

  RiffChunk fmt;
  fmt.id = kFourCCFmt;
  ASSERT_EQ(riff.Descend(&fmt, &wave, kRiffFindChunk), kRiffOk);
  ASSERT_EQ(fmt.size, 16u);
  std::vector<uint8_t> bytes(fmt.size);
  ASSERT_EQ(riff.Read(bytes.data(), fmt.size), 16);
  WaveFormat format;
  ASSERT_TRUE(ParseWaveFormat(bytes.data(), bytes.size(), format));
  EXPECT_EQ(format.samplesPerSec, 44100u);
  EXPECT_EQ(format.channels, 2);
  ASSERT_EQ(riff.Ascend(fmt), kRiffOk);

  RiffChunk data;
  data.id = kFourCCData;
  ASSERT_EQ(riff.Descend(&data, &wave, kRiffFindChunk), kRiffOk);
  EXPECT_EQ(data.size, 8u);
  EXPECT_EQ(data.flags, 0u);
  EXPECT_EQ(data.dataOffset, 12 + 24 + 12 + 26 + 8);
  uint8_t first[3];
  ASSERT_EQ(riff.Read(first, 3), 3);
  EXPECT_EQ(first[0], 10);
  ASSERT_EQ(riff.Ascend(data), kRiffOk);
  EXPECT_EQ(riff.Position(), data.EndOffset());

  // Nothing more inside the form.
  RiffChunk none;
  none.id = kFourCCFact;
  EXPECT_EQ(riff.Descend(&none, &wave, kRiffFindChunk), kRiffErrChunkNotFound);
}

TEST_P(RiffReaderTest, DescendsIntoListsAndStopsAtTheirEnd) {
  auto stream = Stream(SampleWave());
  RiffReader riff(*stream);
  RiffChunk wave;
  ASSERT_EQ(riff.Descend(&wave, nullptr, kRiffFindRiff), kRiffOk);
  RiffChunk list;
  list.formType = MakeFourCC('I', 'N', 'F', 'O');
  ASSERT_EQ(riff.Descend(&list, &wave, kRiffFindList), kRiffOk);
  RiffChunk name;
  ASSERT_EQ(riff.Descend(&name, &list, 0), kRiffOk);  // the next chunk, whatever it is
  EXPECT_EQ(name.id, MakeFourCC('I', 'N', 'A', 'M'));
  EXPECT_EQ(name.size, 5u);
  ASSERT_EQ(riff.Ascend(name), kRiffOk);
  RiffChunk beyond;
  EXPECT_EQ(riff.Descend(&beyond, &list, 0), kRiffErrChunkNotFound);
}

TEST_P(RiffReaderTest, FlagsADataChunkLargerThanTheFile) {
  RiffBuilder body;
  body.Chunk("fmt ", PcmFmt(1, 8000, 8)).Tag("data").U32(0xFFFFFFFF).Bytes(100, 0x80);
  auto stream = Stream(body.Riff("WAVE"));
  RiffReader riff(*stream);
  RiffChunk wave, data;
  ASSERT_EQ(riff.Descend(&wave, nullptr, kRiffFindRiff), kRiffOk);
  data.id = kFourCCData;
  ASSERT_EQ(riff.Descend(&data, &wave, kRiffFindChunk), kRiffOk);
  EXPECT_EQ(data.size, 0xFFFFFFFFu);
  EXPECT_TRUE(data.flags & kRiffChunkTruncated);
  std::vector<uint8_t> all(200);
  EXPECT_EQ(riff.Read(all.data(), 200), 100);
  EXPECT_EQ(riff.Read(all.data(), 200), 0);
  if (GetParam().seekable) {
    EXPECT_EQ(riff.Ascend(data), kRiffOk);
    EXPECT_EQ(riff.Position(), riff.StreamSize());
  }
}

TEST_P(RiffReaderTest, SeeksInsideAChunk) {
  auto stream = Stream(SampleWave());
  RiffReader riff(*stream);
  RiffChunk wave, data;
  ASSERT_EQ(riff.Descend(&wave, nullptr, kRiffFindRiff), kRiffOk);
  data.id = kFourCCData;
  ASSERT_EQ(riff.Descend(&data, &wave, kRiffFindChunk), kRiffOk);
  ASSERT_EQ(riff.Seek(data.dataOffset + 5, SeekOrigin::kBegin), data.dataOffset + 5);
  uint8_t b = 0;
  ASSERT_EQ(riff.Read(&b, 1), 1);
  EXPECT_EQ(b, 15);
  ASSERT_EQ(riff.Seek(1, SeekOrigin::kCurrent), data.dataOffset + 7);
  ASSERT_EQ(riff.Read(&b, 1), 1);
  EXPECT_EQ(b, 17);
  // Backwards needs a seekable stream.
  EXPECT_EQ(riff.Seek(data.dataOffset, SeekOrigin::kBegin) >= 0, GetParam().seekable);
}

INSTANTIATE_TEST_SUITE_P(Streams, RiffReaderTest,
                         ::testing::Values(StreamKind{"seekable", true}, StreamKind{"live", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Malformed {
  const char* name;
  std::vector<uint8_t> bytes;
};

// Every malformed file ends in "not found" (or a flagged chunk), never a hang or a crash.
TEST(RiffReaderMalformedTest, BadFilesEndCleanly) {
  const std::vector<uint8_t> valid = SampleWave();
  std::vector<Malformed> cases = {
      {"empty", {}},
      {"header only", RiffBuilder().Tag("RIFF").Raw()},
      {"not riff", RiffBuilder().Tag("RIFX").U32(4).Tag("WAVE").Raw()},
      {"other form", RiffBuilder().Chunk("abcd", {}).Riff("AVI ")},
      {"child beyond parent", RiffBuilder().Tag("junk").U32(0x7FFFFFF0).Bytes(16, 0).Riff("WAVE")},
      {"cut in a header", std::vector<uint8_t>(valid.begin(), valid.begin() + 40)},
      {"cut in the data", std::vector<uint8_t>(valid.begin(), valid.end() - 3)},
      {"riff size zero",
       [&] {
         auto v = valid;
         std::memset(&v[4], 0, 4);
         return v;
       }()},
  };
  for (const Malformed& c : cases) {
    for (bool seekable : {true, false}) {
      MemoryByteSource stream(c.bytes, seekable);
      RiffReader riff(stream);
      RiffChunk wave;
      wave.formType = kFourCCWave;
      const int32_t r = riff.Descend(&wave, nullptr, kRiffFindRiff);
      if (r != kRiffOk) {
        EXPECT_EQ(r, kRiffErrChunkNotFound) << c.name;
        continue;
      }
      RiffChunk data;
      data.id = kFourCCData;
      const int32_t d = riff.Descend(&data, &wave, kRiffFindChunk);
      if (d == kRiffOk) {
        EXPECT_TRUE(data.flags & kRiffChunkTruncated || data.EndOffset() <= wave.EndOffset())
            << c.name;
      } else {
        EXPECT_EQ(d, kRiffErrChunkNotFound) << c.name;
      }
    }
  }
}

TEST(WaveFormatReaderTest, ParsesTheRecordAndItsExtraBytes) {
  RiffBuilder b;
  b.U16(0x11).U16(2).U32(44100).U32(44359).U16(2048).U16(4).U16(2).U16(2041).U16(0xBEEF);
  WaveFormat f;
  // The stated extra size wins over trailing bytes.
  ASSERT_TRUE(ParseWaveFormat(b.Raw().data(), b.Raw().size(), f));
  EXPECT_EQ(f.formatTag, 0x11);
  EXPECT_EQ(f.blockAlign, 2048);
  EXPECT_EQ(f.extra, (std::vector<uint8_t>{0xF9, 0x07}));
  EXPECT_EQ(SerializeWaveFormat(f), std::vector<uint8_t>(b.Raw().begin(), b.Raw().end() - 2));
  // An extra size larger than the chunk is cut to what is there.
  RiffBuilder cut;
  cut.U16(0x11).U16(1).U32(8000).U32(4055).U16(256).U16(4).U16(40).U16(505);
  ASSERT_TRUE(ParseWaveFormat(cut.Raw().data(), cut.Raw().size(), f));
  EXPECT_EQ(f.extra.size(), 2u);
  // 16 bytes: no extra size at all.
  ASSERT_TRUE(ParseWaveFormat(b.Raw().data(), 16, f));
  EXPECT_TRUE(f.extra.empty());
  EXPECT_FALSE(ParseWaveFormat(b.Raw().data(), 15, f));
  std::vector<uint8_t> huge(kMaxWaveFormatBytes + 1, 0);
  EXPECT_FALSE(ParseWaveFormat(huge.data(), huge.size(), f));
}

TEST(WaveFormatReaderTest, CheckNamesFieldsThatWouldDivideByZero) {
  WaveFormat ok = PcmToWaveFormat({44100, 2, 16, false});
  EXPECT_EQ(CheckWaveFormat(ok), "");
  WaveFormat f = ok;
  f.avgBytesPerSec = 0;
  EXPECT_NE(CheckWaveFormat(f), "");
  f = ok;
  f.blockAlign = 0;
  EXPECT_NE(CheckWaveFormat(f), "");
  f = ok;
  f.channels = 0;
  EXPECT_NE(CheckWaveFormat(f), "");
  f = ok;
  f.samplesPerSec = 0;
  EXPECT_NE(CheckWaveFormat(f), "");
}

TEST(RiffReaderFileTest, ReadsAFileMadeBySox) {
  if (!test::HaveTool("sox")) GTEST_SKIP() << "sox not installed";
  test::TempFolder dir;
  const std::string path = dir.File("tone.wav");
  ASSERT_EQ(test::Run({"sox", "-n", "-r", "22050", "-c", "3", "-b", "24", path, "synth", "0.1",
                       "sine", "440"}),
            0);
  FileByteSource file;
  ASSERT_TRUE(file.Open(path));
  RiffReader riff(file);
  RiffChunk wave, fmt, data;
  ASSERT_EQ(riff.Descend(&wave, nullptr, kRiffFindRiff), kRiffOk);
  fmt.id = kFourCCFmt;
  ASSERT_EQ(riff.Descend(&fmt, &wave, kRiffFindChunk), kRiffOk);
  std::vector<uint8_t> bytes(fmt.size);
  ASSERT_EQ(riff.Read(bytes.data(), fmt.size), fmt.size);
  WaveFormat f;
  ASSERT_TRUE(ParseWaveFormat(bytes.data(), bytes.size(), f));
  EXPECT_EQ(f.formatTag, kWaveFormatExtensible);  // more than two channels
  EXPECT_EQ(EffectiveFormatTag(f), kWaveFormatPcm);
  PcmFormat pcm;
  ASSERT_TRUE(WaveFormatToPcm(f, pcm));
  EXPECT_EQ(pcm, (PcmFormat{22050, 3, 24, false}));
  ASSERT_EQ(riff.Ascend(fmt), kRiffOk);
  data.id = kFourCCData;
  ASSERT_EQ(riff.Descend(&data, &wave, kRiffFindChunk), kRiffOk);
  EXPECT_EQ(data.size, 2205u * 9);
}

}  // namespace
}  // namespace vk2
