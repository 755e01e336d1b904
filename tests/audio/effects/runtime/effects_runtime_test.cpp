// The effects module as the player meets it: loaded by the runtime from its folder, found by
// category, its filters in every chain the audio system builds.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "component/module/runtime_loader.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/audio/audio_system.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/effect_controls.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/audio/module_properties.h"
#include "interfaces/core/control_object.h"
#include "interfaces/ids.h"
#include "interfaces/runtime/class_enumerator.h"
#include "interfaces/runtime/preference_store.h"
#include "interfaces/runtime/registrar.h"
#include "tests/audio/support/module_sandbox.h"
#include "tests/fixtures/audio/capture_probe.h"
#include "tests/fixtures/audio/signal.h"

namespace vk2::test {
namespace {

std::string ModuleName(MUnknown* module) {
  RefPtr<MModuleInfo> info;
  TString name;
  if (module->QueryInterface(kIID_MModuleInfo, info.PutVoid(), 1, 0) != 0 ||
      info->GetString(u"modulename", &name) != 0) {
    return "?";
  }
  return Utf8(name).c_str();
}

class EffectsRuntime : public ::testing::Test {
 protected:
  void SetUp() override {
    sandbox_ = std::make_unique<ModuleSandbox>(
        std::vector<std::string>{VK2_TEST_ORU_SO, VK2_TEST_AUDIOSYS_SO, VK2_TEST_GENERICOUT_SO,
                                 VK2_TEST_AUDIO_MODULE_SO, VK2_TEST_DSPS_SO, VK2_TEST_TESSEL_SO});
    ASSERT_TRUE(LoadRuntime());
    system = CreateRuntimeObject<MAudioSystem>(kAudioSystemClass, kIID_MAudioSystem);
    ASSERT_TRUE(system);
    probe = CreateRuntimeObject<MCaptureProbe>(kCaptureProbeClass, kIID_MCaptureProbe);
    ASSERT_TRUE(probe);
    device = probe->State();
    device->clock = CaptureState::Clock::kManual;
  }
  void TearDown() override {
    system = nullptr;
    probe = nullptr;
    UnloadRuntime();
    sandbox_.reset();
  }

