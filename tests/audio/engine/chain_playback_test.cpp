// A built chain through its states: order of state changes, playing to the end, pause, stop,
// seek, buffering, events and time notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "audio/engine/audiosys/media_chain.h"
#include "platform/fake_clock.h"
#include "tests/audio/engine/engine_env.h"

namespace vk2::test {
namespace {

class ChainPlayback : public EngineEnv {
 protected:
  void SetUp() override {
    spec.frames = 44100;  // one second
    AddStream(u"tone.sig", SignalFile(spec));
    reader = AddReader("R");
    decoder = AddDecoder("dec");
  }
  void Build(const char16_t* url = u"signal://tone.sig") {
    chain = NewChain();
    endpoint = NewEndpoint(device);
    ASSERT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
    ASSERT_EQ(chain->Open(url, 1000), 0);
    ASSERT_EQ(chain->RegisterCallback(&events, 5), 0);
  }
  void SetBufferLength(double seconds) {
    ASSERT_EQ(Properties(chain.Get())->SetNumber(u"bufferlength", seconds), 0);
  }
  // Moves the device's manual clock on until `done` holds (bounded in real time).
  bool PlayUntil(const std::function<bool()>& done, uint64_t stepUs = 20000) {
    for (int i = 0; i < 20000; ++i) {
      if (done()) return true;
      device->Advance(stepUs);
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return done();
  }
  uint32_t FrameBytes() const { return SignalFrameBytes(spec); }

  // First: it outlives the chain, whose event thread may hold it until the chain has gone.
  RecordingCallback events;
  SignalSpec spec;
  std::shared_ptr<ReaderConfig> reader;
  std::shared_ptr<DecoderConfig> decoder;
  std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
  RefPtr<MMediaChain> chain;
  RefPtr<AudioEndpoint> endpoint;
};

TEST_F(ChainPlayback, PlaysTheWholeStreamAndReportsTheEnd) {
  Build();
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded));
  EXPECT_EQ(device->Heard(), SignalBytes(spec));
  EXPECT_EQ(device->Overruns(), 0);
  // Draining is announced before the end; both come from the chain, on its event thread.
  const auto codes = events.Codes();
  const auto draining = std::find(codes.begin(), codes.end(), kEventDraining);
  const auto ended = std::find(codes.begin(), codes.end(), kEventStreamEnded);
  ASSERT_NE(draining, codes.end());
  EXPECT_LT(draining, ended);
  for (const auto& e : events.Events()) {
    EXPECT_EQ(e.source, static_cast<MUnknown*>(chain.Get()));
    EXPECT_EQ(e.key, 5u);
    EXPECT_NE(e.thread, CurrentThreadId());
  }
  // The endpoint stopped by itself; the chain's recorded state is still what it was told.
  EXPECT_FALSE(device->IsOpen());
  EXPECT_EQ(static_cast<MediaChain*>(chain.Get())->RecordedState(), kChainPlaying);
  EXPECT_EQ(chain->Close(), 0);
}

TEST_F(ChainPlayback, StatesGoSourceFirstExceptStopAndSuspend) {
  device->clock = CaptureState::Clock::kManual;
  Build();
  for (int32_t state :
       {kChainCued, kChainPlaying, kChainSuspended, kChainPlaying, kChainCued, kChainStopped}) {
    SCOPED_TRACE(state);
    log->Clear();
    ASSERT_EQ(chain->StateChange(state), 0);
    const auto entries = log->Entries();
    const std::string suffix = "StateChange(" + std::to_string(state) + ")";
    const auto r = std::find(entries.begin(), entries.end(), "R:" + suffix);
    const auto d = std::find(entries.begin(), entries.end(), "dec:" + suffix);
    ASSERT_NE(r, entries.end());
    ASSERT_NE(d, entries.end());
    if (state == kChainStopped || state == kChainSuspended) {
      EXPECT_LT(d, r);
    } else {
      EXPECT_LT(r, d);
    }
    EXPECT_EQ(static_cast<MediaChain*>(chain.Get())->RecordedState(), state);
  }
}

// A refusal part-way leaves the modules before it changed and the recorded state as it was.
TEST_F(ChainPlayback, PartialStateChangeKeepsTheRecordedState) {
  Build();
  ASSERT_EQ(chain->StateChange(kChainCued), 0);
  decoder->failState = kChainPlaying;
  log->Clear();
  const int32_t r = chain->StateChange(kChainPlaying);
  EXPECT_TRUE(IsEntry(r, kMsWrongState)) << r;
  EXPECT_EQ(log->Matching("R:StateChange(5)").size(), 1u);
  const auto calls = device->Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "Play"), 0);  // the endpoint was not asked
  EXPECT_EQ(static_cast<MediaChain*>(chain.Get())->RecordedState(), kChainCued);
  decoder->failState = 0;
}

