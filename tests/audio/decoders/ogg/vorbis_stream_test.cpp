#include "audio/decoders/ogg/vorbis_stream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <memory>

#include "audio/decoders/ogg/vorbis_comments.h"
#include "tests/audio/decoders/ogg/memory_source.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

using test::MemoryVorbisSource;
using test::ReadFile;
using test::RunTool;
using test::ToS16;

struct Encoding {
  const char* name;
  uint32_t rate;
  uint32_t channels;
  double seconds;
};

// Fixtures are made once for the whole suite: encoding is the slow part.
class VorbisFixtures {
 public:
  static VorbisFixtures& Get() {
    static VorbisFixtures fixtures;
    return fixtures;
  }
  bool Ok() const { return ok_; }
  // Ogg file and oggdec's 16-bit decode of it.
  const std::string& Ogg(const std::string& name) { return oggs_.at(name); }
  std::vector<int16_t> Reference(const std::string& name) {
    const std::string raw = folder_.Path() + "/" + name + ".raw";
    if (!RunTool({"oggdec", "-Q", "-R", "-b", "16", "-e", "0", "-s", "1", "-o", raw, Ogg(name)})) {
      ADD_FAILURE() << "oggdec failed on " << name;
    }
    return test::ReadS16(raw);
  }
  std::string Folder() const { return folder_.Path(); }

  std::string Make(const Encoding& e, std::vector<std::string> oggencExtra = {}) {
    const std::string wav = folder_.Path() + "/" + e.name + ".wav";
    const std::string ogg = folder_.Path() + "/" + e.name + ".ogg";
    // Different tones per channel so that a channel mix-up shows.
    std::vector<std::string> sox = {
        "sox", "-q", "-n", "-r",    std::to_string(e.rate),   "-c", std::to_string(e.channels),
        "-b",  "16", wav,  "synth", std::to_string(e.seconds)};
    for (uint32_t c = 0; c < e.channels; ++c) {
      sox.push_back(c % 2 ? "square" : "sine");
      sox.push_back(std::to_string(220 + 110 * c));
    }
    sox.insert(sox.end(), {"vol", "0.7"});
    if (!RunTool(sox)) return {};
    std::vector<std::string> enc = {"oggenc", "-Q", "-o", ogg};
    enc.insert(enc.end(), oggencExtra.begin(), oggencExtra.end());
    enc.push_back(wav);
    if (!RunTool(enc)) return {};
    oggs_[e.name] = ogg;
    return ogg;
  }

 private:
  VorbisFixtures() {
    ok_ = test::HaveTool("sox") && test::HaveTool("oggenc") && test::HaveTool("oggdec");
    if (!ok_) return;
    for (const Encoding& e : kEncodings)
      ok_ = ok_ && !Make(e).empty();
    ok_ =
        ok_ && !Make({"tagged", 44100, 2, 0.5}, {"-c", "ARTIST=First", "-c", "artist=Second", "-c",
                                                 "TITLE=Gr\xc3\xbc\xc3\x9f"
                                                 "e"})
                    .empty();
    // A chain of three links with different rates and channel counts, joined as bytes.
    const std::string chained = folder_.Path() + "/chained.ogg";
    std::vector<uint8_t> all;
    for (const char* part : {"stereo44", "mono22", "six48"}) {
      const auto bytes = ReadFile(Ogg(part));
      all.insert(all.end(), bytes.begin(), bytes.end());
    }
    oggs_["chained"] = folder_.Write("chained.ogg", all);
  }

  static constexpr Encoding kEncodings[] = {
      {"mono8", 8000, 1, 1.0},     {"mono22", 22050, 1, 1.5}, {"stereo44", 44100, 2, 2.0},
      {"stereo96", 96000, 2, 1.0}, {"six48", 48000, 6, 1.0},  {"eight44", 44100, 8, 1.0},
  };
  test::TempFolder folder_;
  std::map<std::string, std::string> oggs_;
  bool ok_ = false;
};

struct Decoded {
  std::vector<uint8_t> bytes;
  std::vector<VorbisReadResult> reads;
};

