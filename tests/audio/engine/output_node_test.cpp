// The seamless output node: successive chains feed one endpoint through inputs of one node.
#include "audio/engine/audiosys/output_node.h"

#include "audio/engine/audiosys/audio_system.h"

#include <gtest/gtest.h>

#include <thread>

#include "tests/audio/engine/engine_env.h"

namespace vk2::test {
namespace {

class Seamless : public EngineEnv {
 protected:
  struct Item {
    RecordingCallback events;  // outlives the chain
    RefPtr<MMediaChain> chain;
    RefPtr<MAudioModule> input;
    SignalSpec spec;
  };

  void SetUp() override {
    AddReader("R");
    AddDecoder("dec");
    RefPtr<MAudioSystem> system = registry.System();
    void* p = nullptr;
    ASSERT_EQ(registry.SystemObject()->CreateInstance(kOutputNodeClass, &p, nullptr), 0);
    node = RefPtr<MOutputNode>::Adopt(static_cast<MOutputNode*>(p));
    endpoint = NewEndpoint(device);
    // A buffer shorter than the items: their ends are reached while the endpoint plays.
    RefPtr<MModuleProperties> props;
    endpoint->QueryInterface(kIID_MModuleProperties, props.PutVoid(), 1, 0);
    ASSERT_EQ(props->SetNumber(u"bufferlength", 0.05), 0);
    ASSERT_EQ(node->SetEndpoint(endpoint.Get()), 0);
  }
  void TearDown() override {
    for (auto& item : items) {
      if (item->chain) {
        item->chain->StateChange(kChainStopped);
        item->chain->UnregisterCallback(&item->events, 1);
        item->chain->Close();
      }
    }
    items.clear();
    if (node) node->DrainInputs();
    if (node) node->SetEndpoint(nullptr);
    EngineEnv::TearDown();
  }
  Item& AddItem(const std::u16string& name, SignalSpec spec, int32_t streamId) {
    auto item = std::make_unique<Item>();
    item->spec = spec;
    AddStream(name, SignalFile(spec));
    item->chain = NewChain();
    EXPECT_EQ(node->CreateInput(item->input.Put()), 0);
    EXPECT_EQ(item->chain->SetEndpoint(item->input.Get()), 0);
    EXPECT_EQ(item->chain->Open((u"signal://" + name).c_str(), 0x7FFFFFFF), 0);
    EXPECT_EQ(item->chain->SetStreamId(streamId), 0);
    EXPECT_EQ(item->chain->RegisterCallback(&item->events, 1), 0);
    items.push_back(std::move(item));
    return *items.back();
  }
  size_t Queued() { return static_cast<OutputNode*>(node.Get())->QueuedInputs(); }

  std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
  RefPtr<MOutputNode> node;
  RefPtr<AudioEndpoint> endpoint;
  std::vector<std::unique_ptr<Item>> items;
};

std::vector<uint8_t> Silence(const SignalSpec& spec, uint32_t frames) {
  std::vector<uint8_t> out(static_cast<size_t>(frames) * SignalFrameBytes(spec), 0);
  if (!spec.isSigned && !spec.isFloat) {
    if (spec.bits == 8) std::fill(out.begin(), out.end(), 0x80);
    if (spec.bits == 16) {
      for (size_t i = 1; i < out.size(); i += 2)
        out[i] = 0x80;
    }
  }
  return out;
}

// The device hears stream A, the gap of silence, then stream B, to the byte.
TEST_F(Seamless, JunctionToTheByte) {
  struct Case {
    uint32_t rate, channels, bits;
    bool isSigned;
    double gap;
    uint32_t silenceFrames;
  };
  const Case cases[] = {
      {44100, 2, 16, true, 0.0, 0},      {44100, 2, 16, true, 0.5, 22050},
      {48000, 2, 24, true, 0.25, 12000},  // 6-byte frames: silence packets of whole frames
      {8000, 1, 8, false, 0.1, 800},      // unsigned 8-bit silence is 0x80
      {22050, 1, 16, false, 0.1, 2205},   // unsigned 16-bit silence is 0x8000
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.bits) + " bits, gap " + std::to_string(c.gap));
    TearDown();
    device = std::make_shared<CaptureState>();
    SetUp();
    ASSERT_EQ(node->SetGap(c.gap), 0);
    SignalSpec a{c.rate, c.channels, c.bits, false, c.isSigned, c.rate / 2 + 123, 11};
    SignalSpec b{c.rate, c.channels, c.bits, false, c.isSigned, c.rate / 3 + 7, 22};
    const std::u16string suffix = std::u16string(1, static_cast<char16_t>(u'a' + n++));
    Item& first = AddItem(u"a" + suffix + u".sig", a, 100);
    Item& second = AddItem(u"b" + suffix + u".sig", b, 200);
    ASSERT_EQ(Queued(), 2u);
    ASSERT_EQ(second.chain->StateChange(kChainCued), 0);  // ready: the switch will happen
    ASSERT_EQ(first.chain->Play(0.75), 0);
    ASSERT_TRUE(second.events.WaitFor(kEventStreamEnded));
    std::vector<uint8_t> expected = SignalBytes(a);
    const auto gap = Silence(a, c.silenceFrames);
    expected.insert(expected.end(), gap.begin(), gap.end());
    const auto bytesB = SignalBytes(b);
    expected.insert(expected.end(), bytesB.begin(), bytesB.end());
    EXPECT_EQ(device->Heard(), expected);
    // One device session: the endpoint never stopped between the items.
    const auto calls = device->Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Open"), 1);
    // The end of A went unreported (the endpoint went on); B's end reached B's chain.
    EXPECT_EQ(first.events.Count(kEventStreamEnded), 0);
    // The stream heard changed to the silence and then to B: reported to the chain now heard.
    EXPECT_GE(second.events.Count(kEventStreamIdChanged), c.silenceFrames ? 2 : 1);
    EXPECT_EQ(Queued(), 1u);
  }
}

