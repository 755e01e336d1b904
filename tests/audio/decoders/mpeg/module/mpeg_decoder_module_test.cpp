// The MPEG decoder chain module over the real file reader: detection, packets against the
// decoding core's own output (itself checked against libmpg123 and ffmpeg), properties, seeking.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "audio/decoders/mpeg/core/decoder_core.h"
#include "audio/decoders/mpeg/module/mpeg_decoder.h"
#include "audio/readers/file/file_reader.h"
#include "foundation/bytes/byte_source.h"
#include "foundation/util/result.h"
#include "interfaces/audio/audio_callbacks.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/media_types.h"
#include "interfaces/ids.h"
#include "tests/audio/decoders/mpeg/core/bitstream_writer.h"
#include "tests/audio/decoders/mpeg/core/mpeg_test_support.h"
#include "tests/fixtures/audio/test_registry.h"

namespace vk2 {
namespace {

using mpegtest::Encode;
using mpegtest::ReadFile;
using mpegtest::SignalWav;

std::string EncodedFile(const std::string& name, const std::string& command, int rate = 44100,
                        int channels = 2, double seconds = 2.0) {
  return Encode(name, command, SignalWav(rate, channels, seconds));
}

std::string WrittenFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  const std::string path = mpegtest::ScratchDir() + "/" + name;
  mpegtest::WriteFile(path, bytes);
  return path;
}

std::string Layer1File() {
  mpegtest::WriterOptions o;
  o.frames = 60;
  return WrittenFile("written_l1.mp1", mpegtest::WriteLayer1(o));
}

struct Decoded {
  std::vector<uint8_t> bytes;  // PCM as the packets carried it
  std::vector<uint32_t> flags;
  std::vector<double> positions;
  uint32_t sampleRate = 0, channels = 0, bits = 0;
  int32_t endResult = 0;  // GetPacket's answer after the end-of-stream packet
};

// The reference: the core over the file in memory, optionally seeking after `framesBefore`.
std::vector<uint8_t> CoreDecode(const std::vector<uint8_t>& file, bool asFloat,
                                int framesBefore = -1, double seekMs = 0) {
  MemoryByteSource source(file);
  MpegDecoderCore core(source);
  std::vector<uint8_t> frame(MpegLayerDecoder::kMaxFrameSamples * 4);
  std::vector<uint8_t> out;
  for (int i = 0; i < framesBefore; ++i)
    core.Decode(frame.data(), asFloat);
  if (framesBefore >= 0) core.SeekToTime(seekMs);
  for (;;) {
    const int n = core.Decode(frame.data(), asFloat);
    if (n < 0) break;
    out.insert(out.end(), frame.begin(), frame.begin() + n * (asFloat ? 4 : 2));
  }
  return out;
}

class CountingCallback final : public MAudioCallback {
 public:
  int32_t QueryInterface(const Guid&, void**, uint32_t, uint32_t) override {
    return kErrNoInterface;
  }
  uint32_t AddRef() override { return 2; }
  uint32_t Release() override { return 1; }
  int32_t OnEvent(MUnknown*, int32_t event, uint32_t, int32_t) override {
    if (event == kEventFormatChanged) ++formatEvents;
    return 0;
  }
  int formatEvents = 0;
};

class MpegDecoderModuleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    chain_ = RefPtr<MMediaChain>::Adopt(registry_.System()->CreateChain());
    ASSERT_TRUE(chain_);
    chain_->AbortEvent()->Reset();
    reader_ = RefPtr<FileReader>(new FileReader());
    decoder_ = RefPtr<MpegDecoder>(new MpegDecoder());
    ASSERT_EQ(decoder_->QueryInterface(kIID_MModuleProperties, props_.PutVoid(), 1, 0), 0);
    ASSERT_EQ(decoder_->QueryInterface(kIID_MCallbackRegistry, callbacks_.PutVoid(), 1, 0), 0);
    ASSERT_EQ(callbacks_->RegisterCallback(&callback_, 7), 0);
  }
  void TearDown() override {
    if (callbacks_) callbacks_->UnregisterCallback(&callback_, 7);
    if (decoder_) {
      decoder_->StateChange(kChainStopped);
      decoder_->SetChain(nullptr);
    }
    if (reader_) {
      reader_->StateChange(kChainStopped);
      reader_->SetChain(nullptr);
    }
  }

  AudioModuleInput* Input() {
    AudioModuleInput* in = nullptr;
    EXPECT_EQ(decoder_->GetInput(&in, 0), 0);
    return in;
  }
  AudioModuleOutput* Output() {
    AudioModuleOutput* out = nullptr;
    EXPECT_EQ(decoder_->GetOutput(&out, 0), 0);
    return out;
  }
  AudioModuleOutput* ReaderOutput() {
    AudioModuleOutput* out = nullptr;
    EXPECT_EQ(reader_->GetOutput(&out, 0), 0);
    return out;
  }

  // Opens `path` and runs detection as the chain builder does; the two scores.
  std::pair<uint32_t, uint32_t> Detect(const std::string& path) {
    EXPECT_EQ(reader_->Open(Utf16("file://" + path).c_str()), 0);
    reader_->SetChain(chain_.Get());
    EXPECT_EQ(reader_->StateChange(kChainFormatDetection), 0);
    uint32_t s1 = 9, s2 = 9;
    EXPECT_EQ(Input()->CanHandle(ReaderOutput(), &s1, &s2), 0);
    return {s1, s2};
  }
  // Detection, then the connection and the start of playback with the given sample width.
  void Start(const std::string& path, bool asFloat) {
    const auto scores = Detect(path);
    ASSERT_EQ(scores.first, 80u);
    ASSERT_EQ(reader_->SetPosition(0), 0);
    ASSERT_EQ(Input()->Connect(ReaderOutput()), 0);
    decoder_->SetChain(chain_.Get());
    ASSERT_EQ(reader_->StateChange(kChainCued), 0);
    ASSERT_EQ(reader_->StateChange(kChainPlaying), 0);
    ASSERT_EQ(decoder_->StateChange(kChainCued), 0);
    ASSERT_EQ(decoder_->StateChange(kChainPlaying), 0);
    AudioFormatList formats;
    ASSERT_EQ(Output()->GetFormats(&formats), 0);
    ASSERT_EQ(formats.Count(), 2u);
    ASSERT_EQ(Output()->SetFormat(formats.At(asFloat ? 1 : 0)), 0);
  }
  // Packets until the end-of-stream packet (or a failure, or `limit` packets).
  Decoded Drain(size_t limit = 100000) {
    Decoded d;
    for (size_t i = 0; i < limit; ++i) {
      AudioPacket* raw = nullptr;
      const int32_t r = Output()->GetPacket(&raw);
      RefPtr<AudioPacket> p = RefPtr<AudioPacket>::Adopt(raw);
      if (r < 0 || !p) {
        d.endResult = r;
        break;
      }
      d.bytes.insert(d.bytes.end(), p->data, p->data + p->byteCount);
      d.flags.push_back(p->flags);
      d.positions.push_back(p->position);
      if (p->format) {
        d.sampleRate = p->format->sampleRate;
        d.channels = p->format->channels;
        d.bits = p->format->bitsPerSample;
      }
      if (p->flags & kPacketLast) {
        AudioPacket* more = nullptr;
        d.endResult = Output()->GetPacket(&more);
        if (more) more->Release();
        break;
      }
    }
    return d;
  }
  bool IsEntry(int32_t code, MediaSystemEntry entry) {
    return test::IsMediaEntry(registry_.Errors(), code, entry);
  }

  test::TestRegistry registry_;
  RefPtr<MMediaChain> chain_;
  RefPtr<FileReader> reader_;
  RefPtr<MpegDecoder> decoder_;
  RefPtr<MModuleProperties> props_;
  RefPtr<MCallbackRegistry> callbacks_;
  CountingCallback callback_;
};

