// The media system over the engine's own chains in process: fixture readers and decoders, and
// capture devices whose clock the test drives, so what is heard is checked to the byte.
#include "core/media/media_system_factory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "core/playlist/item_info.h"
#include "interfaces/audio/media_types.h"
#include "tests/audio/engine/engine_env.h"
#include "tests/core/media/fake_owner.h"

namespace vk2::test {
namespace {

using Clock = std::chrono::steady_clock;

class MediaSystemTest : public EngineEnv {
 protected:
  void SetUp() override {
    reader = AddReader("reader");
    decoder = AddDecoder("decoder");
    Register(kCategoryOutputDevices, [this](const Guid& iid, void** out) {
      if (!(iid == kIID_MAudioModule)) return kErrNoInterface;
      *out = static_cast<MAudioModule*>(MakeCaptureEndpoint(DeviceForNewEndpoint()).Detach());
      return kOk;
    });
    media = CreateMediaSystem();
    ASSERT_TRUE(media);
    ASSERT_EQ(media->SetOwner(&owner), 0);
  }
  void TearDown() override {
    if (media) {
      media->Stop();
      media->SetOwner(nullptr);
    }
    media = nullptr;
    EngineEnv::TearDown();
  }

  // Items 1, 2, ... of the owner's list, each a signal file of its own.
  void SetItems(const std::vector<SignalSpec>& specs) {
    std::vector<std::u16string> urls;
    for (size_t i = 0; i < specs.size(); ++i) {
      const std::u16string name = u"item" + std::u16string(1, u'1' + i) + u".sig";
      AddStream(name, SignalFile(specs[i]));
      urls.push_back(u"signal://" + name);
    }
    owner.SetItems(urls);
  }
  static SignalSpec Spec(double seconds, uint32_t seed, uint32_t rate = 44100) {
    SignalSpec spec;
    spec.sampleRate = rate;
    spec.frames = static_cast<uint32_t>(seconds * rate);
    spec.seed = seed;
    return spec;
  }
  bool IsMediaEntry(int32_t code, MediaSystemEntry entry) { return IsEntry(code, entry); }
  MediaPlayInfo PlayInfo() {
    MediaPlayInfo info;
    EXPECT_EQ(media->GetPlayInfo(&info), 0);
    return info;
  }
  int32_t CurrentChainId() {
    int32_t id = 0;
    return media->GetInteger(u"currentchainid", &id) == 0 ? id : -1;
  }
  // The device a new chain's endpoint plays into: `device` itself, so that what successive
  // items' chains play is heard as one stream; or, with `devicePerEndpoint`, a device of its
  // own (two chains open at once, as during a switch while playing, must not share a queue: the
  // old device's Close would drop what the new one holds and leave it closed).
  std::shared_ptr<CaptureState> DeviceForNewEndpoint() {
    if (!devicePerEndpoint) return device;
    auto own = std::make_shared<CaptureState>();
    own->clock = device->clock.load();
    return own;
  }
  // Lets the manual clock run in small steps until `done` or the time runs out.
  bool RunDeviceUntil(const std::function<bool()>& done, uint64_t stepUs = 10000,
                      uint32_t limitMs = 20000) {
    const auto until = Clock::now() + std::chrono::milliseconds(limitMs);
    while (Clock::now() < until) {
      if (done()) return true;
      device->Advance(stepUs);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return done();
  }

  // Declared first: outlives the media system, whose event thread calls it.
  FakeOwner owner;
  std::shared_ptr<ReaderConfig> reader;
  std::shared_ptr<DecoderConfig> decoder;
  std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
  std::atomic<bool> devicePerEndpoint{false};
  RefPtr<MMediaSystem> media;
};

TEST_F(MediaSystemTest, ItemsPlayInOrderAndTheEndIsReported) {
  const std::vector<SignalSpec> specs = {Spec(0.2, 1), Spec(0.3, 2), Spec(0.25, 3)};
  SetItems(specs);
  ASSERT_EQ(media->Play(), 0);
  ASSERT_TRUE(owner.WaitForStream(0));
  EXPECT_EQ(owner.Streams(), (std::vector<uint32_t>{1, 2, 3, 0}));
  EXPECT_EQ(media->GetState(), kMediaStopped);
  std::vector<uint8_t> expected;
  for (const SignalSpec& spec : specs) {
    const std::vector<uint8_t> bytes = SignalBytes(spec);
    expected.insert(expected.end(), bytes.begin(), bytes.end());
  }
  EXPECT_EQ(device->Heard(), expected);
}

TEST_F(MediaSystemTest, TransportAnswersByState) {
  device->clock = CaptureState::Clock::kManual;
  SetItems({Spec(5, 1)});
  struct Step {
    const char* what;
    std::function<int32_t()> call;
    int32_t entry;  // -1: success expected
    int32_t state;  // afterwards
  };
  const std::vector<Step> steps = {
      {"pause stopped", [&] { return media->Pause(); }, kMsWrongState, kMediaStopped},
      {"stop stopped", [&] { return media->Stop(); }, kMsAlreadyInState, kMediaStopped},
      {"play", [&] { return media->Play(); }, -1, kMediaPlaying},
      {"play playing", [&] { return media->Play(); }, kMsAlreadyInState, kMediaPlaying},
      {"pause", [&] { return media->Pause(); }, -1, kMediaPaused},
      {"pause paused", [&] { return media->Pause(); }, kMsWrongState, kMediaPaused},
      {"seek paused", [&] { return media->SeekStream(1.0, 0); }, -1, kMediaPaused},
      {"resume", [&] { return media->Play(); }, -1, kMediaPlaying},
      {"stop", [&] { return media->Stop(); }, -1, kMediaStopped},
      {"seek stopped", [&] { return media->SeekStream(1.0, 0); }, kMsWrongState, kMediaStopped},
  };
  for (const Step& step : steps) {
    const int32_t r = step.call();
    if (step.entry < 0) {
      EXPECT_EQ(r, 0) << step.what;
    } else {
      EXPECT_TRUE(IsMediaEntry(r, static_cast<MediaSystemEntry>(step.entry)))
          << step.what << ": " << r;
    }
    EXPECT_EQ(media->GetState(), step.state) << step.what;
  }
  MMediaChain* chain = nullptr;
  EXPECT_EQ(media->GetCurrentChain(&chain, nullptr), kErrNotFound);
}

TEST_F(MediaSystemTest, UnknownPlaybackMethodsAreRefusedAndChangeNothing) {
  ASSERT_EQ(media->SetTransition(kPlaybackCrossfade, 3.0), 0);
  for (int32_t method : {-1, 3, 100}) {
    EXPECT_EQ(media->SetTransition(method, 2.0), kErrOutOfRange) << method;
  }
  EXPECT_EQ(media->SetTransition(kPlaybackSeamless, -2.0), kErrOutOfRange);
  int32_t method = -1;
  double seconds = 0;
  ASSERT_EQ(media->GetTransition(&method, &seconds), 0);
  EXPECT_EQ(method, kPlaybackCrossfade);
  EXPECT_EQ(seconds, 3.0);
  // -1.0 keeps the time in force.
  ASSERT_EQ(media->SetTransition(kPlaybackSeamless, kKeepTransitionTime), 0);
  ASSERT_EQ(media->GetTransition(&method, &seconds), 0);
  EXPECT_EQ(method, kPlaybackSeamless);
  EXPECT_EQ(seconds, 3.0);
}

TEST_F(MediaSystemTest, SwitchingToThePlayingItemRestartsItsChain) {
  device->clock = CaptureState::Clock::kManual;
  devicePerEndpoint = true;
  SetItems({Spec(5, 1), Spec(5, 2)});
  ASSERT_EQ(media->Play(), 0);
  const int32_t first = CurrentChainId();
  ASSERT_GT(first, 0);
  EXPECT_EQ(first % 16, 0);
  ASSERT_EQ(media->SwitchToNewChain(1), 0);
  EXPECT_EQ(CurrentChainId(), first);
  ASSERT_EQ(media->SwitchToNewChain(2), 0);
  const int32_t second = CurrentChainId();
  EXPECT_NE(second, first);
  EXPECT_EQ(second % 16, 0);
  EXPECT_EQ(owner.Streams().back(), 2u);
  EXPECT_EQ(PlayInfo().streamId, 2u);
}

TEST_F(MediaSystemTest, SwitchingWhileStoppedOnlyTellsTheOwner) {
  SetItems({Spec(1, 1), Spec(1, 2)});
  ASSERT_EQ(media->SwitchToNewChain(2), 0);
  EXPECT_EQ(owner.Streams(), std::vector<uint32_t>{2});
  MMediaChain* chain = nullptr;
  EXPECT_EQ(media->GetCurrentChain(&chain, nullptr), kErrNotFound);
  EXPECT_EQ(PlayInfo().streamId, 2u);                   // the owner's current item
  EXPECT_EQ(media->SwitchToNewChain(9), kErrNotFound);  // the owner refuses the id
}

TEST_F(MediaSystemTest, PlayOfAnItemNoReaderTakesFailsAndStaysStopped) {
  owner.SetItems({u"nothing://at.all"});
  const int32_t r = media->Play();
  EXPECT_TRUE(IsMediaEntry(r, kMsNoReader)) << r;
  EXPECT_EQ(media->GetState(), kMediaStopped);
}

TEST_F(MediaSystemTest, SeekFromTheEndCountsBackFromTheTotal) {
  device->clock = CaptureState::Clock::kManual;
  const SignalSpec spec = Spec(200, 1, 8000);
  SetItems({spec});
  ASSERT_EQ(media->Play(), 0);
  ASSERT_EQ(media->SeekStream(-10.0, 0), 0);
  ASSERT_TRUE(RunDeviceUntil([&] { return PlayInfo().streamTime >= 190.0; }));
  EXPECT_LT(PlayInfo().streamTime, 191.0);
  // What is heard from there on is the stream from 190 s.
  const uint64_t before = device->HeardBytes();
  ASSERT_TRUE(RunDeviceUntil([&] { return device->HeardBytes() >= before + 8000; }));
  const std::vector<uint8_t> heard = device->Heard();
  const std::vector<uint8_t> tail(heard.end() - 4000, heard.end());
  const std::vector<uint8_t> source = SignalBytes(spec);
  EXPECT_NE(std::search(source.begin() + 190 * 8000 * SignalFrameBytes(spec), source.end(),
                        tail.begin(), tail.end()),
            source.end());
}

TEST_F(MediaSystemTest, StopDuringAStalledPrebufferReturnsAtOnce) {
  reader->stallAfter = 4096;
  SetItems({Spec(10, 1)});
  auto play = std::async(std::launch::async, [&] { return media->Play(); });
  const auto until = Clock::now() + std::chrono::seconds(10);
  while (!reader->stalled && Clock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(reader->stalled);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto start = Clock::now();
  EXPECT_EQ(media->Stop(), 0);
  ASSERT_EQ(play.wait_for(std::chrono::seconds(1)), std::future_status::ready);
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(play.get(), kErrCancelled);
  EXPECT_EQ(media->GetState(), kMediaStopped);
  MMediaChain* chain = nullptr;
  EXPECT_EQ(media->GetCurrentChain(&chain, nullptr), kErrNotFound);
}

TEST_F(MediaSystemTest, VolumeAndBalanceReachTheChainsAndStayInRange) {
  device->clock = CaptureState::Clock::kManual;
  SetItems({Spec(5, 1)});
  ASSERT_EQ(media->SetVolume(0.5), 0);
  ASSERT_EQ(media->SetBalance(-0.25), 0);
  ASSERT_EQ(media->Play(), 0);
  ASSERT_FALSE(device->Volumes().empty());
  EXPECT_EQ(device->Volumes().back().volume, 0.5);
  EXPECT_EQ(device->Volumes().back().balance, -0.25);
  ASSERT_EQ(media->SetVolume(0.75), 0);
  EXPECT_EQ(device->Volumes().back().volume, 0.75);
  for (double bad : {-0.1, 1.5})
    EXPECT_EQ(media->SetVolume(bad), kErrOutOfRange) << bad;
  EXPECT_EQ(media->SetBalance(1.5), kErrOutOfRange);
  EXPECT_EQ(PlayInfo().volume, 0.75);
  EXPECT_EQ(PlayInfo().balance, -0.25);
}

TEST_F(MediaSystemTest, ScanChainFillsTheItemRecord) {
  const SignalSpec spec = Spec(1.5, 4);
  SetItems({spec});
  ItemInfo item;
  ASSERT_EQ(owner.GetCurrentItem(&item), 0);
  ASSERT_EQ(media->PrepareScan(&item, 1, 100000), 0);
  ASSERT_EQ(media->PrepareScan(&item, 1, 100000), 0);  // already there: nothing new
  EXPECT_EQ(PlayInfo().streamId, item.id);
  ASSERT_EQ(media->FillItemInfo(&item), 0);
  ASSERT_TRUE(item.Has(kDurationPresent));
  EXPECT_NEAR(item.duration, 1.5, 0.001);
  ASSERT_TRUE(item.Has(kScanPresent));
  EXPECT_TRUE(item.GetScan() == kScanComplete || item.GetScan() == kScanBasic);
  // A record of another item is not filled from this chain.
  ItemInfo other;
  other.id = item.id + 1;
  EXPECT_EQ(media->FillItemInfo(&other), kErrFailed);
  EXPECT_FALSE(other.Has(kDurationPresent));
  ASSERT_EQ(media->DiscardScanChains(), 0);
  int32_t value = 0;
  EXPECT_TRUE(IsMediaEntry(media->GetInteger(u"streamid", &value), kMsWrongState));
}

TEST_F(MediaSystemTest, WithoutOwnerOrChainsNothingIsReadFromNowhere) {
  ASSERT_EQ(media->SetOwner(nullptr), 0);
  const MediaPlayInfo info = PlayInfo();
  EXPECT_EQ(info.streamId, 0u);
  EXPECT_EQ(info.totalTime, -1.0);
  EXPECT_EQ(media->SwitchToNewChain(0), kErrAccessDenied);
  EXPECT_EQ(media->SendFilterMessage(u"EqualizerReloadSettings", 0), 0);
}

TEST_F(MediaSystemTest, ChainIdsDifferAcrossMediaSystems) {
  device->clock = CaptureState::Clock::kManual;
  SetItems({Spec(5, 1)});
  FakeOwner secondOwner;
  secondOwner.SetItems({u"signal://item1.sig"});
  RefPtr<MMediaSystem> second = CreateMediaSystem();
  ASSERT_EQ(second->SetOwner(&secondOwner), 0);
  ASSERT_EQ(media->Play(), 0);
  ASSERT_EQ(second->Play(), 0);
  int32_t other = 0;
  ASSERT_EQ(second->GetInteger(u"currentchainid", &other), 0);
  EXPECT_NE(other, CurrentChainId());
  second->Stop();
  second->SetOwner(nullptr);
}

TEST_F(MediaSystemTest, SeamlessItemsFollowEachOtherAfterExactlyTheGap) {
  device->clock = CaptureState::Clock::kManual;
  // The first item outlasts the endpoint's buffer, so the next one is queued behind it before
  // its end is pulled.
  const std::vector<SignalSpec> specs = {Spec(2.5, 1), Spec(0.4, 2)};
  SetItems(specs);
  ASSERT_EQ(media->SetTransition(kPlaybackSeamless, 0.25), 0);
  ASSERT_EQ(media->Play(), 0);
  ASSERT_TRUE(RunDeviceUntil([&] {
    const std::vector<uint32_t> streams = owner.Streams();
    return !streams.empty() && streams.back() == 0;
  }));
  EXPECT_EQ(owner.Streams(), (std::vector<uint32_t>{1, 2, 0}));
  std::vector<uint8_t> expected = SignalBytes(specs[0]);
  expected.resize(expected.size() + 11025 * SignalFrameBytes(specs[0]), 0);
  const std::vector<uint8_t> second = SignalBytes(specs[1]);
  expected.insert(expected.end(), second.begin(), second.end());
  EXPECT_EQ(device->Heard(), expected);
}

TEST_F(MediaSystemTest, AFailingCrossfadeSuccessorLeavesTheCurrentItemPlaying) {
  const SignalSpec spec = Spec(1.0, 5);
  AddStream(u"good.sig", SignalFile(spec));
  // The successor cannot be read: its chain fails while the first item still plays.
  owner.SetItems({u"signal://good.sig", u"nothing://at.all"});
  ASSERT_EQ(media->SetTransition(kPlaybackCrossfade, 0.5), 0);
  ASSERT_EQ(media->Play(), 0);
  ASSERT_TRUE(owner.WaitForStream(0));
  EXPECT_EQ(owner.Streams(), (std::vector<uint32_t>{1, 0}));
  EXPECT_EQ(device->Heard(), SignalBytes(spec));
  EXPECT_TRUE(owner.Errors().empty());
  // Advanced once to prepare the successor, once more when the first item ended.
  EXPECT_EQ(owner.Advances(), 2);
}

TEST_F(MediaSystemTest, FileExtensionsComeFromEveryDecoderThatListsThem) {
  AddDecoder("second", {u"*.sg2", u"*.sg3"});
  AddDecoder("silent", {});  // lists no file types
  MediaTypeList list;
  ASSERT_EQ(media->GetFileExtensions(&list), 0);
  std::vector<std::string> patterns;
  for (uint32_t i = 0; i < list.Count(); ++i)
    patterns.push_back(Utf8(list.At(i).pattern).c_str());
  EXPECT_EQ(patterns, (std::vector<std::string>{"*.sig", "*.sg2", "*.sg3"}));
  TString text;
  ASSERT_EQ(media->GetFileExtensionText(&text), 0);
  EXPECT_EQ(std::string(Utf8(text).c_str()), "*.sig*.sg2*.sg3");
}

}  // namespace
}  // namespace vk2::test