TEST_F(ChainPlayback, IncompleteChainsAndWrongStates) {
  chain = NewChain();
  EXPECT_TRUE(IsEntry(chain->StateChange(kChainPlaying), kMsIncompleteChain));
  EXPECT_TRUE(IsEntry(chain->Seek(1.0, 0, 1), kMsIncompleteChain));
  EXPECT_TRUE(IsEntry(chain->SetStreamId(3), kMsIncompleteChain));
  Build();
  // Stopped: no preparation, no seeking.
  EXPECT_TRUE(IsEntry(chain->Prepare(kPrepareQuickScan), kMsWrongState));
  EXPECT_TRUE(IsEntry(chain->Seek(1.0, 0, 1), kMsWrongState));
  ASSERT_EQ(chain->StateChange(kChainCued), 0);
  EXPECT_EQ(chain->Prepare(kPrepareFullScan), 0);
  EXPECT_EQ(log->Matching("dec:Prepare(2)").size(), 1u);
  EXPECT_TRUE(IsEntry(chain->StateChange(9), kMsUnknownState));
}

// The whole second fits in the device buffer: the pause comes while the end is played out, and
// really pauses it.
TEST_F(ChainPlayback, PauseAndResumeLoseNothing) {
  device->clock = CaptureState::Clock::kManual;
  Build();
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(PlayUntil([&] { return device->HeardBytes() > 20000; }));
  ASSERT_EQ(chain->StateChange(kChainCued), 0);
  EXPECT_FALSE(device->IsPlaying());
  const uint64_t heard = device->HeardBytes();
  device->Advance(500000);
  EXPECT_EQ(device->HeardBytes(), heard);  // paused: nothing moves
  ASSERT_EQ(chain->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(PlayUntil([&] { return events.Count(kEventStreamEnded) > 0; }));
  EXPECT_EQ(device->Heard(), SignalBytes(spec));
}

TEST_F(ChainPlayback, StopMidStreamClosesTheDeviceWithoutAnEnd) {
  device->clock = CaptureState::Clock::kManual;
  Build();
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(PlayUntil([&] { return device->HeardBytes() > 20000; }));
  ASSERT_EQ(chain->StateChange(kChainStopped), 0);
  EXPECT_FALSE(device->IsOpen());
  ASSERT_EQ(chain->Close(), 0);
  EXPECT_EQ(events.Count(kEventStreamEnded), 0);
  // What was heard is the start of the signal.
  const auto heard = device->Heard();
  const auto all = SignalBytes(spec);
  ASSERT_LE(heard.size(), all.size());
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), all.begin()));
}

TEST_F(ChainPlayback, SeekFlushesAndContinuesFromTheNewPosition) {
  device->clock = CaptureState::Clock::kManual;
  Build();
  SetBufferLength(0.1);
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(PlayUntil([&] { return device->HeardBytes() >= 4410 * FrameBytes(); }));
  const uint64_t heardBefore = device->HeardBytes();
  ASSERT_EQ(chain->Seek(0.5, 0, 1), 0);
  ASSERT_TRUE(events.WaitFor(kEventFlushed));
  ASSERT_TRUE(PlayUntil([&] { return events.Count(kEventStreamEnded) > 0; }));
  // Heard: the start, then the signal from 0.5 s on, with nothing queued before the seek in
  // between.
  const auto heard = device->Heard();
  const auto all = SignalBytes(spec);
  const size_t tail = all.size() - 22050 * FrameBytes();
  ASSERT_GE(heard.size(), heardBefore + tail);
  EXPECT_TRUE(std::equal(heard.end() - static_cast<std::ptrdiff_t>(tail), heard.end(),
                         all.end() - static_cast<std::ptrdiff_t>(tail)));
  EXPECT_TRUE(std::equal(heard.begin(), heard.begin() + static_cast<std::ptrdiff_t>(heardBefore),
                         all.begin()));
  EXPECT_LE(heard.size() - tail - heardBefore, 4410u * FrameBytes() + 1024u * FrameBytes());
}