struct StreamCase {
  const char* name;
  const char* command;  // null: the test-only layer I writer
  int layer;
  int rate;
  int channels;
};

const StreamCase kStreams[] = {
    {"mod_l3_cbr128.mp3", "lame --quiet -b 128 %in %out", 3, 44100, 2},
    {"mod_l3_vbr_mono.mp3", "lame --quiet -V 4 -m m %in %out", 3, 44100, 1},
    {"mod_l3_lsf22.mp3", "lame --quiet -b 48 --resample 22.05 %in %out", 3, 22050, 2},
    {"mod_l2_twolame.mp2", "twolame --quiet -b 192 %in %out", 2, 44100, 2},
    {"mod_l2_ffmpeg.mp2", "ffmpeg -loglevel error -y -i %in -c:a mp2 -b:a 160k %out", 2, 44100, 2},
    {nullptr, nullptr, 1, 44100, 2},
};

std::string StreamFile(const StreamCase& c) {
  return c.command ? EncodedFile(c.name, c.command) : Layer1File();
}

class StreamTest : public MpegDecoderModuleTest,
                   public ::testing::WithParamInterface<StreamCase> {};

TEST_P(StreamTest, DetectedAndDecodedLikeTheCoreInBothWidths) {
  const StreamCase& c = GetParam();
  const std::string path = StreamFile(c);
  ASSERT_FALSE(path.empty()) << "encoder failed";
  const std::vector<uint8_t> file = ReadFile(path);
  for (const bool asFloat : {false, true}) {
    SCOPED_TRACE(asFloat ? "float" : "int16");
    if (asFloat) {
      TearDown();
      SetUp();
    }
    Start(path, asFloat);
    const Decoded d = Drain();
    EXPECT_EQ(d.sampleRate, static_cast<uint32_t>(c.rate));
    EXPECT_EQ(d.channels, static_cast<uint32_t>(c.channels));
    EXPECT_EQ(d.bits, asFloat ? 32u : 16u);
    ASSERT_FALSE(d.flags.empty());
    EXPECT_EQ(d.flags.front() & kPacketFirst, kPacketFirst);
    EXPECT_EQ(d.flags.back(), static_cast<uint32_t>(kPacketLast));
    EXPECT_EQ(d.endResult, MpegDecoder::NoMoreHeadersError());
    const std::vector<uint8_t> reference = CoreDecode(file, asFloat);
    ASSERT_GT(reference.size(), 0u);
    ASSERT_EQ(d.bytes.size(), reference.size());
    EXPECT_EQ(std::memcmp(d.bytes.data(), reference.data(), reference.size()), 0);
    TString format;
    ASSERT_EQ(props_->GetString(u"format", &format), 0);
    const std::string version = c.rate == 22050 ? "2" : "1";
    EXPECT_EQ(format, Utf16("MPEG" + version + " Audio Layer " + std::to_string(c.layer)));
  }
}

