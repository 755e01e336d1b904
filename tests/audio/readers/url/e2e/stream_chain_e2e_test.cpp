// Files served over loopback HTTP play through chains the audio system builds exactly as the
// same files do from disk: from a server that honours ranges (read through the disk cache or
// the download ring) and from a live-style server that sends neither a length nor ranges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "audio/readers/url/url_reader.h"
#include "tests/audio/support/local_chain_env.h"
#include "tests/platform/net/http_test_server.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

struct StreamCase {
  const char* name;
  const char* file;  // "ogg" or "wav"
  bool ranges;
  int32_t diskBuffer;
};

class StreamChainTest : public LocalChainEnv, public ::testing::WithParamInterface<StreamCase> {
 protected:
  void SetUp() override {
    if (!HaveTool("sox") || !HaveTool("oggenc") || !HaveTool("oggdec")) {
      GTEST_SKIP() << "sox, oggenc or oggdec missing";
    }
    setenv("XDG_CACHE_HOME", folder_.Path().c_str(), 1);
    AddFileReader();
    Register(kCategoryStreamReaders, [this](const Guid& iid, void** out) {
      if (!(iid == kIID_MStreamReader)) return kErrNoInterface;
      auto* reader = new UrlReader();
      reader->AddRef();
      RefPtr<MModuleProperties> props;
      reader->QueryInterface(kIID_MModuleProperties, props.PutVoid(), 1, 0);
      props->SetInteger(u"diskbuffer", diskBuffer_);
      caching_ = reader;
      *out = static_cast<MStreamReader*>(reader);
      return kOk;
    });
    AddDecoder<WaveDecoder>();
    AddDecoder<OggVorbisDecoder>();
    const std::string wav = folder_.Path() + "/tone.wav";
    ASSERT_TRUE(RunTool({"sox", "-q", "-D", "-n", "-r", "44100", "-c", "2", "-b", "16", wav,
                         "synth", "2", "sine", "300-1500", "vol", "0.7"}));
    const std::string ogg = folder_.Path() + "/tone.ogg";
    ASSERT_TRUE(RunTool({"oggenc", "-Q", "-o", ogg, wav}));
    paths_["wav"] = wav;
    paths_["ogg"] = ogg;
  }
  void TearDown() override {
    LocalChainEnv::TearDown();
    unsetenv("XDG_CACHE_HOME");
  }
  // What a chain for the local file `url` hears from start to end.
  std::vector<uint8_t> HeardFromFile(const std::string& url) {
    device = std::make_shared<CaptureState>();
    device->canOpen = [](const AudioFormat& f) {
      return IsPcm(f) && !f.isFloat && f.bitsPerSample == 16 ? 1 : 0;
    };
    EXPECT_EQ(Build(url), 0);
    EXPECT_TRUE(PlayToEnd());
    EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
    std::vector<uint8_t> heard = device->Heard();
    chain->Close();
    chain = nullptr;
    endpoint = nullptr;
    return heard;
  }

  TempFolder folder_;
  std::map<std::string, std::string> paths_;
  int32_t diskBuffer_ = 1;
  UrlReader* caching_ = nullptr;  // the last URL reader made, while its chain lives
};

TEST_P(StreamChainTest, StreamSoundsLikeTheFile) {
  const StreamCase c = GetParam();
  diskBuffer_ = c.diskBuffer;
  const auto bytes = ReadFile(paths_[c.file]);
  HttpTestServer server([&](const std::string&, const std::string&) {
    HttpAnswer a;
    a.body.assign(bytes.begin(), bytes.end());
    a.ranges = c.ranges;
    a.sendLength = c.ranges;
    return a;
  });
  const std::vector<uint8_t> local = HeardFromFile("file://" + paths_[c.file]);
  ASSERT_FALSE(local.empty());
  device = std::make_shared<CaptureState>();
  device->canOpen = [](const AudioFormat& f) {
    return IsPcm(f) && !f.isFloat && f.bitsPerSample == 16 ? 1 : 0;
  };
  ASSERT_EQ(Build(server.Url(std::string("/tone.") + c.file)), 0);
  ASSERT_TRUE(caching_);
  EXPECT_EQ(caching_->IsCaching(), c.diskBuffer != 0 && c.ranges);
  EXPECT_EQ(caching_->IsSeekable(), c.ranges);
  ASSERT_EQ(chain->Play(0.75), 0);
  // The local file's chain ended once before.
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded, 2));
  EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
  const std::vector<uint8_t> streamed = device->Heard();
  EXPECT_TRUE(streamed == local) << streamed.size() << " vs " << local.size();
  if (std::string(c.file) == "ogg") {
    const std::string raw = folder_.Path() + "/ref.raw";
    ASSERT_TRUE(RunTool(
        {"oggdec", "-Q", "-R", "-b", "16", "-e", "0", "-s", "1", "-o", raw, paths_["ogg"]}));
    EXPECT_TRUE(ToS16(streamed) == ReadS16(raw));
  }
}

INSTANTIATE_TEST_SUITE_P(Servers, StreamChainTest,
                         ::testing::Values(StreamCase{"OggCached", "ogg", true, 1},
                                           StreamCase{"OggRing", "ogg", true, 0},
                                           StreamCase{"OggLive", "ogg", false, 0},
                                           StreamCase{"WaveCached", "wav", true, 1},
                                           StreamCase{"WaveLive", "wav", false, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vk2::test