Decoded DecodeAll(VorbisStream& stream, size_t capacity, VorbisSampleMode mode) {
  Decoded d;
  std::vector<uint8_t> buffer(capacity);
  for (int guard = 0; guard < 1000000; ++guard) {
    const VorbisReadResult r = stream.Read(buffer.data(), capacity, mode);
    d.reads.push_back(r);
    d.bytes.insert(d.bytes.end(), buffer.begin(), buffer.begin() + r.bytes);
    if (r.end || r.error) break;
  }
  return d;
}

class VorbisStreamTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!VorbisFixtures::Get().Ok()) GTEST_SKIP() << "sox, oggenc or oggdec missing";
  }
  std::unique_ptr<MemoryVorbisSource> Source(const std::string& name, bool seekable = true) {
    return std::make_unique<MemoryVorbisSource>(ReadFile(VorbisFixtures::Get().Ogg(name)),
                                                seekable);
  }
};

class VorbisEncodingTest : public VorbisStreamTest,
                           public ::testing::WithParamInterface<Encoding> {};

TEST_P(VorbisEncodingTest, SixteenBitOutputEqualsTheReferenceDecoder) {
  const Encoding e = GetParam();
  auto source = Source(e.name);
  VorbisStream stream;
  ASSERT_EQ(stream.Open(*source), 0);
  // 1024 bytes is not a whole number of frames for 3, 5, 6 or 7 channels.
  const Decoded d = DecodeAll(stream, 1024, VorbisSampleMode::kInt16);
  const size_t frameBytes = 2 * e.channels;
  for (size_t i = 0; i < d.reads.size(); ++i) {
    const VorbisReadResult& r = d.reads[i];
    EXPECT_EQ(r.error, 0);
    EXPECT_EQ(r.bytes % frameBytes, 0u);
    if (r.bytes == 0) continue;
    EXPECT_EQ(r.rate, e.rate);
    EXPECT_EQ(r.channels, e.channels);
    // Filled as far as whole frames go, except at the end.
    if (!r.end && i + 2 < d.reads.size()) {
      EXPECT_GT(r.bytes + frameBytes, 1024u);
    }
  }
  EXPECT_TRUE(d.reads.back().end);
  const std::vector<int16_t> ours = ToS16(d.bytes);
  const std::vector<int16_t> reference = VorbisFixtures::Get().Reference(e.name);
  ASSERT_EQ(ours.size(), reference.size());
  EXPECT_TRUE(ours == reference) << "samples differ from oggdec";
  EXPECT_NEAR(stream.TimeTotal(), e.seconds, 0.001);
}

TEST_P(VorbisEncodingTest, FloatOutputRoundsToTheSixteenBitSamples) {
  const Encoding e = GetParam();
  auto source = Source(e.name);
  VorbisStream stream;
  ASSERT_EQ(stream.Open(*source), 0);
  const Decoded d = DecodeAll(stream, 4096, VorbisSampleMode::kFloat32);
  std::vector<float> samples(d.bytes.size() / 4);
  std::memcpy(samples.data(), d.bytes.data(), samples.size() * 4);
  std::vector<int16_t> rounded(samples.size());
  VorbisFloatToInt16(samples.data(), rounded.data(), samples.size());
  EXPECT_TRUE(rounded == VorbisFixtures::Get().Reference(e.name));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, VorbisEncodingTest,
    ::testing::Values(Encoding{"mono8", 8000, 1, 1.0}, Encoding{"mono22", 22050, 1, 1.5},
                      Encoding{"stereo44", 44100, 2, 2.0}, Encoding{"stereo96", 96000, 2, 1.0},
                      Encoding{"six48", 48000, 6, 1.0}, Encoding{"eight44", 44100, 8, 1.0}),
    [](const auto& info) { return std::string(info.param.name); });

// A chained stream, read seekable (as a file) and live (as a radio stream).
class VorbisChainTest : public VorbisStreamTest, public ::testing::WithParamInterface<bool> {};

