// The WAVE decoder in chains the audio system builds: file reader, decoder, endpoint.
#include <gtest/gtest.h>

#include <map>

#include "tests/audio/support/local_chain_env.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

class WaveChainTest : public LocalChainEnv {
 protected:
  void SetUp() override {
    if (!HaveTool("sox") || !HaveTool("ffmpeg")) GTEST_SKIP() << "sox or ffmpeg missing";
    AddFileReader();
    AddDecoder<WaveDecoder>();
  }
  // A file made by sox with the given encoding options.
  std::string Make(const std::string& name, std::vector<std::string> options,
                   const std::string& rate = "44100", const std::string& channels = "2",
                   const std::string& seconds = "1") {
    const std::string path = folder.Path() + "/" + name + ".wav";
    std::vector<std::string> args = {"sox", "-q", "-D", "-n", "-r", rate, "-c", channels};
    args.insert(args.end(), options.begin(), options.end());
    args.insert(args.end(), {path, "synth", seconds, "sine", "200-2000", "vol", "0.8"});
    EXPECT_TRUE(RunTool(args));
    return path;
  }
  std::vector<uint8_t> Reference(const std::string& path, const std::string& format) {
    const std::string raw = path + ".ref.raw";
    EXPECT_TRUE(RunTool({"ffmpeg", "-v", "error", "-y", "-i", path, "-f", format, raw}));
    return ReadFile(raw);
  }
  static int32_t Integer(MModuleInfo* info, const char16_t* name) {
    int32_t v = -12345;
    EXPECT_EQ(info->GetInteger(name, &v), 0) << Utf8(TString(name)).c_str();
    return v;
  }

  TempFolder folder;
};

struct PlayCase {
  const char* name;
  std::vector<std::string> options;
  const char* rate;
  const char* channels;
  const char* reference;  // ffmpeg raw format of what the decoder gives
};

class WavePlayTest : public WaveChainTest, public ::testing::WithParamInterface<PlayCase> {};

TEST_P(WavePlayTest, EndpointHearsWhatTheReferenceDecodes) {
  const PlayCase c = GetParam();
  const std::string path = Make(c.name, c.options, c.rate, c.channels);
  ASSERT_EQ(Build("file://" + path), 0);
  ASSERT_TRUE(PlayToEnd());
  const std::vector<uint8_t> heard = device->Heard();
  const std::vector<uint8_t> reference = Reference(path, c.reference);
  EXPECT_EQ(heard.size(), reference.size());
  EXPECT_TRUE(heard == reference);
  EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, WavePlayTest,
    ::testing::Values(PlayCase{"s16", {"-b", "16"}, "44100", "2", "s16le"},
                      PlayCase{"u8", {"-b", "8", "-e", "unsigned-integer"}, "8000", "1", "u8"},
                      PlayCase{"s24_six", {"-b", "24"}, "48000", "6", "s24le"},
                      PlayCase{"alaw", {"-e", "a-law"}, "8000", "1", "s16le"},
                      PlayCase{"ima", {"-e", "ima-adpcm"}, "22050", "2", "s16le"},
                      PlayCase{"msadpcm", {"-e", "ms-adpcm"}, "44100", "1", "s16le"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WaveChainTest, ASeekBeforePlayStartsWhereTheReferenceHasTheBlock) {
  const std::string path = Make("seek", {"-b", "16"});
  const std::vector<uint8_t> reference = Reference(path, "s16le");
  ASSERT_EQ(Build("file://" + path), 0);
  ASSERT_EQ(chain->StateChange(kChainCued), 0);
  ASSERT_EQ(chain->Seek(0.5, 0, 1), 0);
  ASSERT_TRUE(PlayToEnd());
  const std::vector<uint8_t> heard = device->Heard();
  const size_t from = 22050 * 4;
  ASSERT_EQ(heard.size(), reference.size() - from);
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), reference.begin() + from));
}

