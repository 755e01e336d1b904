// The CD reader module loaded by the runtime: it registers itself as a stream reader, the audio
// system picks it for track URLs, and a track plays from the drive the environment names.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "component/module/runtime_loader.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_system.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/stream_reader.h"
#include "interfaces/ids.h"
#include "tests/audio/support/cd_image.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/fixtures/audio/capture_probe.h"
#include "tests/fixtures/audio/recording_callback.h"

namespace vk2::test {
namespace {

class CdRuntimeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    image_ = MakeCdImage(dir_, {{30}, {60}});
    ASSERT_FALSE(image_.cue.empty()) << "sox made no image";
    sandbox_.Set("VK2_CD_DEVICE", image_.cue);
    ASSERT_TRUE(LoadRuntime());
    system_ = CreateRuntimeObject<MAudioSystem>(kAudioSystemClass, kIID_MAudioSystem);
    ASSERT_TRUE(system_);
    probe_ = CreateRuntimeObject<MCaptureProbe>(kCaptureProbeClass, kIID_MCaptureProbe);
    ASSERT_TRUE(probe_);
  }
  void TearDown() override {
    system_ = nullptr;
    probe_ = nullptr;
    UnloadRuntime();
  }

  TempFolder dir_;  // outlives the sandbox: the drive may be read until the runtime is gone
  CdImage image_;
  ModuleSandbox sandbox_{{VK2_TEST_ORU_SO, VK2_TEST_AUDIOSYS_SO, VK2_TEST_GENERICOUT_SO,
                          VK2_TEST_AUDIO_MODULE_SO, VK2_TEST_CD_MODULE_SO}};
  RefPtr<MAudioSystem> system_;
  RefPtr<MCaptureProbe> probe_;
};

TEST_F(CdRuntimeTest, TheAudioSystemPlaysATrackThroughTheRegisteredReader) {
  RefPtr<MAudioModule> endpoint;
  ASSERT_EQ(system_->CreateDefaultEndpoint(endpoint.Put()), 0);
  RefPtr<MMediaChain> chain = RefPtr<MMediaChain>::Adopt(system_->CreateChain());
  ASSERT_TRUE(chain);
  ASSERT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
  ASSERT_EQ(chain->Open(u"cdaudio://2", 1000), 0);
  RecordingCallback events;
  ASSERT_EQ(chain->RegisterCallback(&events, 3), 0);
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded));
  EXPECT_TRUE(probe_->State()->Heard() == image_.TrackBytes(2));
  chain->UnregisterCallback(&events, 3);
  chain->Close();
}

TEST_F(CdRuntimeTest, TheClassMakesReadersAndNothingElse) {
  auto reader = CreateRuntimeObject<MStreamReader>(kCDExtractorClass, kIID_MStreamReader);
  ASSERT_TRUE(reader);
  uint32_t s1 = 0, s2 = 0;
  EXPECT_EQ(reader->CanRead(u"file://D:\\Track01.cda", &s1, &s2), 0);
  EXPECT_EQ(s1 * s2, 10000u);
  EXPECT_EQ(reader->Open(u"file://D:\\Track01.cda"), 0);
  int64_t size = 0;
  EXPECT_EQ(reader->GetSize(&size, nullptr), 0);
  EXPECT_EQ(size, 30 * 2352);
  EXPECT_FALSE(CreateRuntimeObject<MStreamReader>(kCDExtractorClass, kIID_MFileReader));
}

TEST_F(CdRuntimeTest, TheModuleServesOnlyItsOwnClass) {
  void* module =
      dlopen((sandbox_.LibDir() + "/vk2_audio_cd_extractor.so").c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr);
  using Factory = int32_t (*)(const Guid*, void**);
  auto factory = reinterpret_cast<Factory>(dlsym(module, "MIFactory"));
  ASSERT_NE(factory, nullptr);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory(&kFileReaderClass, &out), -15);
  EXPECT_EQ(out, nullptr);
  dlclose(module);
}

}  // namespace
}  // namespace vk2::test