// A stream shorter than the buffer ends while the chain is only cued: it waits for play and is
// heard whole.
TEST_F(ChainPlayback, ShortStreamCuedThenPlayedIsHeardWhole) {
  SignalSpec shortSpec = spec;
  shortSpec.frames = 2000;
  AddStream(u"short.sig", SignalFile(shortSpec));
  Build(u"signal://short.sig");
  ASSERT_EQ(chain->WaitForBuffer(0.75), 0);  // the level reads 1.0 once the end was reached
  EXPECT_EQ(device->HeardBytes(), 0u);
  ASSERT_EQ(chain->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded));
  EXPECT_EQ(device->Heard(), SignalBytes(shortSpec));
}

// A source that stalls (a network read) neither holds WaitForBuffer nor a stop from another
// thread: the stop sets the chain's abort, which the blocking read watches.
TEST_F(ChainPlayback, StopFromAnotherThreadEndsAStalledBufferWait) {
  reader->stallAfter = 8192;
  Build();
  int32_t waited = 1;
  std::thread waiter([&] { waited = chain->WaitForBuffer(0.75); });
  ASSERT_TRUE(device->WaitFor([&] { return reader->stalled.load(); }));
  ASSERT_EQ(chain->StateChange(kChainStopped), 0);
  waiter.join();
  EXPECT_TRUE(IsEntry(waited, kMsWrongState)) << waited;
  EXPECT_FALSE(device->IsOpen());
}