INSTANTIATE_TEST_SUITE_P(Streams, StreamTest, ::testing::ValuesIn(kStreams),
                         [](const ::testing::TestParamInfo<StreamCase>& info) {
                           return "Layer" + std::to_string(info.param.layer) + "_" +
                                  std::to_string(info.index);
                         });

TEST_F(MpegDecoderModuleTest, NonMpegInputScoresNothing) {
  std::vector<uint8_t> noise(200000);
  uint32_t x = 12345;
  for (uint8_t& b : noise) {
    x = x * 1103515245u + 12345u;
    b = static_cast<uint8_t>(x >> 24) & 0x7F;  // never a sync byte
  }
  EXPECT_EQ(Detect(WrittenFile("noise.bin", noise)), std::make_pair(0u, 0u));
  // Detection belongs to a stopped module.
  decoder_->StateChange(kChainCued);
  uint32_t s1 = 0, s2 = 0;
  EXPECT_TRUE(IsEntry(Input()->CanHandle(ReaderOutput(), &s1, &s2), kMsWrongState));
}

TEST_F(MpegDecoderModuleTest, TagAndStreamProperties) {
  const std::string path = EncodedFile(
      "mod_tagged.mp3",
      "lame --quiet -b 128 --id3v1-only --tt Title --ta Author --tl Album --ty 1999 --tc Note "
      "--tg Jazz %in %out",
      44100, 2, 3.0);
  // Outside playback only the module's own texts answer.
  TString text;
  EXPECT_TRUE(IsEntry(props_->GetString(u"title", &text), kMsWrongState));
  EXPECT_EQ(props_->GetString(u"modulename", &text), 0);
  EXPECT_EQ(text, TString(u"QuenvaleMP3"));
  Start(path, false);
  const struct {
    const char16_t* name;
    const char16_t* value;
  } tags[] = {{u"title", u"Title"}, {u"author", u"Author"}, {u"album", u"Album"},
              {u"year", u"1999"},   {u"comment", u"Note"},  {u"genre", u"Jazz"}};
  for (const auto& t : tags) {
    ASSERT_EQ(props_->GetString(t.name, &text), 0) << "property";
    EXPECT_EQ(text, TString(t.value));
  }
  double total = 0;
  ASSERT_EQ(props_->GetNumber(u"totaltime", &total), 0);
  EXPECT_NEAR(total, 3.0, 0.06);
  int32_t v = -1;
  Drain(20);
  EXPECT_EQ(props_->GetInteger(u"instantbitrate", &v), 0);
  EXPECT_EQ(v, 128000);
  EXPECT_EQ(props_->GetInteger(u"averagebitrate", &v), 0);
  EXPECT_NEAR(v, 128000, 128000 * 0.02);
  EXPECT_EQ(props_->GetInteger(u"isvbr", &v), 0);
  EXPECT_EQ(v, 0);
  double decoded = 0;
  EXPECT_EQ(props_->GetNumber(u"decodetime", &decoded), 0);
  EXPECT_NEAR(decoded, 20 * 1152 / 44100.0, 0.03);
}

