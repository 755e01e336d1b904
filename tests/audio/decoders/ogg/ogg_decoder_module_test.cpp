// The Ogg Vorbis decoder in chains the audio system builds, and wired by hand for the packet
// contract.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "audio/decoders/ogg/vorbis_stream.h"
#include "tests/audio/support/local_chain_env.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

// Ogg files made once per process.
class OggFiles {
 public:
  static OggFiles& Get() {
    static OggFiles files;
    return files;
  }
  bool Ok() const { return ok_; }
  const std::string& Path(const std::string& name) const { return paths_.at(name); }
  std::vector<int16_t> Reference(const std::string& name) {
    const std::string raw = folder_.Path() + "/" + name + ".ref.raw";
    EXPECT_TRUE(
        RunTool({"oggdec", "-Q", "-R", "-b", "16", "-e", "0", "-s", "1", "-o", raw, Path(name)}));
    return ReadS16(raw);
  }

 private:
  OggFiles() {
    ok_ = HaveTool("sox") && HaveTool("oggenc") && HaveTool("oggdec");
    if (!ok_) return;
    ok_ = Make("stereo", "44100", "2", "3",
               {"-c", "ARTIST=First", "-c", "artist=Second", "-c",
                "TITLE=Gr\xc3\xbc\xc3\x9f"
                "e",
                "-c", "GENRE=Test"}) &&
          Make("mono", "22050", "1", "1", {}) && Make("six", "48000", "6", "1", {}) &&
          Make("eight", "44100", "8", "0.5", {});
    std::vector<uint8_t> chained;
    for (const char* part : {"stereo", "mono", "six"}) {
      const auto bytes = ReadFile(Path(part));
      chained.insert(chained.end(), bytes.begin(), bytes.end());
    }
    paths_["chained"] = folder_.Write("chained.ogg", chained);
    auto cut = ReadFile(Path("stereo"));
    cut.resize(cut.size() * 4 / 5 + 33);
    paths_["cut"] = folder_.Write("cut.ogg", cut);
  }
  bool Make(const std::string& name, const std::string& rate, const std::string& channels,
            const std::string& seconds, std::vector<std::string> tags) {
    const std::string wav = folder_.Path() + "/" + name + ".wav";
    const std::string ogg = folder_.Path() + "/" + name + ".ogg";
    if (!RunTool({"sox", "-q", "-n", "-r", rate, "-c", channels, "-b", "16", wav, "synth", seconds,
                  "sine", "300-1200", "vol", "0.7"})) {
      return false;
    }
    std::vector<std::string> enc = {"oggenc", "-Q", "-o", ogg};
    enc.insert(enc.end(), tags.begin(), tags.end());
    enc.push_back(wav);
    if (!RunTool(enc)) return false;
    paths_[name] = ogg;
    return true;
  }

  TempFolder folder_;
  std::map<std::string, std::string> paths_;
  bool ok_ = false;
};

std::vector<int16_t> HeardAsS16(const std::vector<uint8_t>& heard, bool isFloat) {
  if (!isFloat) return ToS16(heard);
  std::vector<float> samples(heard.size() / 4);
  if (!samples.empty()) std::memcpy(samples.data(), heard.data(), samples.size() * 4);
  std::vector<int16_t> out(samples.size());
  VorbisFloatToInt16(samples.data(), out.data(), samples.size());
  return out;
}

class OggChainTest : public LocalChainEnv {
 protected:
  void SetUp() override {
    if (!OggFiles::Get().Ok()) GTEST_SKIP() << "sox, oggenc or oggdec missing";
    AddFileReader();
    AddDecoder<WaveDecoder>();
    AddDecoder<OggVorbisDecoder>();
  }
  void SixteenBitOnly() {
    device->canOpen = [](const AudioFormat& f) {
      return IsPcm(f) && !f.isFloat && f.bitsPerSample == 16 ? 1 : 0;
    };
  }
  std::string Url(const std::string& name) { return "file://" + OggFiles::Get().Path(name); }
};

struct OggPlayCase {
  const char* name;
  bool floatOutput;
};

class OggPlayTest : public OggChainTest, public ::testing::WithParamInterface<OggPlayCase> {};