TEST_F(ChainPlayback, BufferWaitGivesUpAfterItsTimeLimit) {
  reader->stallAfter = 8192;
  reader->release = std::make_shared<Event>(EventReset::kManual);
  Build();
  FakeClock clock;
  ScopedClock scoped(clock);
  std::atomic<int32_t> waited{1};
  std::thread waiter([&] { waited = chain->WaitForBuffer(0.75); });
  // The playback thread polls on the fake clock too: move it on until the source stalls.
  for (int i = 0; i < 20000 && !reader->stalled; ++i) {
    clock.Advance(1);
    std::this_thread::sleep_for(std::chrono::microseconds(100));
  }
  ASSERT_TRUE(reader->stalled);
  for (int i = 0; i < 1000 && waited == 1; ++i) {
    clock.WaitForSleepers(1, 1000);
    clock.Advance(MediaChain::kBufferWaitLimitMs / 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  waiter.join();
  EXPECT_EQ(waited, 0);  // the chain plays what it has
  reader->release->Set();
  ASSERT_EQ(chain->Close(), 0);
}

TEST_F(ChainPlayback, TimeNotificationsFireOnceWhenHeard) {
  device->clock = CaptureState::Clock::kManual;
  Build();
  SetBufferLength(0.1);
  RefPtr<MTimeNotifications> tn;
  ASSERT_EQ(chain->QueryInterface(kIID_MTimeNotifications, tn.PutVoid(), 1, 0), 0);
  RecordingCallback at;
  std::vector<std::pair<uint32_t, uint64_t>> fired;  // key, bytes heard then
  std::mutex firedMutex;
  at.onEvent = [&](int32_t code, uint32_t key) {
    if (code != kEventTimeNotification) return;
    std::lock_guard lock(firedMutex);
    fired.emplace_back(key, device->HeardBytes());
  };
  ASSERT_EQ(tn->AddNotification(&at, 0.5, 1), 0);
  ASSERT_EQ(tn->AddNotification(&at, -0.25, 2), 0);  // 0.75 s: a quarter second before the end
  ASSERT_EQ(tn->AddNotification(&at, 0.5, 3), 0);
  EXPECT_EQ(tn->AddNotification(&at, 0.9, 1), -6);
  ASSERT_EQ(tn->AddNotification(&at, 0.6, 4), 0);
  EXPECT_EQ(tn->RemoveNotification(&at, 0.6, 4), 0);
  EXPECT_EQ(tn->RemoveNotification(&at, 0.6, 4), -5);
  ASSERT_EQ(chain->Play(0.75), 0);
  ASSERT_TRUE(PlayUntil([&] { return events.Count(kEventStreamEnded) > 0; }, 5000));
  ASSERT_TRUE(at.WaitFor(kEventTimeNotification, 3));
  std::lock_guard lock(firedMutex);
  ASSERT_EQ(fired.size(), 3u);
  const uint64_t bps = 44100 * FrameBytes();
  for (const auto& [key, heard] : fired) {
    const double target = key == 2 ? 0.75 : 0.5;
    const double at = static_cast<double>(heard) / bps;
    EXPECT_GE(at, target) << key;  // never early
    // Delivered on the chain's event thread, a little after it fell due.
    EXPECT_LT(at, target + 0.25) << key;
  }
  EXPECT_EQ(fired.back().first, 2u);
  chain->Close();
  chain = nullptr;  // its event thread ends before `at` goes
}

// The media core releases chains under its state lock while its callbacks take that lock: the
// last release hands the destruction to the chain's event thread instead of waiting for it.
TEST_F(ChainPlayback, LastReleaseDuringACallbackDoesNotWaitForIt) {
  Build();
  std::mutex stateLock;
  std::atomic<bool> inCallback{false};
  RecordingCallback blocking;
  blocking.onEvent = [&](int32_t code, uint32_t) {
    if (code != kEventStreamEnded) return;
    inCallback = true;
    std::lock_guard lock(stateLock);
  };
  ASSERT_EQ(chain->RegisterCallback(&blocking, 9), 0);
  {
    std::lock_guard lock(stateLock);
    ASSERT_EQ(chain->Play(0.75), 0);
    ASSERT_TRUE(device->WaitFor([&] { return inCallback.load(); }));
    chain->UnregisterCallback(&events, 5);
    chain = nullptr;  // returns at once: the callback still runs
    EXPECT_TRUE(log->Matching("R:SetChain(null)").empty());
  }
  // The callback returned: the event thread destroyed the chain.
  EXPECT_TRUE(device->WaitFor([&] { return !log->Matching("R:SetChain(null)").empty(); }));
}

TEST_F(ChainPlayback, LastReleaseInsideItsOwnCallback) {
  Build();
  std::atomic<bool> released{false};
  RecordingCallback releasing;
  releasing.onEvent = [&](int32_t code, uint32_t) {
    if (code != kEventStreamEnded || released) return;
    chain->UnregisterCallback(&events, 5);
    chain = nullptr;  // on the chain's own event thread
    released = true;
  };
  ASSERT_EQ(chain->RegisterCallback(&releasing, 9), 0);
  ASSERT_EQ(chain->Play(0.75), 0);
  EXPECT_TRUE(device->WaitFor([&] { return released.load(); }));
  EXPECT_TRUE(device->WaitFor([&] { return !log->Matching("R:SetChain(null)").empty(); }));
}

// A crossfade as the media core runs it: the next chain starts while the ending one plays, each
// with its own endpoint, and their volume controls ramp over the same second. The envelopes are
// measured from what each capture device heard. The devices play no faster than real time, as
// the endpoints sleep by the clock between ramp steps.
TEST_F(ChainPlayback, CrossfadeEnvelopesOfTwoChains) {
  SignalSpec longSpec = spec;
  longSpec.frames = 44100 * 3;
  AddStream(u"long.sig", SignalFile(longSpec));
  struct Side {
    std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
    RefPtr<MMediaChain> chain;
    RefPtr<AudioEndpoint> endpoint;
  } sides[2];
  for (Side& side : sides) {
    side.device->clock = CaptureState::Clock::kManual;
    side.chain = NewChain();
    side.endpoint = NewEndpoint(side.device);
    ASSERT_EQ(side.chain->SetEndpoint(side.endpoint.Get()), 0);
    ASSERT_EQ(side.chain->Open(u"signal://long.sig", 1000), 0);
    ASSERT_EQ(Properties(side.chain.Get())->SetNumber(u"bufferlength", 0.05), 0);
  }
  // The ending chain has played half a second when the next one starts.
  ASSERT_EQ(sides[0].chain->Play(0.75), 0);
  for (int i = 0; i < 100; ++i) {
    sides[0].device->Advance(5000);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(sides[1].chain->Play(0.75), 0);
  RefPtr<MVolumeControl> down;
  RefPtr<MVolumeControl> up;
  ASSERT_EQ(sides[0].chain->QueryVolumeControl(down.Put()), 0);
  ASSERT_EQ(sides[1].chain->QueryVolumeControl(up.Put()), 0);
  const double startA = static_cast<double>(sides[0].device->HeardBytes()) / 176400.0;
  ASSERT_EQ(down->RampVolume(1.0, 0.0, 1.0), 0);
  ASSERT_EQ(up->RampVolume(0.0, 1.0, 1.0), 0);
  for (int i = 0; i < 300; ++i) {
    for (Side& side : sides)
      side.device->Advance(5000);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  const double starts[2] = {startA, 0.0};
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    const auto volumes = sides[k].device->Volumes();
    const double from = k == 0 ? 1.0 : 0.0;
    const double to = 1.0 - from;
    auto first = std::find_if(volumes.begin(), volumes.end(), [&](const auto& c) {
      return c.volume == from && static_cast<double>(c.heardAt) / 176400.0 >= starts[k] - 0.06;
    });
    ASSERT_NE(first, volumes.end());
    const double begin = static_cast<double>(first->heardAt) / 176400.0;
    int measured = 0;
    for (auto it = first; it != volumes.end(); ++it) {
      const double t = static_cast<double>(it->heardAt) / 176400.0 - begin;
      const double expected = from + std::clamp(t, 0.0, 1.0) * (to - from);
      EXPECT_NEAR(it->volume, expected, 0.02) << "at " << t;
      ++measured;
    }
    EXPECT_GT(measured, 20);
    EXPECT_DOUBLE_EQ(volumes.back().volume, to);
  }
  for (Side& side : sides)
    side.chain->Close();
}

TEST_F(ChainPlayback, PropertiesSpeakForTheModules) {
  Build();
  RefPtr<MModuleProperties> p = Properties(chain.Get());
  TString name;
  // The last module that knows a name answers: the endpoint passes it to its device.
  ASSERT_EQ(p->GetString(u"modulename", &name), 0);
  EXPECT_EQ(name, u"CaptureOutput");
  double total = 0;
  int32_t v = 0;
  EXPECT_EQ(p->GetInteger(u"nosuchthing", &v), -5);
  ASSERT_EQ(chain->SetStreamId(77), 0);
  ASSERT_EQ(p->GetInteger(u"streamid", &v), 0);
  EXPECT_EQ(v, 77);
  PropertyDescriptionList list;
  ASSERT_EQ(p->Describe(&list), 0);
  EXPECT_LT(list.Find(u"modulename"), 0);  // identities stay out
  EXPECT_GE(list.Find(u"bufferlength"), 0);
  int count = 0;
  for (uint32_t i = 0; i < list.Count(); ++i)
    count += list.At(i).name == u"bufferlength";
  EXPECT_EQ(count, 1);
  ASSERT_EQ(chain->StateChange(kChainCued), 0);
  ASSERT_EQ(p->GetNumber(u"totaltime", &total), 0);
  EXPECT_DOUBLE_EQ(total, 1.0);
  RefPtr<MVolumeControl> volume;
  ASSERT_EQ(chain->QueryVolumeControl(volume.Put()), 0);
  EXPECT_EQ(volume->SetVolume(0.5), 0);
}

TEST_F(ChainPlayback, SettingsGoToEachModulesOwnSection) {
  RefPtr<MPreferenceStore> store = registry.NewPreferences();
  store->OpenSection(u"player", 1);
  RefPtr<MPreferenceStore> section = registry.NewPreferences();
  section->OpenSection(u"/player/CaptureOutput", 1);
  section->SetDouble(u"bufferlength", 0.3);
  chain = NewChain();
  ASSERT_EQ(Properties(chain.Get())->LoadSettings(store.Get()), 0);
  endpoint = NewEndpoint(device);
  ASSERT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
  ASSERT_EQ(chain->Open(u"signal://tone.sig", 1000), 0);
  double length = 0;
  ASSERT_EQ(Properties(chain.Get())->GetNumber(u"bufferlength", &length), 0);
  EXPECT_DOUBLE_EQ(length, 0.3);
  // The reader's section got its missing setting written from its current value.
  RefPtr<MPreferenceStore> readerSection = registry.NewPreferences();
  ASSERT_EQ(readerSection->OpenSection(u"/player/SignalReader", 0), 0);
  int32_t id = -1;
  EXPECT_EQ(readerSection->GetInt(u"streamid", &id), 0);
}

}  // namespace
}  // namespace vk2::test