TEST_F(MpegDecoderModuleTest, UntaggedFileHasNoTagFields) {
  Start(EncodedFile("mod_l3_cbr128.mp3", "lame --quiet -b 128 %in %out"), false);
  TString text;
  EXPECT_EQ(props_->GetString(u"title", &text), kErrNotFound);
}

TEST_F(MpegDecoderModuleTest, SeekLandsWhereTheCoreLandsAndFlagsTheNextPacket) {
  const std::string path = EncodedFile("mod_l3_cbr128.mp3", "lame --quiet -b 128 %in %out");
  Start(path, true);
  Decoded before = Drain(3);
  ASSERT_EQ(before.flags.size(), 3u);
  ASSERT_EQ(decoder_->Seek(1.0, 0, 1), 0);
  const Decoded after = Drain();
  ASSERT_FALSE(after.flags.empty());
  EXPECT_EQ(after.flags.front() & kPacketDiscontinuity, kPacketDiscontinuity);
  // Layer III primes its bit reservoir behind the target: output resumes a few frames later.
  EXPECT_GE(after.positions.front(), 1.0 - 0.027);
  EXPECT_LE(after.positions.front(), 1.0 + 0.15);
  const std::vector<uint8_t> reference = CoreDecode(ReadFile(path), true, 3, 1000.0);
  ASSERT_EQ(after.bytes.size(), reference.size());
  EXPECT_EQ(std::memcmp(after.bytes.data(), reference.data(), reference.size()), 0);
  // From the end, a seek before the start lands at the start, and the end comes again.
  ASSERT_EQ(decoder_->Seek(-5.0, 0, 1), 0);
  const Decoded again = Drain();
  const std::vector<uint8_t> fromStart = CoreDecode(ReadFile(path), true, 3, 0.0);
  ASSERT_EQ(again.bytes.size(), fromStart.size());
  EXPECT_EQ(std::memcmp(again.bytes.data(), fromStart.data(), fromStart.size()), 0);
  ASSERT_FALSE(again.flags.empty());
  EXPECT_EQ(again.flags.back() & kPacketLast, kPacketLast);
}

TEST_F(MpegDecoderModuleTest, QuickScanLeavesPlaybackAtTheStart) {
  const std::string path = EncodedFile("mod_l3_vbr_mono.mp3", "lame --quiet -V 4 -m m %in %out");
  Start(path, false);
  ASSERT_EQ(decoder_->Prepare(1), 0);
  const Decoded d = Drain();
  ASSERT_FALSE(d.positions.empty());
  EXPECT_EQ(d.positions.front(), 0.0);
  const std::vector<uint8_t> reference = CoreDecode(ReadFile(path), false);
  ASSERT_EQ(d.bytes.size(), reference.size());
  EXPECT_EQ(std::memcmp(d.bytes.data(), reference.data(), reference.size()), 0);
}

