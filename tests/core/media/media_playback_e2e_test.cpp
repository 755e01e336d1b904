// The media system with the real engine: files (and a loopback HTTP stream) read, decoded and
// played through the DirectSound device into a PulseAudio null sink of the test's own, whose
// monitor is recorded and compared with what the items hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "audio/decoders/mpeg/module/mpeg_decoder.h"
#include "audio/outputs/common/device_endpoint_factory.h"
#include "audio/outputs/dsound/direct_sound_output.h"
#include "audio/readers/url/url_reader.h"
#include "core/media/media_system_factory.h"
#include "platform/audio/sink/pulse_sink.h"
#include "platform/audio/sink/wav_file_writer.h"
#include "tests/audio/support/local_chain_env.h"
#include "tests/core/media/fake_owner.h"
#include "tests/platform/net/http_test_server.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/monitor_recorder.h"
#include "tests/support/private_null_sink.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tone_analysis.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

using SteadyClock = std::chrono::steady_clock;

constexpr uint32_t kRate = 48000;
constexpr uint32_t kChannels = 2;

std::vector<int16_t> Slice(const std::vector<int16_t>& s, int64_t fromFrame, int64_t frames) {
  const int64_t first = std::max<int64_t>(fromFrame, 0) * kChannels;
  const int64_t last = std::min<int64_t>((fromFrame + frames) * kChannels, s.size());
  if (first >= last) return {};
  return std::vector<int16_t>(s.begin() + first, s.begin() + last);
}

// The amplitude of a tone of `hz` in one channel over frames [from, from + count) (Goertzel).
double ToneLevel(const std::vector<int16_t>& s, int64_t from, int64_t count, double hz) {
  const double w = 2.0 * M_PI * hz / kRate;
  const double c = 2.0 * std::cos(w);
  double s1 = 0;
  double s2 = 0;
  for (int64_t i = 0; i < count; ++i) {
    const int64_t at = (from + i) * kChannels;
    const double x = at < static_cast<int64_t>(s.size()) ? s[at] / 32768.0 : 0.0;
    const double s0 = x + c * s1 - s2;
    s2 = s1;
    s1 = s0;
  }
  const double power = s1 * s1 + s2 * s2 - c * s1 * s2;
  return 2.0 * std::sqrt(std::max(power, 0.0)) / count;
}

std::vector<double> MedianOf7(const std::vector<double>& v) {
  std::vector<double> out(v.size());
  for (size_t i = 0; i < v.size(); ++i) {
    const size_t from = i >= 3 ? i - 3 : 0;
    const size_t to = std::min(v.size(), i + 4);
    std::vector<double> around(v.begin() + from, v.begin() + to);
    std::nth_element(around.begin(), around.begin() + around.size() / 2, around.end());
    out[i] = around[around.size() / 2];
  }
  return out;
}