TEST_F(WaveChainTest, PropertiesWhilePlayingAndStopped) {
  const std::string path = Make("props", {"-b", "16"});
  ASSERT_EQ(Build("file://" + path), 0);
  RefPtr<MModuleInfo> info = DecoderInfo();
  ASSERT_TRUE(info);
  // Read-only: the 7-operation interface only.
  RefPtr<MModuleProperties> writable;
  EXPECT_EQ(Decoder()->QueryInterface(kIID_MModuleProperties, writable.PutVoid(), 1, 0),
            kErrNoInterface);
  TString text;
  EXPECT_EQ(info->GetString(u"modulename", &text), 0);
  EXPECT_TRUE(text.Equals(u"ACMWAVDecoder"));
  EXPECT_EQ(info->GetString(u"format", &text), 0);
  EXPECT_TRUE(text.Equals(u"WAVE")) << Utf8(text).c_str();
  int32_t v = 0;
  EXPECT_TRUE(IsEntry(info->GetInteger(u"averagebitrate", &v), kMsWrongState));
  device->clock = CaptureState::Clock::kManual;
  ASSERT_EQ(chain->Play(0.75), 0);
  EXPECT_EQ(info->GetString(u"format", &text), 0);
  EXPECT_TRUE(text.Equals(u"WAVE (PCM, 44100 Hz, 16-bit, stereo)")) << Utf8(text).c_str();
  EXPECT_EQ(Integer(info.Get(), u"averagebitrate"), 44100 * 4 * 8);
  EXPECT_EQ(Integer(info.Get(), u"instantbitrate"), 44100 * 4 * 8);
  EXPECT_EQ(Integer(info.Get(), u"isvbr"), 0);
  EXPECT_EQ(Integer(info.Get(), u"totaltimeisestimate"), 0);
  double seconds = 0;
  EXPECT_EQ(info->GetNumber(u"totaltime", &seconds), 0);
  EXPECT_DOUBLE_EQ(seconds, 1.0);
  EXPECT_EQ(info->GetNumber(u"decodetime", &seconds), 0);
  EXPECT_GT(seconds, 0.0);
  EXPECT_EQ(info->GetString(u"channelformat", &text), 0);
  EXPECT_TRUE(text.Equals(u"discrete"));
  EXPECT_EQ(info->GetNumber(u"nosuch", &seconds), kErrNotFound);
  PropertyDescriptionList list;
  ASSERT_EQ(info->Describe(&list), 0);
  EXPECT_EQ(list.Find(u"decodetime"), list.Count() - 1);
  EXPECT_EQ(list.At(list.Find(u"totaltime")).flags, 147u);
  ASSERT_EQ(chain->StateChange(kChainStopped), 0);
  EXPECT_TRUE(IsEntry(info->GetNumber(u"totaltime", &seconds), kMsWrongState));
}

TEST_F(WaveChainTest, MediaTypesAndDetection) {
  const std::string wav = Make("detect", {"-b", "16"});
  ASSERT_EQ(Build("file://" + wav), 0);
  RefPtr<MMediaTypes> types;
  ASSERT_EQ(Decoder()->QueryInterface(kIID_MMediaTypes, types.PutVoid(), 1, 0), 0);
  MediaTypeList list;
  ASSERT_EQ(types->GetFileTypes(&list), 0);
  ASSERT_EQ(list.Count(), 1u);
  EXPECT_TRUE(list.At(0).pattern.Equals(u"*.wav"));
  EXPECT_TRUE(list.At(0).description.Equals(u"WAVE PCM Audio Files"));
  ASSERT_EQ(types->GetMimeTypes(&list), 0);
  ASSERT_EQ(list.Count(), 2u);
  EXPECT_TRUE(list.At(1).pattern.Equals(u"audio/x-wav"));
  RefPtr<MCallbackRegistry> callbacks;
  EXPECT_EQ(Decoder()->QueryInterface(kIID_MCallbackRegistry, callbacks.PutVoid(), 1, 0),
            kErrNoInterface);
  // A decoder asked to detect while the chain plays refuses.
  AudioModuleInput* input = nullptr;
  ASSERT_EQ(Decoder()->GetInput(&input, 0), 0);
  ASSERT_EQ(chain->StateChange(kChainCued), 0);
  uint32_t s1 = 1, s2 = 1;
  AudioModuleOutput* none = nullptr;
  EXPECT_TRUE(IsEntry(input->CanHandle(none, &s1, &s2), kMsWrongState));
}

// Damaged and odd files: a clear refusal when the chain is built, or a clean end.
TEST_F(WaveChainTest, DamagedFilesAreRefusedOrEndCleanly) {
  const std::string good = Make("good", {"-b", "16"});
  const std::vector<uint8_t> bytes = ReadFile(good);
  struct Case {
    const char* name;
    std::vector<uint8_t> file;
    bool opens;
  };
  std::vector<uint8_t> truncated(bytes.begin(), bytes.begin() + bytes.size() / 2 + 1);
  std::vector<uint8_t> headerOnly(bytes.begin(), bytes.begin() + 40);
  std::vector<uint8_t> garbage(5000, 0x5A);
  const Case cases[] = {{"empty", {}, false},
                        {"garbage", garbage, false},
                        {"header only", headerOnly, false},
                        {"truncated", truncated, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.Write(std::string(c.name) + ".wav", c.file);
    events.Clear();
    const int32_t r = Build("file://" + path);
    if (!c.opens) {
      EXPECT_LT(r, 0);
      chain = nullptr;
      continue;
    }
    ASSERT_EQ(r, 0);
    ASSERT_TRUE(PlayToEnd());
    EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
    // Whole frames of what the file holds.
    EXPECT_EQ(device->Heard().size(), (truncated.size() - 44) / 4 * 4);
    chain->Close();
    chain = nullptr;
  }
}

}  // namespace
}  // namespace vk2::test