  // Plays a generated signal to its end through a new chain whose modules read their settings
  // from `settings`; the chain's module names in order, and what the device heard.
  std::vector<std::string> PlayThrough(MPreferenceStore* settings, std::vector<uint8_t>* heard) {
    std::vector<std::string> names;
    RefPtr<MAudioModule> endpoint;
    EXPECT_EQ(system->CreateDefaultEndpoint(endpoint.Put()), 0);
    RefPtr<MMediaChain> chain = RefPtr<MMediaChain>::Adopt(system->CreateChain());
    if (!chain || !endpoint) return names;
    if (settings) {
      RefPtr<MModuleProperties> props;
      chain->QueryInterface(kIID_MModuleProperties, props.PutVoid(), 1, 0);
      props->LoadSettings(settings);
    }
    const uint64_t before = device->HeardBytes();
    EXPECT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
    EXPECT_EQ(chain->Open(u"signal://gen-44100-2-16-22050-5.sig", 1000), 0);
    MAudioModule* m = nullptr;
    while (chain->NextModule(&m) == 0 && m)
      names.push_back(m->HasOutput() ? ModuleName(m) : "endpoint");
    EXPECT_EQ(chain->Play(0.75), 0);
    // Until the device has heard nothing new for a while: the stream has ended.
    uint64_t last = 0;
    int quiet = 0;
    for (int i = 0; i < 20000 && quiet < 200; ++i) {
      device->Advance(20000);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
      const uint64_t now = device->HeardBytes();
      quiet = now == last ? quiet + 1 : 0;
      last = now;
    }
    chain->StateChange(kChainStopped);
    chain->Close();
    const std::vector<uint8_t> all = device->Heard();
    heard->assign(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
    return names;
  }

  std::unique_ptr<ModuleSandbox> sandbox_;
  RefPtr<MAudioSystem> system;
  RefPtr<MCaptureProbe> probe;
  CaptureState* device = nullptr;
};

TEST_F(EffectsRuntime, EveryChainCarriesBothFiltersWhichAreSilentUntilSet) {
  const SignalSpec spec{44100, 2, 16, false, true, 22050, 5};
  std::vector<uint8_t> heard;
  const std::vector<std::string> names = PlayThrough(nullptr, &heard);
  EXPECT_NE(std::find(names.begin(), names.end(), "Equalizer"), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), "PitchAmpBal"), names.end());
  EXPECT_EQ(names.back(), "endpoint");
  // Flat equalizer, pitch 1, amplification 1, balance 0: every byte as it was.
  EXPECT_EQ(heard, SignalSamples(spec, 0, spec.frames));
}

TEST_F(EffectsRuntime, SettingsInTheChainsSectionReachItsFilters) {
  auto settings = CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  ASSERT_TRUE(settings);
  ASSERT_EQ(settings->OpenSection(u"/players/main", 1), 0);
  auto pab = CreateRuntimeObject<MPreferenceStore>(kServiceClass, kIID_MPreferenceStore);
  ASSERT_EQ(pab->SetBase(settings.Get()), 0);
  ASSERT_EQ(pab->OpenSection(u"pitchampbal", 1), 0);  // as the control object names it
  ASSERT_EQ(pab->SetDouble(u"pitch", 2.0), 0);
  std::vector<uint8_t> heard;
  PlayThrough(settings.Get(), &heard);
  // Half the frames, give or take one per packet.
  const size_t frames = heard.size() / 4;
  EXPECT_LE(frames, 22050u / 2);
  EXPECT_GE(frames, 22050u / 2 - 64);
}

TEST_F(EffectsRuntime, ClassesAndCategoriesServeFiltersAndControlObjects) {
  auto classes = CreateRuntimeObject<MClassEnumerator>(kRuntimeRootClass, kIID_MClassEnumerator);
  ASSERT_TRUE(classes);
  const auto members = [&](const Guid& category) {
    std::vector<Guid> ids;
    uint32_t count = 0;
    classes->GetCategoryCount(category, &count);
    for (uint32_t i = 0; i < count; ++i) {
      Guid id;
      if (classes->GetCategoryEntry(category, i, &id, nullptr) == 0) ids.push_back(id);
    }
    return ids;
  };
  for (const Guid& category : {kCategoryDspFilters, kCategoryControlObjects}) {
    const std::vector<Guid> ids = members(category);
    EXPECT_NE(std::find(ids.begin(), ids.end(), kEqualizerClass), ids.end());
    EXPECT_NE(std::find(ids.begin(), ids.end(), kPitchAmpBalanceClass), ids.end());
  }

  struct Case {
    Guid classId;
    Guid iid;
    const char* made;  // module name, "control", or null for -15
  };
  const Case cases[] = {
      {kEqualizerClass, kIID_MEqualizer, "Equalizer"},
      {kEqualizerClass, kIID_MAudioModule, "Equalizer"},
      {kEqualizerClass, kIID_MPitchAmpBalance, "PitchAmpBal"},
      {kEqualizerClass, kIID_MControlObject, "control"},
      {kPitchAmpBalanceClass, kIID_MPitchAmpBalance, "PitchAmpBal"},
      {kPitchAmpBalanceClass, kIID_MAudioModule, "PitchAmpBal"},
      {kPitchAmpBalanceClass, kIID_MControlObject, "control"},
      {kPitchAmpBalanceClass, kIID_MEqualizer, nullptr},
      {kEqualizerClass, kIID_MModuleInfo, nullptr},
  };
  for (const Case& c : cases) {
    void* p = nullptr;
    const int32_t r = classes->CreateInstance(c.classId, c.iid, &p, nullptr);
    if (!c.made) {
      EXPECT_LT(r, 0);
      EXPECT_EQ(p, nullptr);
      continue;
    }
    ASSERT_EQ(r, 0) << c.made;
    auto object = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(p));
    if (std::string(c.made) == "control") {
      RefPtr<MControlObject> control;
      EXPECT_EQ(object->QueryInterface(kIID_MControlObject, control.PutVoid(), 1, 0), 0);
    } else {
      EXPECT_EQ(ModuleName(object.Get()), c.made);
    }
  }
  RefPtr<MControlObject> eq;
  ASSERT_EQ(classes->CreateInstance(kEqualizerClass, kIID_MControlObject, eq.PutVoid(), nullptr),
            0);
  RefPtr<MControlObjectPeer> peer;
  ASSERT_EQ(eq->QueryInterface(kIID_MControlObjectPeer, peer.PutVoid(), 1, 0), 0);
  EXPECT_EQ(peer->GetNumBands(), 0);  // no layout before Init
}