TEST_P(OggPlayTest, EndpointHearsWhatOggdecDecodes) {
  const OggPlayCase c = GetParam();
  if (!c.floatOutput) SixteenBitOnly();
  ASSERT_EQ(Build(Url(c.name)), 0);
  ASSERT_TRUE(PlayToEnd());
  EXPECT_EQ(device->OpenBits(), c.floatOutput ? 32u : 16u);
  EXPECT_TRUE(HeardAsS16(device->Heard(), c.floatOutput) == OggFiles::Get().Reference(c.name));
  EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, OggPlayTest,
                         ::testing::Values(OggPlayCase{"stereo", false},
                                           OggPlayCase{"stereo", true}, OggPlayCase{"mono", false},
                                           OggPlayCase{"six", false}, OggPlayCase{"eight", true}),
                         [](const auto& info) {
                           return std::string(info.param.name) +
                                  (info.param.floatOutput ? "Float" : "Int16");
                         });

TEST_F(OggChainTest, ChainedLinksPlayInTheirOwnFormatsWithEvents) {
  SixteenBitOnly();
  ASSERT_EQ(Build(Url("chained")), 0);
  ASSERT_TRUE(PlayToEnd());
  std::vector<int16_t> expected;
  for (const char* part : {"stereo", "mono", "six"}) {
    const auto ref = OggFiles::Get().Reference(part);
    expected.insert(expected.end(), ref.begin(), ref.end());
  }
  EXPECT_TRUE(ToS16(device->Heard()) == expected);
  // Each new link replaced the format record and told the chain so.
  EXPECT_GE(events.Count(kEventFormatChanged), 2);
  EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
}

TEST_F(OggChainTest, FileCutMidPageEndsCleanly) {
  ASSERT_EQ(Build(Url("cut")), 0);
  ASSERT_TRUE(PlayToEnd());
  EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
  const auto heard = HeardAsS16(device->Heard(), device->OpenBits() == 32);
  const auto full = OggFiles::Get().Reference("stereo");
  // The whole pages before the cut, as oggdec decodes them.
  EXPECT_TRUE(heard == OggFiles::Get().Reference("cut"));
  ASSERT_GT(heard.size(), full.size() / 2);
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), full.begin()));
}

TEST_F(OggChainTest, SeekLandsOnTheTargetSample) {
  SixteenBitOnly();
  ASSERT_EQ(Build(Url("stereo")), 0);
  ASSERT_EQ(chain->StateChange(kChainCued), 0);
  ASSERT_EQ(chain->Seek(2.5, 0, 1), 0);
  ASSERT_TRUE(PlayToEnd());
  const auto heard = ToS16(device->Heard());
  const auto full = OggFiles::Get().Reference("stereo");
  // What was heard is the reference from the sample at 2.5 s on, not from the start of the
  // page that holds it (a page of this quiet signal lasts about a second).
  const size_t from = size_t{2 * 44100 * 5 / 2};
  ASSERT_GT(full.size(), from);
  ASSERT_EQ(heard.size(), full.size() - from);
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), full.begin() + from));
}

