// The engine as the player meets it: the runtime loads the audio system, the generic endpoint
// and the test module from its folder; a chain is built by class id and plays a generated
// signal into the capture device, seeks, pauses and stops, with the bytes checked.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "component/module/runtime_loader.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_system.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"
#include "tests/fixtures/audio/capture_probe.h"
#include "tests/fixtures/audio/recording_callback.h"
#include "tests/fixtures/audio/signal.h"

namespace vk2::test {
namespace {

// A private folder with the runtime and the modules, and private per-user files.
class Sandbox {
 public:
  Sandbox() {
    char pattern[] = "/tmp/vk2engine.XXXXXX";
    root_ = ::mkdtemp(pattern);
    for (const char* sub : {"/lib", "/config", "/state", "/cache"}) {
      ::mkdir((root_ + sub).c_str(), 0700);
    }
    for (const char* file : {VK2_TEST_ORU_SO, VK2_TEST_AUDIOSYS_SO, VK2_TEST_GENERICOUT_SO,
                             VK2_TEST_AUDIO_MODULE_SO}) {
      const std::string from = file;
      std::ifstream in(from, std::ios::binary);
      std::ofstream out(root_ + "/lib/" + from.substr(from.rfind('/') + 1), std::ios::binary);
      out << in.rdbuf();
    }
    Set("XDG_CONFIG_HOME", root_ + "/config");
    Set("XDG_STATE_HOME", root_ + "/state");
    Set("XDG_CACHE_HOME", root_ + "/cache");
    Set("ORU_SHARED_PATH", root_ + "/lib/oru.so");
  }
  ~Sandbox() {
    for (const auto& [name, value] : saved_) {
      if (value.empty()) {
        ::unsetenv(name.c_str());
      } else {
        ::setenv(name.c_str(), value.c_str() + 1, 1);
      }
    }
    std::system(("rm -rf " + root_).c_str());
  }