TEST_F(MpegDecoderModuleTest, RepeatRestartsOnceAtTheEnd) {
  const std::string path = EncodedFile("mod_l3_cbr128.mp3", "lame --quiet -b 128 %in %out");
  Start(path, false);
  ASSERT_EQ(props_->SetInteger(u"repeat", 1), 0);
  const size_t once = CoreDecode(ReadFile(path), false).size();
  const Decoded d = Drain();
  EXPECT_GT(d.bytes.size(), once + once / 2);
  int32_t repeat = 1;
  EXPECT_EQ(props_->GetInteger(u"repeat", &repeat), 0);
  EXPECT_EQ(repeat, 0);
}

TEST_F(MpegDecoderModuleTest, VbrEndWithoutSeekMakesTheLengthExactWithOneEvent) {
  // No Xing record: the length stays an estimate until the end is reached.
  const std::string path =
      EncodedFile("mod_l3_vbr_noxing.mp3", "lame --quiet -V 2 -t %in %out", 44100, 2, 2.0);
  Start(path, false);
  int32_t estimate = -1;
  ASSERT_EQ(props_->GetInteger(u"totaltimeisestimate", &estimate), 0);
  EXPECT_EQ(estimate, 1);
  Drain(20);
  const int eventsBefore = callback_.formatEvents;
  const Decoded d = Drain();
  ASSERT_FALSE(d.flags.empty());
  ASSERT_EQ(props_->GetInteger(u"totaltimeisestimate", &estimate), 0);
  EXPECT_EQ(estimate, 0);
  EXPECT_GE(callback_.formatEvents, eventsBefore + 1);
  double total = 0;
  ASSERT_EQ(props_->GetNumber(u"totaltime", &total), 0);
  EXPECT_NEAR(total, 2.0, 0.06);
}

TEST_F(MpegDecoderModuleTest, CbrReportsItsEstimateSettledOnceAtFrame256) {
  const std::string path =
      EncodedFile("mod_l3_cbr_long.mp3", "lame --quiet -b 64 -t %in %out", 22050, 1, 14.0);
  Start(path, false);
  Drain(20);
  const int eventsAt20 = callback_.formatEvents;
  Drain(200);
  EXPECT_EQ(callback_.formatEvents, eventsAt20) << "the CBR estimate jittered";
  int32_t estimate = -1;
  ASSERT_EQ(props_->GetInteger(u"totaltimeisestimate", &estimate), 0);
  EXPECT_EQ(estimate, 1);
  Drain(60);
  EXPECT_EQ(callback_.formatEvents, eventsAt20 + 1);
  ASSERT_EQ(props_->GetInteger(u"totaltimeisestimate", &estimate), 0);
  EXPECT_EQ(estimate, 0);
}

TEST_F(MpegDecoderModuleTest, InterfaceSetAndMediaTypes) {
  RefPtr<MMediaTypes> types;
  ASSERT_EQ(decoder_->QueryInterface(kIID_MMediaTypes, types.PutVoid(), 1, 0), 0);
  MediaTypeList files, mimes;
  ASSERT_EQ(types->GetFileTypes(&files), 0);
  ASSERT_EQ(types->GetMimeTypes(&mimes), 0);
  EXPECT_EQ(files.Count(), 4u);
  EXPECT_EQ(mimes.Count(), 6u);
  void* p = nullptr;
  EXPECT_EQ(decoder_->QueryInterface(kIID_MMpegDecoder, &p, 1, 0), 0);
  static_cast<MAudioModule*>(p)->Release();
  EXPECT_EQ(decoder_->QueryInterface(kIID_MAudioSystem, &p, 1, 0), kErrNoInterface);
  // Packets need a start and a chosen width.
  AudioPacket* raw = nullptr;
  EXPECT_TRUE(IsEntry(Output()->GetPacket(&raw), kMsWrongState));
  EXPECT_TRUE(IsEntry(decoder_->Prepare(1), kMsWrongState));
}

}  // namespace
}  // namespace vk2