// With a gap of half a second at 44100 Hz: 22050 frames of silence flagged 4, in packets of at
// most 4096 bytes.
TEST_F(Seamless, SilencePacketsAreFlaggedAndBounded) {
  ASSERT_EQ(node->SetGap(0.5), 0);
  device->clock = CaptureState::Clock::kManual;
  SignalSpec a{44100, 2, 16, false, true, 44100, 1};
  SignalSpec b{44100, 2, 16, false, true, 1000, 2};
  Item& first = AddItem(u"a.sig", a, 1);
  Item& second = AddItem(u"b.sig", b, 2);
  ASSERT_EQ(second.chain->StateChange(kChainCued), 0);
  ASSERT_EQ(first.chain->StateChange(kChainPlaying), 0);
  // The endpoint pulls no more (its own stop, not the item's); the rest is pulled by hand from
  // the node's output, as the endpoint would.
  ASSERT_TRUE(device->WaitFor([&] { return device->WrittenBytes() > 0; }));
  ASSERT_EQ(endpoint->StateChange(kChainStopped), 0);
  MAudioModule* face = static_cast<OutputNode*>(node.Get())->ModuleFace();
  AudioModuleOutput* out = nullptr;
  ASSERT_EQ(face->GetOutput(&out, 0), 0);
  uint64_t silenceFrames = 0;
  int silencePackets = 0;
  bool sawB = false;
  for (int i = 0; i < 1000 && !sawB; ++i) {
    AudioPacket* raw = nullptr;
    ASSERT_EQ(out->GetPacket(&raw), 0);
    RefPtr<AudioPacket> p = RefPtr<AudioPacket>::Adopt(raw);
    if (p->streamId == kInsertedStreamId) {
      EXPECT_EQ(p->flags, static_cast<uint32_t>(kPacketDiscontinuity));
      EXPECT_LE(p->byteCount, 4096u);
      EXPECT_EQ(p->byteCount % 4, 0u);
      EXPECT_NEAR(p->position, silenceFrames / 44100.0, 1e-9);
      silenceFrames += p->byteCount / 4;
      ++silencePackets;
    } else if (p->streamId == 2) {
      sawB = true;
    } else {
      EXPECT_FALSE(p->flags & kPacketLast) << "A's end is not passed on";
    }
  }
  EXPECT_TRUE(sawB);
  EXPECT_EQ(silenceFrames, 22050u);
  EXPECT_EQ(silencePackets, 22);  // 21 of 1024 frames and one of 546
}

TEST_F(Seamless, OnlyInputEndingStopsTheEndpoint) {
  Item& only = AddItem(u"only.sig", SignalSpec{44100, 2, 16, false, true, 3000, 1}, 5);
  ASSERT_EQ(only.chain->Play(0.75), 0);
  ASSERT_TRUE(only.events.WaitFor(kEventStreamEnded));
  EXPECT_EQ(device->Heard(), SignalBytes(only.spec));
}

// The next item was not ready when the head ended: the endpoint stops, and plays again when
// the next item is started.
TEST_F(Seamless, NextItemNotReadyWhenTheHeadEnds) {
  Item& first = AddItem(u"a.sig", SignalSpec{44100, 2, 16, false, true, 3000, 1}, 1);
  Item& second = AddItem(u"b.sig", SignalSpec{44100, 2, 16, false, true, 2000, 2}, 2);
  ASSERT_EQ(first.chain->Play(0.75), 0);
  ASSERT_TRUE(first.events.WaitFor(kEventStreamEnded));
  EXPECT_TRUE(device->WaitFor([&] { return Queued() == 1; }));
  ASSERT_EQ(second.chain->Play(0.75), 0);
  ASSERT_TRUE(second.events.WaitFor(kEventStreamEnded));
  std::vector<uint8_t> expected = SignalBytes(first.spec);
  const auto b = SignalBytes(second.spec);
  expected.insert(expected.end(), b.begin(), b.end());
  EXPECT_EQ(device->Heard(), expected);
}