 private:
  void Set(const char* name, const std::string& value) {
    const char* old = std::getenv(name);
    saved_.emplace_back(name, old ? std::string("=") + old : std::string());
    ::setenv(name, value.c_str(), 1);
  }
  std::string root_;
  std::vector<std::pair<std::string, std::string>> saved_;
};

template <class T>
RefPtr<T> Create(const Guid& classId, const Guid& iid) {
  return CreateRuntimeObject<T>(classId, iid);
}

bool PlayUntil(CaptureState* device, const std::function<bool()>& done) {
  for (int i = 0; i < 20000; ++i) {
    if (done()) return true;
    device->Advance(20000);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  return done();
}

class RuntimeChain : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox_ = std::make_unique<Sandbox>();
    ASSERT_TRUE(LoadRuntime());
    system = Create<MAudioSystem>(kAudioSystemClass, kIID_MAudioSystem);
    ASSERT_TRUE(system);
    probe = Create<MCaptureProbe>(kCaptureProbeClass, kIID_MCaptureProbe);
    ASSERT_TRUE(probe);
    device = probe->State();
  }
  void TearDown() override {
    system = nullptr;
    probe = nullptr;
    UnloadRuntime();
    sandbox_.reset();
  }
  std::unique_ptr<Sandbox> sandbox_;
  RefPtr<MAudioSystem> system;
  RefPtr<MCaptureProbe> probe;
  CaptureState* device = nullptr;
};

TEST_F(RuntimeChain, OneSystemOnePoolAndTheRegisteredModules) {
  auto pool1 = Create<MPacketPool>(kAudioSystemClass, kIID_MPacketPool);
  auto pool2 = Create<MPacketPool>(kAudioSystemClass, kIID_MPacketPool);
  ASSERT_TRUE(pool1);
  EXPECT_EQ(pool1.Get(), pool2.Get());
  auto again = Create<MAudioSystem>(kAudioSystemClass, kIID_MAudioSystem);
  EXPECT_EQ(again.Get(), system.Get());

  MAudioModule* decoder = nullptr;
  Guid id;
  ASSERT_EQ(system->NextDecoder(&decoder, &id), 0);
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(id, kTestDecoderClass);
  ASSERT_EQ(system->NextDecoder(&decoder, &id), 0);
  EXPECT_EQ(decoder, nullptr);  // the last one: the end, still 0

  MAudioModule* filter = nullptr;
  ASSERT_EQ(system->NextDspFilter(&filter, &id), 0);
  ASSERT_NE(filter, nullptr);
  EXPECT_EQ(filter->HasOutput(), 1);
  filter->Release();

  // No default endpoint was ever set: the first output device is taken and not stored.
  RefPtr<MAudioModule> endpoint;
  ASSERT_EQ(system->CreateDefaultEndpoint(endpoint.Put()), 0);
  ASSERT_TRUE(endpoint);
  EXPECT_EQ(endpoint->HasOutput(), 0);
  Guid stored;
  ASSERT_EQ(system->GetDefaultEndpoint(&stored), 0);
  EXPECT_EQ(stored, Guid{});
}

TEST_F(RuntimeChain, PlaysSeeksPausesAndStopsAGeneratedSignal) {
  SignalSpec spec{44100, 2, 16, false, true, 88200, 7};
  const std::vector<uint8_t> all = SignalSamples(spec, 0, spec.frames);
  const uint32_t frameBytes = SignalFrameBytes(spec);
  device->clock = CaptureState::Clock::kManual;

  RefPtr<MAudioModule> endpoint;
  ASSERT_EQ(system->CreateDefaultEndpoint(endpoint.Put()), 0);
  RefPtr<MMediaChain> chain = RefPtr<MMediaChain>::Adopt(system->CreateChain());
  ASSERT_TRUE(chain);
  ASSERT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
  ASSERT_EQ(chain->Open(u"signal://gen-44100-2-16-88200-7.sig", 1000), 0);
  RecordingCallback events;
  ASSERT_EQ(chain->RegisterCallback(&events, 3), 0);

  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(PlayUntil(device, [&] { return device->HeardBytes() >= 22050u * frameBytes; }));
  // Pause: nothing more is heard however long the device runs.
  ASSERT_EQ(chain->StateChange(kChainCued), 0);
  const uint64_t paused = device->HeardBytes();
  device->Advance(1000000);
  EXPECT_EQ(device->HeardBytes(), paused);
  ASSERT_EQ(chain->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(
      PlayUntil(device, [&] { return device->HeardBytes() >= paused + 4410u * frameBytes; }));
  // Seek to 1.5 s: what was queued is dropped; the rest comes from there.
  const uint64_t before = device->HeardBytes();
  ASSERT_EQ(chain->Seek(1.5, 0, 1), 0);
  ASSERT_TRUE(events.WaitFor(kEventFlushed));
  ASSERT_TRUE(PlayUntil(device, [&] { return events.Count(kEventStreamEnded) > 0; }));
  const std::vector<uint8_t> heard = device->Heard();
  const size_t tail = all.size() - 66150u * frameBytes;
  ASSERT_EQ(heard.size(), before + tail);
  EXPECT_TRUE(
      std::equal(heard.begin(), heard.begin() + static_cast<std::ptrdiff_t>(before), all.begin()));
  EXPECT_TRUE(std::equal(heard.end() - static_cast<std::ptrdiff_t>(tail), heard.end(),
                         all.end() - static_cast<std::ptrdiff_t>(tail)));

  // Played again from the start, then stopped part-way.
  ASSERT_EQ(chain->StateChange(kChainStopped), 0);
  EXPECT_LT(chain->Seek(0.0, 0, 1), 0);  // not while stopped
  ASSERT_EQ(chain->Close(), 0);
  ASSERT_EQ(chain->Open(u"signal://gen-44100-2-16-88200-7.sig", 1000), 0);
  const uint64_t start = device->HeardBytes();
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(
      PlayUntil(device, [&] { return device->HeardBytes() >= start + 8820u * frameBytes; }));
  ASSERT_EQ(chain->StateChange(kChainStopped), 0);
  EXPECT_FALSE(device->IsOpen());
  const std::vector<uint8_t> second = device->Heard();
  ASSERT_GT(second.size(), start);
  EXPECT_TRUE(
      std::equal(second.begin() + static_cast<std::ptrdiff_t>(start), second.end(), all.begin()));
  EXPECT_EQ(device->Overruns(), 0);

  chain->UnregisterCallback(&events, 3);
  chain->Close();
}

}  // namespace
}  // namespace vk2::test
