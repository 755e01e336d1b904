// The generic endpoint on its own, fed by a PCM source and playing into a capture device.
#include "audio/engine/genericout/generic_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "platform/fake_clock.h"
#include "tests/audio/engine/engine_env.h"
#include "tests/fixtures/audio/pcm_source.h"

namespace vk2::test {
namespace {

class Endpoint : public EngineEnv {
 protected:
  void SetUp() override {
    source->spec.frames = 441000;  // ten seconds: never ends in these tests unless asked
    device->clock = CaptureState::Clock::kManual;
  }
  void Connect() {
    module = MakePcmSource(source);
    RefPtr<AudioEndpoint> e = MakeCaptureEndpoint(device);
    endpoint = RefPtr<GenericOutput>(static_cast<GenericOutput*>(e.Get()));
    AudioModuleOutput* out = nullptr;
    AudioModuleInput* in = nullptr;
    ASSERT_EQ(module->GetOutput(&out, 0), 0);
    ASSERT_EQ(endpoint->GetInput(&in, 0), 0);
    ASSERT_EQ(out->SetDestination(in), 0);
    ASSERT_EQ(in->Connect(out), 0);
    RefPtr<MCallbackRegistry> registry;
    ASSERT_EQ(endpoint->QueryInterface(kIID_MCallbackRegistry, registry.PutVoid(), 1, 0), 0);
    ASSERT_EQ(registry->RegisterCallback(&events, 9), 0);
    props = Query<MModuleProperties>(kIID_MModuleProperties);
    volume = Query<MVolumeControl>(kIID_MVolumeControl);
  }
  void TearDown() override {
    if (endpoint) {
      endpoint->StateChange(kChainStopped);
      RefPtr<MCallbackRegistry> registry;
      endpoint->QueryInterface(kIID_MCallbackRegistry, registry.PutVoid(), 1, 0);
      registry->UnregisterCallback(&events, 9);
    }
    EngineEnv::TearDown();
  }
  template <class T>
  RefPtr<T> Query(const Guid& iid) {
    RefPtr<T> p;
    EXPECT_EQ(endpoint->QueryInterface(iid, p.PutVoid(), 1, 0), 0);
    return p;
  }
  // Moves the manual clock until `done` holds.
  // Plays `stepUs` at a time, a step every `pauseUs` of real time, until `done` holds.
  bool PlayUntil(const std::function<bool()>& done, uint64_t stepUs = 20000,
                 uint64_t pauseUs = 200) {
    for (int i = 0; i < 20000; ++i) {
      if (done()) return true;
      device->Advance(stepUs);
      std::this_thread::sleep_for(std::chrono::microseconds(pauseUs));
    }
    return done();
  }
  bool BufferFull() {
    return device->WaitFor([&] {
      const uint32_t n = device->BufferBytes();
      return n && device->WrittenBytes() - device->HeardBytes() + 2 * 1024 * 4 >= n;
    });
  }
  int Calls(const std::string& name) {
    const auto calls = device->Calls();
    return static_cast<int>(std::count(calls.begin(), calls.end(), name));
  }