TEST_F(Seamless, PlayingALaterItemDropsTheOnesAhead) {
  device->clock = CaptureState::Clock::kManual;
  AddItem(u"a.sig", SignalSpec{}, 1);
  AddItem(u"b.sig", SignalSpec{}, 2);
  Item& third = AddItem(u"c.sig", SignalSpec{}, 3);
  ASSERT_EQ(Queued(), 3u);
  ASSERT_EQ(third.chain->StateChange(kChainPlaying), 0);
  EXPECT_EQ(Queued(), 1u);
  EXPECT_TRUE(device->WaitFor([&] { return device->WrittenBytes() > 0; }));
  // What is written is the third item's.
  const auto written = device->Written();
  const auto c = SignalBytes(third.spec);
  EXPECT_TRUE(std::equal(written.begin(), written.begin() + 4096, c.begin()));
}

// A stop of one chain while another waits does not stop the endpoint; the last one's does.
TEST_F(Seamless, StopGoesToTheEndpointOnlyForTheLastInput) {
  device->clock = CaptureState::Clock::kManual;
  Item& first = AddItem(u"a.sig", SignalSpec{}, 1);
  Item& second = AddItem(u"b.sig", SignalSpec{}, 2);
  ASSERT_EQ(first.chain->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(device->WaitFor([&] { return device->IsPlaying(); }));
  ASSERT_EQ(second.chain->StateChange(kChainStopped), 0);
  EXPECT_TRUE(device->IsOpen());
  ASSERT_EQ(first.chain->StateChange(kChainStopped), 0);
  EXPECT_TRUE(device->IsOpen());  // the second still waits in the queue
  ASSERT_EQ(node->DrainInputs(), 0);
  EXPECT_EQ(Queued(), 0u);
}

TEST_F(Seamless, HeadPropertiesNotificationsAndVolumeAreTheEndpoints) {
  device->clock = CaptureState::Clock::kManual;
  Item& first = AddItem(u"a.sig", SignalSpec{44100, 2, 16, false, true, 22050, 1}, 1);
  Item& second = AddItem(u"b.sig", SignalSpec{44100, 2, 16, false, true, 22050, 2}, 2);
  RefPtr<MTimeNotifications> tn;
  ASSERT_EQ(first.chain->QueryInterface(kIID_MTimeNotifications, tn.PutVoid(), 1, 0), 0);
  RecordingCallback at;
  ASSERT_EQ(tn->AddNotification(&at, 0.25, 42), 0);
  ASSERT_EQ(tn->AddNotification(&at, -0.1, 43), 0);  // from the end: "totaltime" of the head
  RefPtr<MVolumeControl> volume;
  ASSERT_EQ(first.chain->QueryVolumeControl(volume.Put()), 0);
  EXPECT_EQ(volume->SetVolume(0.5), 0);
  RefPtr<MVolumeControl> endpointVolume;
  endpoint->QueryInterface(kIID_MVolumeControl, endpointVolume.PutVoid(), 1, 0);
  double v = 0;
  endpointVolume->GetVolume(&v);
  EXPECT_EQ(v, 0.5);
  ASSERT_EQ(first.chain->Play(0.75), 0);
  // The head's chain reads what is heard; a queued item's properties are not the endpoint's.
  double level = 0;
  ASSERT_EQ(Properties(first.chain.Get())->GetNumber(u"bufferlevel", &level), 0);
  EXPECT_GT(level, 0.5);
  EXPECT_EQ(Properties(second.chain.Get())->GetNumber(u"bufferlevel", &level), -5);
  for (int i = 0; i < 5000 && at.Count(kEventTimeNotification) < 2; ++i) {
    device->Advance(5000);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  ASSERT_TRUE(at.WaitFor(kEventTimeNotification, 2));
  const auto fired = at.Events();
  EXPECT_EQ(fired[0].key, 42u);
  EXPECT_EQ(fired[1].key, 43u);
  EXPECT_EQ(fired[0].source, static_cast<MUnknown*>(first.chain.Get()));
  const double heard = static_cast<double>(device->HeardBytes()) / 176400.0;
  EXPECT_GE(heard, 0.4);
  EXPECT_EQ(tn->RemoveNotification(&at, 0.25, 42), -5);  // fired: gone
  tn = nullptr;
  TearDown();  // the chains go before `at` does
}

}  // namespace
}  // namespace vk2::test