// A registrar that fails its `failAt`-th call and records every call before it.
class RecordingRegistrar final : public MRegistrar {
 public:
  explicit RecordingRegistrar(int failAt) : failAt_(failAt) {}
  int32_t QueryInterface(const Guid&, void** out, uint32_t, uint32_t) override {
    if (out) *out = nullptr;
    return -15;
  }
  uint32_t AddRef() override { return 1; }
  uint32_t Release() override { return 1; }
  int32_t RegisterModuleFile(int32_t, const char16_t*, uint32_t) override { return -1; }
  int32_t RegisterClass(int32_t, const Guid& classId, uintptr_t, const char16_t* name) override {
    return Step("class " + Id(classId) + " " + Utf8(TString(name)).c_str());
  }
  int32_t AddToCategory(int32_t, const Guid& category, const Guid& member,
                        const char16_t* name) override {
    return Step(Id(category) + " " + Id(member) + " " + Utf8(TString(name)).c_str());
  }
  int32_t SetBatch(int32_t) override { return 0; }
  int32_t Attach() override { return 0; }
  int32_t Detach() override { return 0; }
  std::vector<std::string> steps;

 private:
  static std::string Id(const Guid& g) {
    if (g == kEqualizerClass) return "EQ";
    if (g == kPitchAmpBalanceClass) return "PAB";
    if (g == kCategoryDspFilters) return "dsp";
    if (g == kCategoryControlObjects) return "controls";
    return "?";
  }
  int32_t Step(std::string what) {
    if (static_cast<int>(steps.size()) == failAt_) return -4;
    steps.push_back(std::move(what));
    return 0;
  }
  int failAt_;
};

TEST(EffectsModuleEntryPoints, RegistersInOrderAndStopsAtTheFirstFailure) {
  void* module = ::dlopen(VK2_TEST_DSPS_SO, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << ::dlerror();
  using RegisterFn = int32_t (*)(int32_t, MRegistrar*, uintptr_t);
  using FactoryFn = int32_t (*)(const Guid*, void**);
  auto registerOru = reinterpret_cast<RegisterFn>(::dlsym(module, "RegisterORU"));
  auto factory = reinterpret_cast<FactoryFn>(::dlsym(module, "MIFactory"));
  ASSERT_TRUE(registerOru && factory);
  const std::vector<std::string> all = {"class EQ Velkora 2 Built-in DSP Filters",
                                        "class PAB Velkora 2 Built-in DSP Filters",
                                        "dsp EQ Equalizer",
                                        "dsp PAB Pitch/Amp/Balance",
                                        "controls EQ Equalizer Control",
                                        "controls PAB Pitch/Amp/Balance Control"};
  for (int failAt = 0; failAt <= static_cast<int>(all.size()); ++failAt) {
    RecordingRegistrar registrar(failAt);
    const int32_t r = registerOru(1, &registrar, 0);
    EXPECT_EQ(r, failAt < static_cast<int>(all.size()) ? -1 : 0) << failAt;
    EXPECT_EQ(registrar.steps,
              std::vector<std::string>(all.begin(), all.begin() + std::min<size_t>(failAt, 6)));
  }
  void* classObject = nullptr;
  EXPECT_EQ(factory(&kCategoryDspFilters, &classObject), -15);
  EXPECT_EQ(classObject, nullptr);
  ASSERT_EQ(factory(&kPitchAmpBalanceClass, &classObject), 0);
  auto* unknown = static_cast<MUnknown*>(classObject);
  void* p = nullptr;
  EXPECT_EQ(unknown->QueryInterface(kIID_MAudioModule, &p, 1, 0), -15);
  unknown->Release();
  ::dlclose(module);
}

}  // namespace
}  // namespace vk2::test