class MediaPlaybackE2eTest : public LocalChainEnv {
 protected:
  void SetUp() override {
    if (!PulseServerAnswers(2000)) GTEST_SKIP() << "no PulseAudio server";
    if (!HaveTool("parec") || !HaveTool("sox")) GTEST_SKIP() << "parec or sox missing";
    ASSERT_TRUE(nullSink_.Loaded()) << nullSink_.Error();
    PulseSink probe;
    ASSERT_TRUE(probe.Open("", {kRate, kChannels, 16, false}, 50)) << probe.LastError();
    ASSERT_EQ(probe.ConnectedSinkName(), nullSink_.Name());
    probe.Close();
    AddFileReader();
    AddDecoder<WaveDecoder>();
    AddDecoder<MpegDecoder>();
    Register(kCategoryOutputDevices, [](const Guid& iid, void** out) {
      if (!(iid == kIID_MAudioModule)) return kErrNoInterface;
      DeviceLibrary library;
      library.ownInterface = kIID_MAudioModule;
      library.moduleName = u"DirectSoundOutput";
      library.makeDevice = []() -> MOutputDevice* {
        auto* device = new DirectSoundOutput(DefaultPcmSinkFactory());
        device->AddRef();
        return device;
      };
      return CreateDeviceEndpoint(library, iid, out);
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
    LocalChainEnv::TearDown();
  }

  // Every chain's endpoint gets a device buffer of `seconds`.
  void UseDeviceBuffer(double seconds) {
    RefPtr<MPreferenceStore> store = registry.NewPreferences();
    store->OpenSection(u"player", 1);
    RefPtr<MPreferenceStore> section = registry.NewPreferences();
    section->OpenSection(u"/player/DirectSoundOutput", 1);
    section->SetDouble(u"bufferlength", seconds);
    ASSERT_EQ(media->LoadSettings(store.Get()), 0);
  }
  std::string WriteWav(const std::string& name, const std::vector<int16_t>& samples) {
    const std::string path = folder_.Path() + "/" + name;
    WavFileWriter writer;
    EXPECT_TRUE(writer.Start(path, {kRate, kChannels, 16, false}));
    EXPECT_TRUE(writer.Append(samples.data(), samples.size() * 2));
    EXPECT_TRUE(writer.Finish());
    return path;
  }
  std::string ToneWav(const std::string& name, double seconds, int hz) {
    const std::string path = folder_.Path() + "/" + name;
    EXPECT_TRUE(
        RunTool({"sox", "-q", "-D", "-n", "-r", std::to_string(kRate), "-c", "2", "-b", "16", path,
                 "synth", std::to_string(seconds), "sine", std::to_string(hz), "vol", "0.4"}));
    return path;
  }
  // Items of consecutive pieces of one sweep, `frames` each: heard in order they make it whole.
  std::vector<std::vector<int16_t>> SweepItems(size_t count, uint32_t frames) {
    const std::vector<int16_t> sweep = MakeSignal(frames * count, kChannels, kRate, 0.5);
    std::vector<std::vector<int16_t>> pieces;
    std::vector<std::u16string> urls;
    for (size_t i = 0; i < count; ++i) {
      pieces.push_back(Slice(sweep, static_cast<int64_t>(i) * frames, frames));
      const std::string path = WriteWav("piece" + std::to_string(i) + ".wav", pieces.back());
      urls.push_back(Utf16("file://" + path).c_str());
    }
    owner.SetItems(urls);
    return pieces;
  }
  // Plays the owner's items to their end and returns what the sink heard.
  std::vector<int16_t> PlayToEnd() {
    MonitorRecorder recorder;
    EXPECT_TRUE(recorder.Start(nullSink_.Name(), kRate, kChannels));
    EXPECT_EQ(media->Play(), 0);
    EXPECT_TRUE(owner.WaitForStream(0, 60000));
    return recorder.Stop();
  }
  // Where each piece starts in `heard`, each looked for after the one before.
  std::vector<int64_t> FindInOrder(const std::vector<int16_t>& heard,
                                   const std::vector<std::vector<int16_t>>& pieces) {
    std::vector<int64_t> starts;
    int64_t from = 0;
    for (const std::vector<int16_t>& piece : pieces) {
      const std::vector<int16_t> rest = Slice(heard, from, heard.size() / kChannels);
      const Match m = FindSignal(rest, piece, kChannels, 0, 2400, 2 * kRate);
      EXPECT_GT(m.correlation, 0.999) << "piece " << starts.size();
      starts.push_back(from + m.frame);
      from = starts.back() + static_cast<int64_t>(piece.size() / kChannels) - kRate / 10;
    }
    return starts;
  }

  // Declared first: outlives the media system, whose event thread calls it.
  FakeOwner owner;
  TempFolder folder_;
  PrivateNullSink nullSink_{kRate};
  RefPtr<MMediaSystem> media;
};

TEST_F(MediaPlaybackE2eTest, ThreeItemsAreHeardInOrder) {
  const auto pieces = SweepItems(3, kRate / 2);
  const std::vector<int16_t> heard = PlayToEnd();
  EXPECT_EQ(owner.Streams(), (std::vector<uint32_t>{1, 2, 3, 0}));
  const std::vector<int64_t> starts = FindInOrder(heard, pieces);
  ASSERT_EQ(starts.size(), 3u);
  for (size_t i = 1; i < starts.size(); ++i) {
    // Each item only after the whole of the one before it.
    EXPECT_GE(starts[i], starts[i - 1] + kRate / 2) << "item " << i + 1;
  }
}

TEST_F(MediaPlaybackE2eTest, SeamlessLeavesExactlyTheGapBetweenItems) {
  constexpr double kGap = 0.3;
  constexpr int64_t kGapFrames = 14400;
  // Items longer than the device buffer: the endpoint takes the first item's end only after
  // the second is queued behind it.
  constexpr uint32_t kItemFrames = kRate * 5 / 2;
  const auto pieces = SweepItems(2, kItemFrames);
  ASSERT_EQ(media->SetTransition(kPlaybackSeamless, kGap), 0);
  const std::vector<int16_t> heard = PlayToEnd();
  EXPECT_EQ(owner.Streams(), (std::vector<uint32_t>{1, 2, 0}));
  const std::vector<int64_t> starts = FindInOrder(heard, pieces);
  ASSERT_EQ(starts.size(), 2u);
  const int64_t firstEnd = starts[0] + kItemFrames;
  EXPECT_EQ(starts[1] - firstEnd, kGapFrames);
  const std::vector<int16_t> gap = Slice(heard, firstEnd, starts[1] - firstEnd);
  EXPECT_TRUE(std::all_of(gap.begin(), gap.end(), [](int16_t s) { return s == 0; }));
  // Each item is heard sample for sample from where it was found (the server may trim the very
  // start of the stream): a frame lost or added on the way would shift everything after it.
  for (size_t i = 0; i < pieces.size(); ++i) {
    const int64_t from = kRate / 20;
    EXPECT_TRUE(Slice(heard, starts[i] + from, kItemFrames - from) ==
                Slice(pieces[i], from, kItemFrames - from))
        << "item " << i + 1;
  }
}

TEST_F(MediaPlaybackE2eTest, CrossfadeOverlapsTheItemsForTheTransitionTime) {
  constexpr double kFade = 1.0;
  const std::string a = ToneWav("a.wav", 3.0, 440);
  const std::string b = ToneWav("b.wav", 2.5, 1000);
  owner.SetItems({Utf16("file://" + a).c_str(), Utf16("file://" + b).c_str()});
  ASSERT_EQ(media->SetTransition(kPlaybackCrossfade, kFade), 0);
  UseDeviceBuffer(0.2);
  const std::vector<int16_t> heard = PlayToEnd();
  EXPECT_EQ(owner.Streams(), (std::vector<uint32_t>{1, 2, 0}));
  // Levels of both tones over 20 ms windows.
  constexpr int64_t kWindow = kRate / 50;
  const int64_t windows = static_cast<int64_t>(heard.size() / kChannels) / kWindow;
  std::vector<double> levelA;
  std::vector<double> levelB;
  for (int64_t w = 0; w < windows; ++w) {
    levelA.push_back(ToneLevel(heard, w * kWindow, kWindow, 440));
    levelB.push_back(ToneLevel(heard, w * kWindow, kWindow, 1000));
  }
  // A brief dropout (the server starved for a moment while the machine is loaded, most likely as
  // the second stream starts) would otherwise read as the end of a ramp: each level is the median
  // of the 7 windows around it, which keeps a ramp's shape and drops gaps up to 60 ms.
  levelA = MedianOf7(levelA);
  levelB = MedianOf7(levelB);
  const double full = 0.4;
  // Each ramp from its 90 % and 10 % crossings, stretched linearly to its whole length.
  struct Ramp {
    double start = 0;
    double end = 0;
  };
  auto rampOf = [&](const std::vector<double>& v, bool rising) {
    // A fade-out runs from its last full window forwards, a fade-in from its first full window
    // backwards, to the first window below 10 %.
    int64_t full90 = -1;
    for (int64_t w = 0; w < windows; ++w) {
      if (v[w] > full * 0.9 && (!rising || full90 < 0)) full90 = w;
    }
    const int64_t step = rising ? -1 : 1;
    int64_t low10 = full90;
    while (low10 > 0 && low10 < windows - 1 && v[low10] >= full * 0.1)
      low10 += step;
    const double a = static_cast<double>(std::min(full90, low10)) * kWindow / kRate;
    const double b = static_cast<double>(std::max(full90, low10)) * kWindow / kRate;
    const double margin = (b - a) / 8;
    return Ramp{a - margin, b + margin};
  };
  const Ramp out = rampOf(levelA, false);
  const Ramp in = rampOf(levelB, true);
  // Both fade over about the transition time, and B comes in while A is still heard. Each ramp
  // is heard late by its own stream's latency (ramps act where the device takes the audio), so
  // their starts may differ by up to that.
  EXPECT_NEAR(out.end - out.start, kFade, 0.35 * kFade);
  EXPECT_NEAR(in.end - in.start, kFade, 0.35 * kFade);
  EXPECT_LT(in.start, out.end);
  EXPECT_LT(std::abs(in.start - out.start), 1.0);
  // Ramps, not steps: halfway through its fade each tone is at an intermediate level.
  const auto at = [&](const std::vector<double>& v, double t) {
    return v[static_cast<size_t>(t * kRate / kWindow)] / full;
  };
  EXPECT_NEAR(at(levelA, (out.start + out.end) / 2), 0.5, 0.25);
  EXPECT_NEAR(at(levelB, (in.start + in.end) / 2), 0.5, 0.25);
  // Before the fade A is whole, after it B is.
  EXPECT_NEAR(at(levelA, out.start - 0.1), 1.0, 0.1);
  EXPECT_NEAR(at(levelB, in.end + 0.1), 1.0, 0.1);
}

// Songs at the rates music comes in, played one after the other into the 48 kHz sink: each is
// heard at its own pitch (an MP3 and a mono WAVE file at 44.1 and 22.05 kHz).
TEST_F(MediaPlaybackE2eTest, SongsAtOtherRatesAreHeardAtTheirPitch) {
  const double hz[] = {1000, 1500};
  const std::string cd = folder_.Path() + "/cd.wav";
  const std::string mp3 = folder_.Path() + "/cd.mp3";
  const std::string speech = folder_.Path() + "/speech.wav";
  ASSERT_TRUE(RunTool({"sox", "-q", "-D", "-n", "-r", "44100", "-c", "2", "-b", "16", cd, "synth",
                       "2", "sine", "1000", "vol", "0.5"}));
  ASSERT_TRUE(RunTool({"lame", "--quiet", "-b", "192", cd, mp3}));
  ASSERT_TRUE(RunTool({"sox", "-q", "-D", "-n", "-r", "22050", "-c", "1", "-b", "16", speech,
                       "synth", "2", "sine", "1500", "vol", "0.5"}));
  owner.SetItems({Utf16("file://" + mp3).c_str(), Utf16("file://" + speech).c_str()});
  // Silence between the songs, so that no window holds both tones.
  ASSERT_EQ(media->SetTransition(kPlaybackSeamless, 0.3), 0);
  const std::vector<int16_t> heard = PlayToEnd();
  EXPECT_EQ(owner.Streams(), (std::vector<uint32_t>{1, 2, 0}));
  std::vector<double> left;
  for (size_t i = 0; i < heard.size(); i += kChannels)
    left.push_back(heard[i] / 32768.0);
  // 100 ms windows: while the current song's tone is strong its pitch is measured; once it has
  // been heard and fades, the next song's tone is looked for.
  constexpr int64_t kWindow = kRate / 10;
  // A song's pitch is the median of its windows', so that a window torn by a dropout on a
  // loaded machine does not decide it.
  size_t song = 0;
  std::vector<std::vector<double>> pitches(std::size(hz));
  for (int64_t at = 0; at + kWindow <= static_cast<int64_t>(left.size()); at += kWindow) {
    const std::vector<double> window(left.begin() + at, left.begin() + at + kWindow);
    const double level =
        Goertzel(window.data(), WholeCycleCount(hz[song], kRate, window.size()), hz[song], kRate)
            .amplitude;
    if (level > 0.4) {
      pitches[song].push_back(ZeroCrossingFrequency(window, kRate));
    } else if (!pitches[song].empty() && song + 1 < std::size(hz)) {
      ++song;
    }
  }
  for (size_t i = 0; i < std::size(hz); ++i) {
    ASSERT_GE(pitches[i].size(), 5u) << "song " << i + 1 << " not heard at its pitch";
    std::vector<double> sorted = pitches[i];
    std::sort(sorted.begin(), sorted.end());
    EXPECT_NEAR(sorted[sorted.size() / 2], hz[i], hz[i] * 0.005) << "song " << i + 1;
  }
}

TEST_F(MediaPlaybackE2eTest, SeekLandsOnTheAskedPosition) {
  const std::vector<int16_t> signal = MakeSignal(4 * kRate, kChannels, kRate, 0.5);
  const std::string path = WriteWav("long.wav", signal);
  owner.SetItems({Utf16("file://" + path).c_str()});
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(nullSink_.Name(), kRate, kChannels));
  ASSERT_EQ(media->Play(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  // Counted back from the end: 4 s - 1.5 s.
  ASSERT_EQ(media->SeekStream(-1.5, 0), 0);
  MediaPlayInfo info;
  ASSERT_EQ(media->GetPlayInfo(&info), 0);
  EXPECT_NEAR(info.streamTime, 2.5, 0.3);
  ASSERT_TRUE(owner.WaitForStream(0, 30000));
  const std::vector<int16_t> heard = recorder.Stop();
  const std::vector<int16_t> tail = Slice(signal, 2 * kRate + kRate / 2, 2 * kRate);
  // The server may drop a few milliseconds where a flushed stream starts again, more while the
  // stream plays on than after a pause.
  const int64_t settle = kRate / 10;
  const Match m = FindSignal(heard, tail, kChannels, 0, settle, 3 * kRate);
  EXPECT_GT(m.correlation, 0.999);
  ASSERT_GT(m.frame + settle, 0);
  EXPECT_NEAR(EnergyRatioDb(heard, m.frame + settle, tail, settle, kChannels), 0.0, 0.1);
  // What came before the seek point and was skipped is not heard.
  const std::vector<int16_t> skipped = Slice(signal, 2 * kRate, kRate / 4);
  EXPECT_LT(FindSignal(heard, skipped, kChannels, 0, 0, 3 * kRate).correlation, 0.9);
}

TEST_F(MediaPlaybackE2eTest, StopDuringAStalledStreamPrebufferReturnsWithinASecond) {
  Register(kCategoryStreamReaders, [](const Guid& iid, void** out) {
    if (!(iid == kIID_MStreamReader)) return kErrNoInterface;
    auto* reader = new UrlReader();
    reader->AddRef();
    RefPtr<MModuleProperties> props;
    reader->QueryInterface(kIID_MModuleProperties, props.PutVoid(), 1, 0);
    props->SetInteger(u"diskbuffer", 0);
    props->SetNumber(u"prebuffer", 0.9);
    *out = static_cast<MStreamReader*>(reader);
    return kOk;
  });
  const std::vector<int16_t> signal = MakeSignal(10 * kRate, kChannels, kRate, 0.5);
  const std::vector<uint8_t> bytes = ReadFile(WriteWav("stream.wav", signal));
  const std::string wav(bytes.begin(), bytes.end());
  HttpTestServer server([&](const std::string&, const std::string&) {
    HttpAnswer answer;
    answer.body = wav;
    answer.ranges = false;
    answer.stallAfter = 48 * 1024;
    return answer;
  });
  owner.SetItems({Utf16(server.Url("/stream.wav")).c_str()});
  auto play = std::async(std::launch::async, [&] { return media->Play(); });
  // Well into the wait for a buffer that never fills.
  const auto until = SteadyClock::now() + std::chrono::seconds(10);
  while (server.RequestCount() == 0 && SteadyClock::now() < until)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_EQ(server.RequestCount(), 1u);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_EQ(play.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
  const auto start = SteadyClock::now();
  EXPECT_EQ(media->Stop(), 0);
  ASSERT_EQ(play.wait_for(std::chrono::seconds(1)), std::future_status::ready);
  EXPECT_LT(SteadyClock::now() - start, std::chrono::seconds(1));
  EXPECT_LT(play.get(), 0);
  EXPECT_EQ(media->GetState(), kMediaStopped);
}

}  // namespace
}  // namespace vk2::test
