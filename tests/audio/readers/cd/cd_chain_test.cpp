// The CD reader in chains the audio system builds: the reader straight into the endpoint.
#include <gtest/gtest.h>

#include <memory>

#include "audio/readers/cd/cd_extractor.h"
#include "audio/readers/file/file_reader.h"
#include "foundation/util/result.h"
#include "tests/audio/engine/engine_env.h"
#include "tests/audio/readers/cd/cd_test_drives.h"
#include "tests/audio/support/cd_image.h"

namespace vk2::test {
namespace {

constexpr size_t kSectorBytes = 2352;

class CdChainTest : public EngineEnv {
 protected:
  void SetUp() override {
    image_ = MakeCdImage(dir_, {{40}, {120}});
    ASSERT_FALSE(image_.cue.empty()) << "sox made no image";
    auto catalog = std::make_shared<TestCdCatalog>(std::vector<std::string>{image_.cue});
    Register(kCategoryStreamReaders, [catalog](const Guid& iid, void** out) {
      if (!(iid == kIID_MStreamReader)) return int32_t{kErrNoInterface};
      auto* reader = new CDExtractor(catalog);
      reader->AddRef();
      *out = static_cast<MStreamReader*>(reader);
      return int32_t{kOk};
    });
  }
  void TearDown() override {
    if (chain) chain->Close();
    chain = nullptr;
    endpoint = nullptr;
    EngineEnv::TearDown();
  }
  int32_t Build(const char16_t* url) {
    chain = NewChain();
    endpoint = NewEndpoint(device);
    EXPECT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
    const int32_t r = chain->Open(url, 100000);
    if (r == 0) {
      EXPECT_EQ(chain->RegisterCallback(&events, 1), 0);
    }
    return r;
  }

  RecordingCallback events;  // first: it outlives the chain, whose event thread may hold it
  TempFolder dir_;
  CdImage image_;
  std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
  RefPtr<MMediaChain> chain;
  RefPtr<AudioEndpoint> endpoint;
};

TEST_F(CdChainTest, TheEndpointHearsTheTrackAsItLiesOnTheDisc) {
  ASSERT_EQ(Build(u"cdaudio://2"), 0);
  // No decoder: the reader's own output is linear audio.
  EXPECT_EQ(ModuleNames(chain.Get()).size(), 2u);
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded));
  EXPECT_TRUE(device->Heard() == image_.TrackBytes(2));
  EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
}

TEST_F(CdChainTest, ASeekBeforePlayStartsAtItsSector) {
  ASSERT_EQ(Build(u"cdaudio://0/2"), 0);
  // Cued, the endpoint already holds the track's first packets; the chain's seek moves the
  // reader before the endpoint drops them, so none of them is kept.
  ASSERT_EQ(chain->WaitForBuffer(0.75), 0);
  ASSERT_EQ(chain->Seek(1.0, 0, 1), 0);
  ASSERT_EQ(chain->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded));
  const std::vector<uint8_t> track = image_.TrackBytes(2);
  const std::vector<uint8_t> rest(track.begin() + 75 * kSectorBytes, track.end());
  EXPECT_TRUE(device->Heard() == rest);
}

TEST_F(CdChainTest, ACdaNameGoesToTheCdReaderThoughTheFileReaderClaimsIt) {
  Register(kCategoryStreamReaders, [](const Guid& iid, void** out) {
    if (!(iid == kIID_MStreamReader)) return int32_t{kErrNoInterface};
    auto* reader = new FileReader();
    reader->AddRef();
    *out = static_cast<MStreamReader*>(reader);
    return int32_t{kOk};
  });
  ASSERT_EQ(Build(u"file://D:\\Track01.cda"), 0);
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded));
  EXPECT_TRUE(device->Heard() == image_.TrackBytes(1));
}

TEST_F(CdChainTest, NoReaderTakesATrackTheDiscLacks) {
  EXPECT_LT(Build(u"cdaudio://9"), 0);
}

}  // namespace
}  // namespace vk2::test