  std::shared_ptr<PcmSourceConfig> source = std::make_shared<PcmSourceConfig>();
  std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
  RefPtr<MAudioModule> module;
  RefPtr<GenericOutput> endpoint;
  RefPtr<MModuleProperties> props;
  RefPtr<MVolumeControl> volume;
  RecordingCallback events;
};

// Every transition from every state: the result, the state recorded and the device after it.
TEST_F(Endpoint, StateMachine) {
  enum From { k1, k2Playing, k2Cued, k3, k4, k5 };
  struct Case {
    From from;
    int32_t to;
    int32_t result;  // 0, or a MediaSystem entry (as 100 + entry)
    int32_t state;
    bool open;
    bool playing;
  };
  const Case cases[] = {
      {k1, 1, 0, 1, false, false},      {k1, 2, 0, 2, false, false},
      {k1, 3, 0, 3, true, false},       {k1, 4, 0, 4, false, false},
      {k1, 5, 0, 5, true, true},        {k1, 7, 106, 1, false, false},
      {k4, 1, 0, 1, false, false},      {k4, 3, 0, 3, true, false},
      {k4, 5, 0, 5, true, true},        {k4, 0, 106, 4, false, false},
      {k3, 1, 0, 1, false, false},      {k3, 2, 0, 2, true, false},
      {k3, 3, 0, 3, true, false},       {k3, 4, 0, 4, true, false},
      {k3, 5, 0, 5, true, true},        {k5, 1, 0, 1, false, false},
      {k5, 2, 0, 2, true, true},        {k5, 3, 0, 3, true, false},
      {k5, 4, 0, 4, true, true},        {k5, 5, 0, 5, true, true},
      {k5, -1, 106, 5, true, true},     {k2Playing, 1, 0, 1, false, false},
      {k2Playing, 2, 0, 2, true, true}, {k2Playing, 3, 0, 3, true, false},
      {k2Playing, 4, 0, 4, true, true}, {k2Playing, 5, 0, 5, true, true},
      {k2Cued, 3, 0, 3, true, false},   {k2Cued, 5, 0, 5, true, true},
      {k2Cued, 1, 0, 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("from " + std::to_string(c.from) + " to " + std::to_string(c.to));
    device = std::make_shared<CaptureState>();
    device->clock = CaptureState::Clock::kManual;
    source = std::make_shared<PcmSourceConfig>();
    source->spec.frames = 441000;
    Connect();
    switch (c.from) {
      case k1:
        break;
      case k2Playing:
        ASSERT_EQ(endpoint->StateChange(5), 0);
        ASSERT_EQ(endpoint->StateChange(2), 0);
        break;
      case k2Cued:
        ASSERT_EQ(endpoint->StateChange(3), 0);
        ASSERT_EQ(endpoint->StateChange(2), 0);
        break;
      case k3:
        ASSERT_EQ(endpoint->StateChange(3), 0);
        break;
      case k4:
        ASSERT_EQ(endpoint->StateChange(4), 0);
        break;
      case k5:
        ASSERT_EQ(endpoint->StateChange(5), 0);
        break;
    }
    const int plays = Calls("Play");
    const int32_t r = endpoint->StateChange(c.to);
    if (c.result == 0) {
      EXPECT_EQ(r, 0);
    } else {
      EXPECT_TRUE(IsEntry(r, static_cast<MediaSystemEntry>(c.result - 100))) << r;
    }
    EXPECT_EQ(endpoint->CurrentState(), c.state);
    EXPECT_EQ(device->IsOpen(), c.open);
    EXPECT_EQ(device->IsPlaying(), c.playing);
    // Back from suspension, a device that was playing is not told to play again.
    if (c.from == k2Playing && c.to == 5) {
      EXPECT_EQ(Calls("Play"), plays);
    }
    if (c.from == k2Cued && c.to == 5) {
      EXPECT_EQ(Calls("Play"), plays + 1);
    }
    TearDown();
    endpoint = nullptr;
  }
}

TEST_F(Endpoint, SuspensionParksThePlaybackThread) {
  Connect();
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(BufferFull());
  ASSERT_EQ(endpoint->StateChange(kChainSuspended), 0);
  const uint64_t written = device->WrittenBytes();
  device->Advance(300000);  // the device plays on and makes room, but nobody writes
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(device->WrittenBytes(), written);
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  EXPECT_TRUE(device->WaitFor([&] { return device->WrittenBytes() > written; }));
}

TEST_F(Endpoint, StartFailures) {
  struct Case {
    bool failOpen, failVolume, failPlay;
    int32_t to;
    MediaSystemEntry entry;
  };
  for (const Case c : {Case{true, false, false, 3, kMsIncompatibleFormat},
                       Case{false, true, false, 3, kMsDeviceFailed},
                       Case{false, false, true, 5, kMsDeviceFailed}}) {
    device = std::make_shared<CaptureState>();
    device->failOpen = c.failOpen;
    device->failSetVolume = c.failVolume;
    device->failPlay = c.failPlay;
    Connect();
    EXPECT_TRUE(IsEntry(endpoint->StateChange(c.to), c.entry));
    EXPECT_EQ(endpoint->CurrentState(), kChainStopped);
    EXPECT_FALSE(device->IsOpen());
    TearDown();
    endpoint = nullptr;
  }
}

TEST_F(Endpoint, BufferLengthSetting) {
  Connect();
  struct Case {
    double set;
    int32_t result;
    uint32_t ms;
  };
  for (const Case c : {Case{0.02, -21, 1200}, Case{10.0, 0, 10000}, Case{10.001, -21, 10000},
                       Case{1.2345, 0, 1234}, Case{0.025, 0, 25}, Case{0.029, 0, 29}}) {
    EXPECT_EQ(props->SetNumber(u"bufferlength", c.set), c.result) << c.set;
    EXPECT_EQ(endpoint->BufferMs(), c.ms) << c.set;
  }
  double v = 0;
  ASSERT_EQ(props->GetNumber(u"bufferlength", &v), 0);
  EXPECT_DOUBLE_EQ(v, 0.029);
}

TEST_F(Endpoint, PlaybackValuesExistOnlyWhileRunning) {
  Connect();
  double d = 0;
  int32_t i = 0;
  for (const char16_t* name : {u"bufferlevel", u"maxbufferlag", u"throughtime", u"streamtime"}) {
    EXPECT_TRUE(IsEntry(props->GetNumber(name, &d), kMsWrongState));
  }
  for (const char16_t* name : {u"buffersize", u"currentstreamid", u"throughbytes", u"heardbytes",
                               u"channels", u"samplerate"}) {
    EXPECT_TRUE(IsEntry(props->GetInteger(name, &i), kMsWrongState));
  }
  EXPECT_EQ(props->GetInteger(u"bytespersecond", &i), 0);
  EXPECT_EQ(props->GetNumber(u"bufferlength", &d), 0);
  ASSERT_EQ(endpoint->StateChange(kChainCued), 0);
  ASSERT_TRUE(BufferFull());
  ASSERT_EQ(props->GetInteger(u"samplerate", &i), 0);
  EXPECT_EQ(i, 44100);
  ASSERT_EQ(props->GetInteger(u"bytespersecond", &i), 0);
  EXPECT_EQ(i, 176400);
  ASSERT_EQ(props->GetNumber(u"bufferlevel", &d), 0);
  EXPECT_GT(d, 0.9);
  ASSERT_EQ(props->GetInteger(u"currentstreamid", &i), 0);
  EXPECT_EQ(i, 1);
  // Names the endpoint does not know are the device's.
  TString name;
  ASSERT_EQ(props->GetString(u"modulename", &name), 0);
  EXPECT_EQ(name, u"CaptureOutput");
  ASSERT_EQ(props->GetString(u"outputdevice0", &name), 0);
  EXPECT_EQ(props->GetString(u"outputdevice-1", &name), -5);
}

TEST_F(Endpoint, DescribeListsTheDeviceFirst) {
  Connect();
  PropertyDescriptionList list;
  ASSERT_EQ(props->Describe(&list), 0);
  const int32_t own = list.Find(u"bufferlength");
  ASSERT_GE(own, 0);
  EXPECT_LT(list.Find(u"numoutputdevices"), own);
  const std::vector<std::pair<const char16_t*, uint32_t>> expected = {
      {u"bufferlength", 67},  {u"realtimepriority", 66}, {u"channels", 18},
      {u"samplerate", 18},    {u"buffersize", 162},      {u"bufferlevel", 131},
      {u"maxbufferlag", 131}, {u"throughtime", 131},     {u"throughbytes", 130},
      {u"streamtime", 131},   {u"currentstreamid", 130},
  };
  ASSERT_EQ(list.Count(), static_cast<uint32_t>(own) + expected.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(list.At(own + k).name, expected[k].first);
    EXPECT_EQ(list.At(own + k).flags, expected[k].second);
  }
}

TEST_F(Endpoint, SettingsRoundTrip) {
  Connect();
  ASSERT_EQ(props->SetInteger(u"realtimepriority", 5), 0);
  ASSERT_EQ(props->SetNumber(u"bufferlength", 0.5), 0);
  RefPtr<MPreferenceStore> store = registry.NewPreferences();
  ASSERT_EQ(props->SaveSettings(store.Get()), 0);
  bool rt = false;
  ASSERT_EQ(store->GetBool(u"realtimepriority", &rt), 0);
  EXPECT_TRUE(rt);
  store->SetDouble(u"bufferlength", 0.01);  // out of range: the current value stays
  store->RemoveValue(u"realtimepriority");  // absent: the current value stays and is stored
  ASSERT_EQ(props->LoadSettings(store.Get()), 0);
  int32_t v = -1;
  ASSERT_EQ(props->GetInteger(u"realtimepriority", &v), 0);
  EXPECT_EQ(v, 1);
  rt = false;
  ASSERT_EQ(store->GetBool(u"realtimepriority", &rt), 0);
  EXPECT_TRUE(rt);
  EXPECT_EQ(endpoint->BufferMs(), 500u);
  TString current;
  ASSERT_EQ(store->GetString(u"curoutputdevice", &current), 0);  // the device's, too
}

TEST_F(Endpoint, UpstreamFailureStopsTheEndpointWithItsCode) {
  source->failAfterPackets = 10;
  source->failCode = -4242;
  Connect();
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(events.WaitFor(kEventUpstreamFailed));
  const auto e = events.Events().back();
  EXPECT_EQ(e.argument, -4242);
  EXPECT_EQ(e.key, 9u);
  EXPECT_TRUE(device->WaitFor([&] { return !device->IsOpen(); }));
  EXPECT_EQ(endpoint->CurrentState(), kChainStopped);
}

TEST_F(Endpoint, FormatChangesMidStream) {
  for (bool refuse : {false, true}) {
    SCOPED_TRACE(refuse);
    device = std::make_shared<CaptureState>();
    device->failChangeFormat = refuse;
    source = std::make_shared<PcmSourceConfig>();
    source->spec.frames = 8192;
    source->switchAfterPackets = 4;  // after 4096 frames
    source->switched.sampleRate = 22050;
    source->switched.frames = 2048;
    source->switched.seed = 9;
    Connect();
    ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
    if (refuse) {
      ASSERT_TRUE(events.WaitFor(kEventFormatRefused));
      EXPECT_EQ(events.Count(kEventStreamEnded), 0);
    } else {
      ASSERT_TRUE(events.WaitFor(kEventStreamEnded));
      EXPECT_EQ(events.Count(kEventFormatChanged), 1);
      std::vector<uint8_t> expected = SignalSamples(source->spec, 0, 4096);
      const auto second = SignalBytes(source->switched);
      expected.insert(expected.end(), second.begin(), second.end());
      EXPECT_EQ(device->Heard(), expected);
    }
    TearDown();
    endpoint = nullptr;
    events.Clear();
  }
}

// Writes are whole frames and leave a frame free, also for a device buffer smaller than the
// usual write threshold (25 ms of 8 kHz mono 8-bit is 200 bytes) and for 24-bit stereo.
TEST_F(Endpoint, WritesAreWholeFramesForAnyBuffer) {
  struct Case {
    uint32_t rate, channels, bits;
    double bufferSeconds;
  };
  for (const Case c :
       {Case{8000, 1, 8, 0.025}, Case{44100, 2, 24, 0.05}, Case{48000, 6, 16, 0.1}}) {
    SCOPED_TRACE(c.bits);
    device = std::make_shared<CaptureState>();
    device->clock = CaptureState::Clock::kStepped;
    device->stepUs = 2000;
    source = std::make_shared<PcmSourceConfig>();
    source->spec = SignalSpec{c.rate, c.channels, c.bits, false, c.bits != 8, c.rate / 4, 3};
    source->framesPerPacket = 777;
    Connect();
    ASSERT_EQ(props->SetNumber(u"bufferlength", c.bufferSeconds), 0);
    ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
    ASSERT_TRUE(events.WaitFor(kEventStreamEnded));
    EXPECT_EQ(device->Heard(), SignalBytes(source->spec));
    EXPECT_EQ(device->Overruns(), 0);
    const uint32_t frame = SignalFrameBytes(source->spec);
    for (uint32_t size : device->WriteSizes())
      ASSERT_EQ(size % frame, 0u) << size;
    TearDown();
    endpoint = nullptr;
    events.Clear();
  }
}

TEST_F(Endpoint, SeekFlushesAndRestartsOnlyAPlayingDevice) {
  Connect();
  EXPECT_TRUE(IsEntry(endpoint->Seek(1.0, 0, 1), kMsWrongState));
  ASSERT_EQ(endpoint->StateChange(kChainCued), 0);
  ASSERT_TRUE(BufferFull());
  // Paused: the flush must not start the device.
  ASSERT_EQ(module->Seek(0.0, 0, 1), 0);  // the source first, as the chain seeks it
  ASSERT_EQ(endpoint->Seek(0.0, 0, 1), 0);
  ASSERT_TRUE(events.WaitFor(kEventFlushed));
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(device->IsPlaying());
  EXPECT_EQ(Calls("Flush"), 1);
  // Playing: the flush stops the device and the next write starts it again.
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  const int plays = Calls("Play");
  ASSERT_EQ(module->Seek(2.0, 0, 1), 0);  // the source first, as the chain seeks it
  ASSERT_EQ(endpoint->Seek(2.0, 0, 1), 0);
  ASSERT_TRUE(events.WaitFor(kEventFlushed, 2));
  EXPECT_TRUE(device->WaitFor([&] { return Calls("Play") > plays; }));
  double t = 0;
  ASSERT_EQ(props->GetNumber(u"streamtime", &t), 0);
  EXPECT_GE(t, 2.0);
  EXPECT_LT(t, 2.1);
}

TEST_F(Endpoint, VolumeAndRamps) {
  Connect();
  EXPECT_EQ(volume->SetVolume(1.5), -9);
  EXPECT_EQ(volume->SetBalance(-1.5), -9);
  EXPECT_EQ(volume->SetVolume(0.5), 0);  // stopped: stored only
  EXPECT_TRUE(device->Volumes().empty());
  EXPECT_TRUE(IsEntry(volume->RampVolume(1, 0, 2), kMsWrongState));
  EXPECT_EQ(volume->RampVolume(1, 0, 0), -9);
  EXPECT_EQ(volume->RampVolume(1, 0, 61), -9);
  EXPECT_EQ(volume->RampVolume(1.1, 0, 1), -9);
  ASSERT_EQ(endpoint->StateChange(kChainCued), 0);
  // The device opened with the stored volume.
  ASSERT_FALSE(device->Volumes().empty());
  EXPECT_EQ(device->Volumes().front().volume, 0.5);
  device->failSetVolume = true;
  EXPECT_TRUE(IsEntry(volume->SetVolume(0.25), kMsDeviceFailed));
  device->failSetVolume = false;
  double v = 0;
  ASSERT_EQ(volume->GetVolume(&v), 0);
  EXPECT_EQ(v, 0.25);
}

// Playing steadily, the playback thread sleeps until a quarter of the device buffer is free
// again: it looks at the device a few times a second, not every millisecond, and the device
// never runs dry. A ramp makes it step more often, and only while it lasts.
TEST_F(Endpoint, PlaybackThreadWakesOnlyAsOftenAsTheAudioNeeds) {
  Connect();
  ASSERT_EQ(props->SetNumber(u"bufferlength", 0.4), 0);
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(BufferFull());
  // Played in real time 10 ms at a time; answers the passes per second of real time.
  auto passesPerSecond = [&](int steps) {
    const uint64_t before = device->freeSpaceCalls;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < steps; ++i) {
      device->Advance(10000);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      EXPECT_GT(device->WrittenBytes() - device->HeardBytes(), 0u) << "ran dry at step " << i;
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return static_cast<double>(device->freeSpaceCalls - before) / seconds;
  };
  // A quarter of 0.4 s: about ten wakes a second, each writing a few packets (a pass each);
  // a pass every millisecond would be a thousand.
  const double steady = passesPerSecond(200);
  EXPECT_LT(steady, 120.0);
  // Ramp steps of 10 ms while the ramp lasts, then quiet again.
  ASSERT_EQ(volume->RampVolume(1.0, 0.5, 0.5), 0);
  EXPECT_GT(passesPerSecond(40), steady + 50.0);
  passesPerSecond(20);
  EXPECT_LT(passesPerSecond(100), 120.0);
}

// A notification falls due by the same heard time as "streamtime" and ramps: when it fires (on
// the playback thread, to a callback added directly), the device has played up to its time and
// not a buffer's length beyond.
TEST_F(Endpoint, NotificationsFireWhenTheirTimeIsHeard) {
  Connect();
  ASSERT_EQ(props->SetNumber(u"bufferlength", 0.2), 0);
  RefPtr<MTimeNotifications> tn = Query<MTimeNotifications>(kIID_MTimeNotifications);
  RecordingCallback at;
  std::atomic<uint64_t> heardThen{0};
  at.onEvent = [&](int32_t code, uint32_t) {
    if (code == kEventTimeNotification) heardThen = device->HeardBytes();
  };
  ASSERT_EQ(tn->AddNotification(&at, 0.5, 1), 0);
  EXPECT_EQ(tn->AddNotification(&at, 0.7, 1), -6);
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  // Played no faster than real time: the endpoint sleeps by the clock until the notification
  // falls due, as it may with a real device.
  ASSERT_TRUE(PlayUntil([&] { return at.Count(kEventTimeNotification) > 0; }, 2000, 2000));
  const double t = static_cast<double>(heardThen.load()) / 176400.0;
  EXPECT_GE(t, 0.5);
  EXPECT_LT(t, 0.55);  // a buffer of 0.2 s would show here if the time were taken otherwise
  EXPECT_EQ(tn->RemoveNotification(&at, 0.5, 1), -5);
  endpoint->StateChange(kChainStopped);
}

// Two endpoints cross-fade as the media core does it: one ramps down while the other ramps up.
// The volume envelope each device applied, measured at the positions it was heard, follows the
// ramp.
TEST_F(Endpoint, CrossfadeRampsFollowTheStreamTimeHeard) {
  struct Side {
    std::shared_ptr<CaptureState> device = std::make_shared<CaptureState>();
    std::shared_ptr<PcmSourceConfig> source = std::make_shared<PcmSourceConfig>();
    RefPtr<GenericOutput> endpoint;
    RefPtr<MAudioModule> module;
  } sides[2];
  for (Side& s : sides) {
    s.device->clock = CaptureState::Clock::kManual;
    s.source->spec.frames = 44100 * 3;
    s.module = MakePcmSource(s.source);
    RefPtr<AudioEndpoint> e = MakeCaptureEndpoint(s.device);
    s.endpoint = RefPtr<GenericOutput>(static_cast<GenericOutput*>(e.Get()));
    AudioModuleOutput* out = nullptr;
    AudioModuleInput* in = nullptr;
    s.module->GetOutput(&out, 0);
    s.endpoint->GetInput(&in, 0);
    out->SetDestination(in);
    ASSERT_EQ(in->Connect(out), 0);
    RefPtr<MModuleProperties> p;
    s.endpoint->QueryInterface(kIID_MModuleProperties, p.PutVoid(), 1, 0);
    ASSERT_EQ(p->SetNumber(u"bufferlength", 0.05), 0);
    ASSERT_EQ(s.endpoint->StateChange(kChainPlaying), 0);
  }
  const double kRamp = 1.0;
  for (int k = 0; k < 2; ++k) {
    RefPtr<MVolumeControl> v;
    sides[k].endpoint->QueryInterface(kIID_MVolumeControl, v.PutVoid(), 1, 0);
    ASSERT_EQ(v->RampVolume(k == 0 ? 1.0 : 0.0, k == 0 ? 0.0 : 1.0, kRamp), 0);
  }
  // Both devices play in lock step, 5 ms at a time, for 1.5 seconds, no faster than real time
  // (the endpoint sleeps by the clock between ramp steps, as it may with a real device).
  for (int step = 0; step < 300; ++step) {
    for (Side& s : sides)
      s.device->Advance(5000);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  for (int k = 0; k < 2; ++k) {
    SCOPED_TRACE(k);
    const auto volumes = sides[k].device->Volumes();
    ASSERT_GT(volumes.size(), 20u);
    // The ramp starts where it was asked (at the start) and ends at its target.
    EXPECT_DOUBLE_EQ(volumes.back().volume, k == 0 ? 0.0 : 1.0);
    double previous = k == 0 ? 2.0 : -1.0;
    // From the ramp's start on (the device opened at the plain volume).
    auto start = std::find_if(volumes.begin(), volumes.end(),
                              [&](const auto& c) { return c.volume == (k == 0 ? 1.0 : 0.0); });
    for (const auto& change : std::vector(start, volumes.end())) {
      const double t = static_cast<double>(change.heardAt) / 176400.0;
      const double expected = k == 0 ? std::max(1.0 - t / kRamp, 0.0) : std::min(t / kRamp, 1.0);
      // The level is the one formula of the stream time heard, taken when the device applied it.
      // (The test moves the clock 5 ms at a time, possibly between the reading and the change.)
      EXPECT_NEAR(change.volume, expected, 0.0051) << "at " << t;
      if (k == 0) {
        EXPECT_LE(change.volume, previous + 1e-9);
      } else {
        EXPECT_GE(change.volume, previous - 1e-9);
      }
      previous = change.volume;
    }
  }
  for (Side& s : sides)
    s.endpoint->StateChange(kChainStopped);
}

// A receiver that breaks the rule and acts on the endpoint from inside an event: the events are
// fired outside every lock, and a stop from the playback thread itself does not wait for itself.
TEST_F(Endpoint, EventsAreFiredOutsideLocks) {
  source->spec.frames = 8820;
  device->clock = CaptureState::Clock::kInstant;
  Connect();
  std::atomic<bool> readInside{false};
  events.onEvent = [&](int32_t code, uint32_t) {
    if (code != kEventDraining) return;
    double level = 0;
    readInside = props->GetNumber(u"bufferlevel", &level) == 0 && level == 1.0;
    endpoint->StateChange(kChainStopped);
  };
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(events.WaitFor(kEventDraining));
  EXPECT_TRUE(device->WaitFor([&] { return !device->IsOpen(); }));
  EXPECT_TRUE(readInside);
  EXPECT_EQ(endpoint->CurrentState(), kChainStopped);
  events.onEvent = nullptr;
}

// Stop during the drain cuts it short through the wake event; playing again afterwards starts a
// new playback thread only after the old one has ended.
TEST_F(Endpoint, StopDuringTheDrainAndRestart) {
  source->spec.frames = 8820;
  Connect();
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(events.WaitFor(kEventDraining));
  ASSERT_EQ(endpoint->StateChange(kChainStopped), 0);  // the manual clock never drains it
  EXPECT_EQ(events.Count(kEventStreamEnded), 0);
  ASSERT_EQ(module->Seek(0.0, 0, 0), 0);
  device->clock = CaptureState::Clock::kInstant;
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded));
  const auto calls = device->Calls();
  // Open, ..., Close, Open, ..., Close: never two opens in a row.
  std::string last;
  for (const auto& call : calls) {
    if (call == "Open" || call == "Close") {
      EXPECT_NE(call, last);
      last = call;
    }
  }
}

// A source that blocks and never heeds an abort: the stop waits for the thread only as long as
// its limit, then leaves the thread (which holds the endpoint) to end by itself.
TEST_F(Endpoint, StopWaitsForABlockedUpstreamOnlyAsLongAsItsLimit) {
  source->blockAfterPackets = 3;
  Connect();
  ASSERT_EQ(endpoint->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(device->WaitFor([&] { return source->blocked.load(); }));
  FakeClock clock;
  ScopedClock scoped(clock);
  std::atomic<bool> stopped{false};
  std::thread stopper([&] {
    EXPECT_EQ(endpoint->StateChange(kChainStopped), 0);
    stopped = true;
  });
  ASSERT_TRUE(clock.WaitForSleepers(1));
  clock.Advance(GenericOutput::kThreadWaitLimitMs);
  stopper.join();
  EXPECT_TRUE(stopped);
  EXPECT_EQ(endpoint->CurrentState(), kChainStopped);
  // A new start waits for the old thread first, which is still blocked: it is refused rather
  // than run beside it.
  std::atomic<int32_t> started{1};
  std::thread starter([&] { started = endpoint->StateChange(kChainCued); });
  ASSERT_TRUE(clock.WaitForSleepers(1));
  clock.Advance(GenericOutput::kThreadWaitLimitMs);
  starter.join();
  EXPECT_LT(started, 0);
  // Released, the old thread ends on its own; then a start succeeds.
  source->blockAfterPackets = -1;
  source->release->Set();
  EXPECT_TRUE(device->WaitFor([&] { return !device->IsOpen(); }));
  EXPECT_EQ(endpoint->StateChange(kChainCued), 0);
  EXPECT_EQ(endpoint->StateChange(kChainStopped), 0);
}

}  // namespace
}  // namespace vk2::test
