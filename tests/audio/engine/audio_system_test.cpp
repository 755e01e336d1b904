// The audio system: iteration over the registered categories, the default endpoint, the pool
// and the nodes it makes.
#include "audio/engine/audiosys/audio_system.h"

#include <cstring>

#include "audio/engine/audiosys/media_chain.h"

#include <gtest/gtest.h>

#include "tests/audio/engine/engine_env.h"

namespace vk2::test {
namespace {

class System : public EngineEnv {
 protected:
  RefPtr<MAudioSystem> Sys() { return registry.System(); }
  int32_t Make(const Guid& iid, void** out) {
    return registry.SystemObject()->CreateInstance(iid, out, nullptr);
  }
};

TEST_F(System, ClassObjectServesItsFacesAndNodes) {
  AudioSystem* object = registry.SystemObject();
  void* p = nullptr;
  EXPECT_EQ(object->QueryInterface(kIID_MAudioSystem, &p, 1, 0), -15);
  EXPECT_EQ(Make(kIID_MMediaChain, &p), -15);
  EXPECT_EQ(p, nullptr);
  RefPtr<MPacketPool> a;
  RefPtr<MPacketPool> b;
  ASSERT_EQ(Make(kIID_MPacketPool, a.PutVoid()), 0);
  ASSERT_EQ(Make(kIID_MPacketPool, b.PutVoid()), 0);
  EXPECT_EQ(a.Get(), b.Get());
  RefPtr<MOutputNode> node;
  ASSERT_EQ(Make(kOutputNodeClass, node.PutVoid()), 0);
  EXPECT_EQ(node->Reserved(), -1);
  RefPtr<MAudioModule> endpointNode;
  ASSERT_EQ(Make(kEndpointNodeClass, endpointNode.PutVoid()), 0);
  EXPECT_EQ(endpointNode->HasOutput(), 0);
}

TEST_F(System, IteratesEachCategoryInRegistrationOrder) {
  AddDecoder("d1");
  AddDecoder("d2");
  AddFilter("f1");
  AddReader("r1");
  auto device = std::make_shared<CaptureState>();
  const Guid deviceClass = AddDevice(device);
  RefPtr<MAudioSystem> s = Sys();

  std::vector<std::string> names;
  MAudioModule* m = nullptr;
  Guid id;
  while (true) {
    ASSERT_EQ(s->NextDecoder(&m, &id), 0);
    if (!m) break;
    RefPtr<MModuleInfo> info;
    m->QueryInterface(kIID_MModuleInfo, info.PutVoid(), 1, 0);
    TString name;
    info->GetString(u"fixturename", &name);
    names.push_back(Utf8(name).c_str());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"d1", "d2"}));

  ASSERT_EQ(s->NextDspFilter(&m, &id), 0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->HasOutput(), 1);
  m->Release();
  m = nullptr;

  MStreamReader* reader = nullptr;
  ASSERT_EQ(s->NextStreamReader(&reader, &id), 0);
  ASSERT_NE(reader, nullptr);
  reader->Release();

  ASSERT_EQ(s->NextOutputDevice(&m, &id), 0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(id, deviceClass);
  EXPECT_EQ(m->HasOutput(), 0);
  // Given an id that is not registered, the iteration ends.
  id = TestClassId(999);
  ASSERT_EQ(s->NextOutputDevice(&m, &id), 0);
  EXPECT_EQ(m, nullptr);
}

TEST_F(System, ClassesThatDoNotQualifyOrCannotBeMadeArePassedOver) {
  // A "decoder" without output and one that cannot be made.
  Register(kCategoryDecoders, [](const Guid&, void**) { return -3; });
  Register(kCategoryDecoders, [this](const Guid& iid, void** out) {
    if (!(iid == kIID_MAudioModule)) return -15;
    *out = static_cast<MAudioModule*>(NewEndpoint(std::make_shared<CaptureState>()).Detach());
    return 0;
  });
  AddDecoder("real");
  MAudioModule* m = nullptr;
  Guid id;
  ASSERT_EQ(Sys()->NextDecoder(&m, &id), 0);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->HasOutput(), 1);
  m->Release();
  RefPtr<MMediaChain> chain = NewChain();
  EXPECT_EQ(static_cast<MediaChain*>(chain.Get())->DecoderCandidateCount(), 1u);
}

TEST_F(System, DefaultEndpoint) {
  auto first = std::make_shared<CaptureState>();
  auto second = std::make_shared<CaptureState>();
  AddDevice(first);
  const Guid secondClass = AddDevice(second);
  RefPtr<MAudioSystem> s = Sys();
  Guid id;
  ASSERT_EQ(s->GetDefaultEndpoint(&id), 0);
  EXPECT_EQ(id, Guid{});
  // No default: the first output device, not stored.
  RefPtr<MAudioModule> endpoint;
  ASSERT_EQ(s->CreateDefaultEndpoint(endpoint.Put()), 0);
  RefPtr<MModuleInfo> info;
  ASSERT_EQ(s->SetDefaultEndpoint(secondClass), 0);
  ASSERT_EQ(s->GetDefaultEndpoint(&id), 0);
  EXPECT_EQ(id, secondClass);
  // Kept as the preference of the "AudioSystem" section.
  RefPtr<MPreferenceStore> prefs = registry.NewPreferences();
  ASSERT_EQ(prefs->OpenSection(u"/AudioSystem", 0), 0);
  Guid stored;
  uint32_t count = 0;
  ASSERT_EQ(prefs->GetGuidList(u"DefaultEndpointFactory", &stored, 1, &count), 0);
  EXPECT_EQ(stored, secondClass);
  // The default class is made; one that cannot be made falls back to the first device.
  ASSERT_EQ(s->CreateDefaultEndpoint(endpoint.Put()), 0);
  EXPECT_EQ(registry.Created(secondClass), 1);
  ASSERT_EQ(s->SetDefaultEndpoint(TestClassId(12345)), 0);
  ASSERT_EQ(s->CreateDefaultEndpoint(endpoint.Put()), 0);
  EXPECT_TRUE(endpoint);
}