TEST_F(OggChainTest, CommentsAndStreamFigures) {
  ASSERT_EQ(Build(Url("stereo")), 0);
  RefPtr<MAudioModule> decoder = Decoder();
  RefPtr<MModuleProperties> props;
  ASSERT_EQ(decoder->QueryInterface(kIID_MModuleProperties, props.PutVoid(), 1, 0), 0);
  TString text;
  int32_t v = 0;
  double t = 0;
  EXPECT_EQ(props->GetString(u"format", &text), 0);
  EXPECT_TRUE(text.Equals(u"OggVorbis"));
  // Stopped: no stream to ask.
  EXPECT_EQ(props->GetString(u"title", &text), kErrNotFound);
  EXPECT_TRUE(IsEntry(props->GetNumber(u"totaltime", &t), kMsWrongState));
  EXPECT_EQ(props->GetInteger(u"totaltimeisestimate", &v), 0);
  device->clock = CaptureState::Clock::kManual;
  ASSERT_EQ(chain->Play(0.75), 0);
  EXPECT_EQ(props->GetString(u"author", &text), 0);
  EXPECT_TRUE(text.Equals(u"First, Second")) << Utf8(text).c_str();
  EXPECT_EQ(props->GetString(u"TITLE", &text), 0);
  EXPECT_TRUE(text.Equals(u"Gr\u00fc\u00dfe"));
  EXPECT_EQ(props->GetString(u"genre", &text), 0);
  EXPECT_TRUE(text.Equals(u"Test"));
  EXPECT_EQ(props->GetString(u"album", &text), kErrNotFound);
  EXPECT_EQ(props->GetNumber(u"totaltime", &t), 0);
  EXPECT_NEAR(t, 3.0, 0.001);
  EXPECT_EQ(props->GetNumber(u"decodetime", &t), 0);
  EXPECT_GT(t, 0.0);
  EXPECT_EQ(props->GetInteger(u"averagebitrate", &v), 0);
  EXPECT_GT(v, 32000);
  EXPECT_EQ(props->GetInteger(u"instantbitrate", &v), 0);
  EXPECT_GT(v, 0);
  EXPECT_EQ(props->GetInteger(u"isvbr", &v), 0);
  EXPECT_EQ(v, 1);  // oggenc sets a nominal rate and leaves both bounds unset: equal
  PropertyDescriptionList list;
  ASSERT_EQ(props->Describe(&list), 0);
  const char16_t* order[] = {u"modulename",
                             u"moduledescription",
                             u"modulecopyright",
                             u"moduleversion",
                             u"warmuptime",
                             u"format",
                             u"author",
                             u"title",
                             u"album",
                             u"instantbitrate",
                             u"averagebitrate",
                             u"isvbr",
                             u"totaltime",
                             u"decodetime",
                             u"totaltimeisestimate"};
  ASSERT_EQ(list.Count(), std::size(order));
  for (size_t i = 0; i < std::size(order); ++i)
    EXPECT_TRUE(list.At(i).name.Equals(order[i])) << i;
  EXPECT_EQ(list.At(5).flags, 33u);
  EXPECT_EQ(list.At(14).flags, 18u);
  RefPtr<MCallbackRegistry> callbacks;
  EXPECT_EQ(decoder->QueryInterface(kIID_MCallbackRegistry, callbacks.PutVoid(), 1, 0), 0);
}

// The decoder wired to a reader by hand, as the chain would, to see its packets.
class OggPacketTest : public OggChainTest {
 protected:
  void Wire(const std::string& name) {
    chainForModules = NewChain();
    chainForModules->AbortEvent()->Reset();
    reader = RefPtr<FileReader>(new FileReader());
    ASSERT_EQ(reader->Open(Utf16(Url(name)).c_str()), 0);
    void* p = nullptr;
    ASSERT_EQ(MakeModule<OggVorbisDecoder>(&p), 0);
    decoder = RefPtr<MAudioModule>::Adopt(static_cast<MAudioModule*>(p));
    reader->SetChain(chainForModules.Get());
    decoder->SetChain(chainForModules.Get());
    ASSERT_EQ(reader->GetOutput(&readerOut, 0), 0);
    ASSERT_EQ(decoder->GetInput(&input, 0), 0);
    ASSERT_EQ(decoder->GetOutput(&output, 0), 0);
    uint32_t s1 = 0, s2 = 0;
    ASSERT_EQ(input->CanHandle(readerOut, &s1, &s2), 0);
    EXPECT_EQ(s1, 80u);
    EXPECT_EQ(s2, 50u);
    ASSERT_EQ(input->Connect(readerOut), 0);
    ASSERT_EQ(reader->StateChange(kChainPlaying), 0);
    ASSERT_EQ(decoder->StateChange(kChainPlaying), 0);
  }
  void TearDown() override {
    if (decoder) {
      decoder->StateChange(kChainStopped);
      input->Connect(nullptr);
      decoder->SetChain(nullptr);
    }
    if (reader) reader->SetChain(nullptr);
    decoder = nullptr;
    reader = nullptr;
    OggChainTest::TearDown();
  }
  int32_t Next(RefPtr<AudioPacket>& packet) {
    AudioPacket* raw = nullptr;
    const int32_t r = output->GetPacket(&raw);
    packet = RefPtr<AudioPacket>::Adopt(raw);
    return r;
  }