TEST_P(VorbisChainTest, LinksNeverShareABufferAndDecodeLikeTheirParts) {
  auto source = Source("chained", GetParam());
  VorbisStream stream;
  ASSERT_EQ(stream.Open(*source), 0);
  EXPECT_EQ(stream.IsSeekable(), GetParam());
  const Decoded d = DecodeAll(stream, 1024, VorbisSampleMode::kInt16);
  // Split our output where the link changes.
  std::vector<std::vector<uint8_t>> parts;
  std::vector<std::pair<uint32_t, uint32_t>> formats;
  int link = -2;
  size_t offset = 0;
  for (const VorbisReadResult& r : d.reads) {
    if (r.bytes == 0) continue;
    if (r.link != link) {
      link = r.link;
      parts.emplace_back();
      formats.emplace_back(r.rate, r.channels);
    }
    parts.back().insert(parts.back().end(), d.bytes.begin() + offset,
                        d.bytes.begin() + offset + r.bytes);
    offset += r.bytes;
  }
  ASSERT_EQ(parts.size(), 3u);
  const std::pair<uint32_t, uint32_t> expected[] = {{44100, 2}, {22050, 1}, {48000, 6}};
  const char* names[] = {"stereo44", "mono22", "six48"};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(formats[i], expected[i]) << "link " << i;
    EXPECT_TRUE(ToS16(parts[i]) == VorbisFixtures::Get().Reference(names[i])) << "link " << i;
  }
  if (GetParam()) {
    EXPECT_NEAR(stream.TimeTotal(), 2.0 + 1.5 + 1.0, 0.001);
  } else {
    EXPECT_LT(stream.TimeTotal(), 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Sources, VorbisChainTest, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Seekable" : "Live"; });

TEST_F(VorbisStreamTest, SeekLandsOnASampleOfTheReferenceDecode) {
  auto source = Source("stereo44");
  VorbisStream stream;
  ASSERT_EQ(stream.Open(*source), 0);
  const std::vector<int16_t> reference = VorbisFixtures::Get().Reference("stereo44");
  for (double target : {1.25, 0.3, 1.9, 0.0}) {
    ASSERT_EQ(stream.SeekTimePage(target), 0);
    std::vector<uint8_t> buffer(4096);
    const VorbisReadResult r = stream.Read(buffer.data(), buffer.size(), VorbisSampleMode::kInt16);
    ASSERT_GT(r.bytes, 0u);
    // Page-granular: near the target, and exactly where the reference has these samples.
    EXPECT_NEAR(r.startTime, target, 0.3) << target;
    const size_t frame = static_cast<size_t>(std::llround(r.startTime * 44100));
    const std::vector<int16_t> got = ToS16({buffer.begin(), buffer.begin() + r.bytes});
    ASSERT_LE(frame * 2 + got.size(), reference.size());
    EXPECT_TRUE(std::equal(got.begin(), got.end(), reference.begin() + frame * 2)) << target;
  }
}

TEST_F(VorbisStreamTest, SeekToTheEndLeavesAtMostTheLastPage) {
  auto source = Source("stereo44");
  VorbisStream stream;
  ASSERT_EQ(stream.Open(*source), 0);
  for (double target : {stream.TimeTotal(), stream.TimeTotal() + 5}) {
    ASSERT_EQ(stream.SeekTimePage(target), 0);
    const Decoded d = DecodeAll(stream, 4096, VorbisSampleMode::kInt16);
    EXPECT_TRUE(d.reads.back().end);
    EXPECT_LT(d.bytes.size(), 44100u * 4);
  }
}

TEST_F(VorbisStreamTest, LiveStreamsCannotSeek) {
  auto source = Source("stereo44", false);
  VorbisStream stream;
  ASSERT_EQ(stream.Open(*source), 0);
  EXPECT_FALSE(stream.IsSeekable());
  EXPECT_LT(stream.SeekTimePage(1.0), 0);
  EXPECT_LT(stream.TimeTotal(), 0);
}

TEST_F(VorbisStreamTest, ProbeKnowsVorbisFromOtherBytes) {
  auto ogg = Source("mono8");
  EXPECT_TRUE(VorbisStream::Probe(*ogg));
  auto live = Source("mono8", false);
  EXPECT_TRUE(VorbisStream::Probe(*live));
  MemoryVorbisSource wav(ReadFile(VorbisFixtures::Get().Folder() + "/mono8.wav"));
  EXPECT_FALSE(VorbisStream::Probe(wav));
  MemoryVorbisSource empty({});
  EXPECT_FALSE(VorbisStream::Probe(empty));
  VorbisStream stream;
  EXPECT_LT(stream.Open(wav), 0);
  EXPECT_FALSE(stream.IsOpen());
  std::vector<uint8_t> b(64);
  EXPECT_LT(stream.Read(b.data(), b.size(), VorbisSampleMode::kInt16).error, 0);
}

TEST_F(VorbisStreamTest, CommentsAndBitRates) {
  auto source = Source("tagged");
  VorbisStream stream;
  ASSERT_EQ(stream.Open(*source), 0);
  std::vector<std::string> comments;
  ASSERT_TRUE(stream.CurrentComments(comments));
  EXPECT_EQ(JoinCommentValues(comments, "ARTIST"), "First, Second");
  EXPECT_EQ(JoinCommentValues(comments, "title"),
            "Gr\xc3\xbc\xc3\x9f"
            "e");
  EXPECT_EQ(JoinCommentValues(comments, "album"), std::nullopt);
  EXPECT_EQ(JoinCommentValues(comments, "artis"), std::nullopt);
  VorbisLinkInfo info;
  ASSERT_TRUE(stream.CurrentInfo(info));
  EXPECT_EQ(info.rate, 44100u);
  EXPECT_GT(info.bitrateNominal, 0);
  std::vector<uint8_t> b(8192);
  stream.Read(b.data(), b.size(), VorbisSampleMode::kInt16);
  EXPECT_GT(stream.BitrateInstant(), 0);
}

TEST_F(VorbisStreamTest, FileCutMidPageEndsCleanlyAfterTheWholePages) {
  auto bytes = ReadFile(VorbisFixtures::Get().Ogg("stereo44"));
  bytes.resize(bytes.size() * 3 / 5 + 17);
  for (bool seekable : {true, false}) {
    MemoryVorbisSource source(bytes, seekable);
    VorbisStream stream;
    ASSERT_EQ(stream.Open(source), 0);
    const Decoded d = DecodeAll(stream, 1024, VorbisSampleMode::kInt16);
    EXPECT_TRUE(d.reads.back().end || d.reads.back().error < 0);
    const std::vector<int16_t> ours = ToS16(d.bytes);
    const std::vector<int16_t> reference = VorbisFixtures::Get().Reference("stereo44");
    EXPECT_GT(ours.size(), reference.size() / 3);
    ASSERT_LE(ours.size(), reference.size());
    EXPECT_TRUE(std::equal(ours.begin(), ours.end(), reference.begin()));
  }
}

TEST_F(VorbisStreamTest, ReadFailureIsAnErrorNotAnEnd) {
  auto bytes = ReadFile(VorbisFixtures::Get().Ogg("stereo44"));
  MemoryVorbisSource source(bytes, false);
  VorbisStream stream;
  ASSERT_EQ(stream.Open(source), 0);
  source.FailFrom(static_cast<int64_t>(bytes.size() / 2));
  const Decoded d = DecodeAll(stream, 1024, VorbisSampleMode::kInt16);
  EXPECT_FALSE(d.reads.back().end);
  EXPECT_LT(d.reads.back().error, 0);
}

TEST(VorbisFloatToInt16Test, RoundsTiesToEvenAndClips) {
  const float in[] = {0.f,           1.f, -1.f, 1.5f / 32768,    2.5f / 32768,
                      -0.5f / 32768, 2.f, -2.f, 32767.4f / 32768};
  int16_t out[std::size(in)];
  VorbisFloatToInt16(in, out, std::size(in));
  const int16_t expected[] = {0, 32767, -32768, 2, 2, 0, 32767, -32768, 32767};
  EXPECT_TRUE(std::equal(std::begin(out), std::end(out), std::begin(expected)));
}

}  // namespace
}  // namespace vk2