TEST_F(System, NoOutputDeviceAtAll) {
  RefPtr<MAudioModule> endpoint;
  EXPECT_EQ(Sys()->CreateDefaultEndpoint(endpoint.Put()), -5);
}

// A new audio system reads the default from the preferences.
TEST_F(System, DefaultEndpointIsReadAtConstruction) {
  RefPtr<MPreferenceStore> prefs = registry.NewPreferences();
  prefs->OpenSection(u"/AudioSystem", 1);
  const Guid id = TestClassId(77);
  prefs->SetGuidList(u"DefaultEndpointFactory", &id, 1);
  AudioSystem* other = AudioSystem::Create();
  Guid read;
  other->System()->GetDefaultEndpoint(&read);
  EXPECT_EQ(read, id);
  other->Release();
}

// Packets that are out keep the audio system alive after every other user has let it go.
TEST_F(System, OutstandingPacketsKeepTheSystemAlive) {
  AudioSystem* s = AudioSystem::Create();
  RefPtr<MPacketPool> pool;
  ASSERT_EQ(s->CreateInstance(kIID_MPacketPool, pool.PutVoid(), nullptr), 0);
  AudioPacket* packet = nullptr;
  ASSERT_EQ(pool->AcquirePacket(&packet, 512), 0);
  pool = nullptr;
  s->Release();                       // the creator's reference
  std::memset(packet->data, 1, 512);  // still valid: the packet holds the system
  packet->Release();                  // the last reference: the system goes with it (ASan checks)
}

// A chain that is only built and inspected ends in the device-less endpoint node.
TEST_F(System, ScanChainEndsInTheEndpointNode) {
  AddReader("R");
  AddDecoder("dec");
  SignalSpec spec;
  spec.frames = 22050;
  AddStream(u"scan.sig", SignalFile(spec));
  RefPtr<MAudioModule> node;
  void* p = nullptr;
  ASSERT_EQ(Make(kEndpointNodeClass, &p), 0);
  node = RefPtr<MAudioModule>::Adopt(static_cast<MAudioModule*>(p));
  RefPtr<MMediaChain> chain = NewChain();
  ASSERT_EQ(chain->SetEndpoint(node.Get()), 0);
  ASSERT_EQ(chain->Open(u"signal://scan.sig", 1000), 0);
  EXPECT_EQ(ModuleNames(chain.Get()), (std::vector<std::string>{"R", "dec", "endpoint"}));
  RefPtr<MModuleProperties> props = Properties(chain.Get());
  int32_t bps = 0;
  ASSERT_EQ(props->GetInteger(u"bytespersecond", &bps), 0);
  EXPECT_EQ(bps, 176400);
  double level = 0;
  EXPECT_EQ(props->GetNumber(u"bufferlevel", &level), -5);  // stopped: no module answers
  RefPtr<MModuleInfo> nodeInfo;
  ASSERT_EQ(node->QueryInterface(kIID_MModuleInfo, nodeInfo.PutVoid(), 1, 0), 0);
  EXPECT_TRUE(IsEntry(nodeInfo->GetNumber(u"bufferlevel", &level), kMsWrongState));
  RefPtr<MModuleProperties> writable;
  EXPECT_EQ(node->QueryInterface(kIID_MModuleProperties, writable.PutVoid(), 1, 0), -15);
  ASSERT_EQ(chain->StateChange(kChainCued), 0);
  ASSERT_EQ(chain->Prepare(kPrepareFullScan), 0);
  ASSERT_EQ(props->GetNumber(u"bufferlevel", &level), 0);
  EXPECT_EQ(level, 1.0);
  ASSERT_EQ(props->GetNumber(u"bufferlength", &level), 0);
  EXPECT_EQ(level, 0.1);
  double total = 0;
  ASSERT_EQ(props->GetNumber(u"totaltime", &total), 0);
  EXPECT_DOUBLE_EQ(total, 0.5);
  EXPECT_EQ(chain->Seek(0.25, 0, 1), 0);
  // Volume only stores; a ramp sets the target at once.
  RefPtr<MVolumeControl> volume;
  ASSERT_EQ(chain->QueryVolumeControl(volume.Put()), 0);
  EXPECT_EQ(volume->RampVolume(1.0, 0.25, 2.0), 0);
  double v = 0;
  volume->GetVolume(&v);
  EXPECT_EQ(v, 0.25);
  EXPECT_EQ(volume->RampVolume(1.0, 0.25, 0.0), -9);
  // Notifications are kept but never fire: nothing is heard.
  RefPtr<MTimeNotifications> tn;
  ASSERT_EQ(chain->QueryInterface(kIID_MTimeNotifications, tn.PutVoid(), 1, 0), 0);
  RecordingCallback cb;
  EXPECT_EQ(tn->AddNotification(&cb, 0.1, 1), 0);
  EXPECT_EQ(tn->RemoveNotification(&cb, 0.1, 1), 0);
  chain->Close();
}

}  // namespace
}  // namespace vk2::test