  RefPtr<MMediaChain> chainForModules;
  RefPtr<FileReader> reader;
  RefPtr<MAudioModule> decoder;
  AudioModuleOutput* readerOut = nullptr;
  AudioModuleInput* input = nullptr;
  AudioModuleOutput* output = nullptr;
};

TEST_F(OggPacketTest, FormatsBeforeDecodingPacketsInWholeFramesAndTheEnd) {
  Wire("six");
  AudioFormatList formats;
  ASSERT_EQ(output->GetFormats(&formats), 0);
  ASSERT_EQ(formats.Count(), 2u);
  EXPECT_EQ(formats.At(0)->sampleRate, 48000u);
  EXPECT_EQ(formats.At(0)->channels, 6u);
  EXPECT_EQ(formats.At(0)->bitsPerSample, 16u);
  EXPECT_EQ(formats.At(1)->isFloat, 1);
  RefPtr<AudioPacket> p;
  // No format chosen yet.
  EXPECT_EQ(Next(p), -13);
  ASSERT_EQ(output->SetFormat(formats.At(0)), 0);
  ASSERT_EQ(Next(p), 0);
  EXPECT_EQ(p->flags & kPacketFirst, kPacketFirst);
  EXPECT_EQ(p->byteCount % 12, 0u);  // six 16-bit channels
  EXPECT_GT(p->byteCount, 1000u);
  EXPECT_EQ(p->format->channels, 6u);
  int packets = 0;
  while (!(p->flags & kPacketLast) && packets < 100000) {
    ASSERT_EQ(Next(p), 0);
    EXPECT_EQ(p->byteCount % 12, 0u);
    ++packets;
  }
  // After the last packet: the end, once and for all.
  EXPECT_TRUE(IsEntry(Next(p), kMsEndOfData));
  EXPECT_TRUE(IsEntry(Next(p), kMsEndOfData));
}

TEST_F(OggPacketTest, EverySeekFlagsTheNextPacketEvenWhenNothingMoves) {
  Wire("stereo");
  AudioFormatList formats;
  ASSERT_EQ(output->GetFormats(&formats), 0);
  ASSERT_EQ(output->SetFormat(formats.At(0)), 0);
  RefPtr<AudioPacket> p;
  ASSERT_EQ(Next(p), 0);
  const double before = p->position;
  ASSERT_EQ(decoder->Seek(0.5, 0, 0), 0);  // less than a second away, no flush: nothing moves
  ASSERT_EQ(Next(p), 0);
  EXPECT_EQ(p->flags & kPacketDiscontinuity, kPacketDiscontinuity);
  EXPECT_GT(p->position, before);
  EXPECT_LT(p->position, 0.1);
  ASSERT_EQ(decoder->Seek(100.0, 0, 1), 0);  // past the end: limited to it
  ASSERT_EQ(Next(p), 0);
  EXPECT_EQ(p->flags & kPacketDiscontinuity, kPacketDiscontinuity);
  // The end again, and a seek back makes the stream play on.
  while (!(p->flags & kPacketLast))
    ASSERT_EQ(Next(p), 0);
  EXPECT_TRUE(IsEntry(Next(p), kMsEndOfData));
  ASSERT_EQ(decoder->Seek(0.0, 0, 1), 0);
  ASSERT_EQ(Next(p), 0);
  EXPECT_GT(p->byteCount, 0u);
}

TEST_F(OggPacketTest, RepeatPlaysTheStreamAgainOnce) {
  Wire("mono");
  AudioFormatList formats;
  ASSERT_EQ(output->GetFormats(&formats), 0);
  ASSERT_EQ(output->SetFormat(formats.At(0)), 0);
  RefPtr<MModuleProperties> props;
  ASSERT_EQ(decoder->QueryInterface(kIID_MModuleProperties, props.PutVoid(), 1, 0), 0);
  ASSERT_EQ(props->SetInteger(u"repeat", 1), 0);
  size_t bytes = 0;
  RefPtr<AudioPacket> p;
  for (int i = 0; i < 100000; ++i) {
    ASSERT_EQ(Next(p), 0);
    bytes += p->byteCount;
    if (p->flags & kPacketLast) break;
  }
  EXPECT_EQ(bytes, 2 * OggFiles::Get().Reference("mono").size() * 2);
}

}  // namespace
}  // namespace vk2::test
