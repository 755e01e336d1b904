// WAVE, Ogg Vorbis and MP3 files played by chains the audio system builds, through both output
// devices, into the PulseAudio null sink: the sink's monitor holds the decoded signal whole, at
// its level; pause, seek and stop work mid-file. The same runs on ALSA's null device.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <vector>

#include "audio/common/format_record.h"
#include "audio/common/media_errors.h"
#include "audio/decoders/mpeg/module/mpeg_decoder.h"
#include "audio/outputs/common/device_endpoint_factory.h"
#include "audio/outputs/dsound/direct_sound_output.h"
#include "audio/outputs/waveout/wave_out_output.h"
#include "platform/audio/sink/alsa_sink.h"
#include "platform/audio/sink/pulse_sink.h"
#include "platform/audio/sink/wav_file_writer.h"
#include "tests/audio/support/local_chain_env.h"
#include "tests/support/audio_compare.h"
#include "tests/support/files.h"
#include "tests/support/monitor_recorder.h"
#include "tests/support/private_null_sink.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tone_analysis.h"
#include "tests/support/tools.h"

namespace vk2::test {
namespace {

constexpr uint32_t kRate = 48000;
constexpr uint32_t kChannels = 2;

enum class DeviceKind { kDirectSound, kWaveOut };

class LocalPlaybackE2eTest : public LocalChainEnv,
                             public ::testing::WithParamInterface<DeviceKind> {
 protected:
  void SetUp() override {
    if (!PulseServerAnswers(2000)) GTEST_SKIP() << "no PulseAudio server";
    if (!HaveTool("parec") || !HaveTool("oggenc") || !HaveTool("oggdec")) {
      GTEST_SKIP() << "parec, oggenc or oggdec missing";
    }
    ASSERT_TRUE(nullSink_.Loaded()) << nullSink_.Error();
    PulseSink probe;
    ASSERT_TRUE(probe.Open("", {kRate, kChannels, 16, false}, 50)) << probe.LastError();
    sinkName_ = probe.ConnectedSinkName();
    ASSERT_EQ(sinkName_, nullSink_.Name());
    probe.Close();
    AddFileReader();
    AddDecoder<WaveDecoder>();
    AddDecoder<OggVorbisDecoder>();
    AddDecoder<MpegDecoder>();
    signal_ = MakeSignal(3 * kRate, kChannels, kRate, 0.5);
    wav_ = folder_.Path() + "/signal.wav";
    WavFileWriter writer;
    ASSERT_TRUE(writer.Start(wav_, {kRate, kChannels, 16, false}));
    ASSERT_TRUE(writer.Append(signal_.data(), signal_.size() * 2));
    ASSERT_TRUE(writer.Finish());
  }

  RefPtr<OutputDeviceBase> MakeDevice(PcmSinkFactory sinks) {
    if (GetParam() == DeviceKind::kDirectSound) {
      return RefPtr<OutputDeviceBase>(new DirectSoundOutput(std::move(sinks)));
    }
    return RefPtr<OutputDeviceBase>(new WaveOutOutput(std::move(sinks)));
  }
  // An endpoint of the device library, as its class factory makes one.
  RefPtr<AudioEndpoint> DeviceEndpoint(PcmSinkFactory sinks = DefaultPcmSinkFactory(),
                                       const std::string& sinkDescription = "") {
    DeviceLibrary library;
    library.makeDevice = [this, sinks, sinkDescription]() -> MOutputDevice* {
      OutputDeviceBase* device = nullptr;
      if (GetParam() == DeviceKind::kDirectSound) {
        device = new DirectSoundOutput(sinks);
      } else {
        device = new WaveOutOutput(sinks);
      }
      device->AddRef();
      // The device named by a description, when one is asked for.
      for (const DeviceName& d : device->Devices()) {
        if (!sinkDescription.empty() && d.description == Utf16(sinkDescription)) {
          EXPECT_EQ(device->SetString(u"curoutputdevice", d.name.c_str()), 0);
        }
      }
      return device;
    };
    library.ownInterface = kIID_MAudioModule;
    void* p = nullptr;
    EXPECT_EQ(CreateDeviceEndpoint(library, kIID_MAudioModule, &p), 0);
    return RefPtr<AudioEndpoint>::Adopt(static_cast<AudioEndpoint*>(static_cast<MAudioModule*>(p)));
  }
  int32_t BuildOn(RefPtr<AudioEndpoint> target, const std::string& url) {
    chain = NewChain();
    endpoint = std::move(target);
    EXPECT_EQ(chain->SetEndpoint(endpoint.Get()), 0);
    const int32_t r = chain->Open(Utf16(url).c_str(), 100000);
    if (r == 0) {
      EXPECT_EQ(chain->RegisterCallback(&events, 1), 0);
    }
    return r;
  }
  std::string OggOfSignal() {
    const std::string ogg = folder_.Path() + "/signal.ogg";
    EXPECT_TRUE(RunTool({"oggenc", "-Q", "-q", "6", "-o", ogg, wav_}));
    return ogg;
  }
  std::vector<int16_t> OggdecOf(const std::string& ogg) {
    const std::string raw = ogg + ".raw";
    EXPECT_TRUE(RunTool({"oggdec", "-Q", "-R", "-b", "16", "-e", "0", "-s", "1", "-o", raw, ogg}));
    return ReadS16(raw);
  }
  std::string Mp3OfSignal() {
    const std::string mp3 = folder_.Path() + "/signal.mp3";
    EXPECT_TRUE(RunTool({"lame", "--quiet", "-b", "192", wav_, mp3}));
    return mp3;
  }
  // The independent reference: every frame decoded, nothing trimmed.
  std::vector<int16_t> Mpg123Of(const std::string& mp3) {
    const std::string raw = mp3 + ".raw";
    EXPECT_TRUE(RunTool({"mpg123", "-q", "--no-gapless", "-e", "s16", "-O", raw, mp3}));
    return ReadS16(raw);
  }
  static void ExpectHeard(const std::vector<int16_t>& heard, const std::vector<int16_t>& source,
                          int64_t from = 4800) {
    for (uint32_t channel : {0u, 1u}) {
      const Match m = FindSignal(heard, source, kChannels, channel, from, 3 * kRate);
      EXPECT_GT(m.correlation, 0.999) << "channel " << channel;
      ASSERT_GE(m.frame + from, 0);
      // Everything after the start is there, at the level it was written.
      EXPECT_NEAR(EnergyRatioDb(heard, m.frame + from, source, from, kChannels), 0.0, 0.1)
          << "channel " << channel;
    }
  }
  void PlayAndRecord(const std::string& url, std::vector<int16_t>& heard) {
    MonitorRecorder recorder;
    ASSERT_TRUE(recorder.Start(sinkName_, kRate, kChannels));
    ASSERT_EQ(BuildOn(DeviceEndpoint(), url), 0);
    ASSERT_EQ(chain->Play(0.75), 0);
    ASSERT_TRUE(events.WaitFor(kEventStreamEnded, 1, 30000));
    heard = recorder.Stop();
    EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
  }

  TempFolder folder_;
  PrivateNullSink nullSink_{kRate};
  std::string sinkName_;
  std::string wav_;
  std::vector<int16_t> signal_;
};

TEST_P(LocalPlaybackE2eTest, WaveFileIsHeardWhole) {
  std::vector<int16_t> heard;
  PlayAndRecord("file://" + wav_, heard);
  ExpectHeard(heard, signal_);
}

TEST_P(LocalPlaybackE2eTest, OggVorbisFileIsHeardAsOggdecDecodesIt) {
  const std::string ogg = OggOfSignal();
  std::vector<int16_t> heard;
  PlayAndRecord("file://" + ogg, heard);
  ExpectHeard(heard, OggdecOf(ogg));
}

TEST_P(LocalPlaybackE2eTest, Mp3FileIsHeardAsMpg123DecodesIt) {
  if (!HaveTool("lame") || !HaveTool("mpg123")) GTEST_SKIP() << "lame or mpg123 missing";
  const std::string mp3 = Mp3OfSignal();
  std::vector<int16_t> heard;
  PlayAndRecord("file://" + mp3, heard);
  // Past the encoder's leading delay, where the signal starts in both decodes.
  ExpectHeard(heard, Mpg123Of(mp3), 9600);
}

TEST_P(LocalPlaybackE2eTest, PauseSeekAndStopMidFile) {
  MonitorRecorder recorder;
  ASSERT_TRUE(recorder.Start(sinkName_, kRate, kChannels));
  ASSERT_EQ(BuildOn(DeviceEndpoint(), "file://" + wav_), 0);
  ASSERT_EQ(chain->Play(0.75), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  ASSERT_EQ(chain->StateChange(kChainCued), 0);  // pause
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  ASSERT_EQ(chain->Seek(2.0, 0, 1), 0);
  ASSERT_EQ(chain->StateChange(kChainPlaying), 0);
  ASSERT_TRUE(events.WaitFor(kEventStreamEnded, 1, 30000));
  const std::vector<int16_t> heard = recorder.Stop();
  // The start before the pause, and the whole rest from the seek point on (after at most what
  // the sound server still held at the pause).
  for (uint32_t channel : {0u, 1u}) {
    EXPECT_GT(FindSignal(heard, signal_, kChannels, channel, 2400, kRate).correlation, 0.999);
  }
  // The sound server may drop a few milliseconds where a flushed stream starts again, so the
  // rest is looked for from 20 ms past the seek point.
  const std::vector<int16_t> tail(signal_.begin() + 2 * kRate * kChannels, signal_.end());
  const int64_t settle = kRate / 50;
  const Match m = FindSignal(heard, tail, kChannels, 0, settle, 3 * kRate);
  EXPECT_GT(m.correlation, 0.999);
  ASSERT_GT(m.frame + settle, 0);
  EXPECT_NEAR(EnergyRatioDb(heard, m.frame + settle, tail, settle, kChannels), 0.0, 0.1);
  chain->Close();
  chain = nullptr;

  // Stop: the sound ends and nothing more comes. The silence is recorded by a recorder started
  // after the stop, well inside the 0.75 s the device buffers, so a recorder running late under
  // load cannot mistake the sound from before the stop for sound after it.
  events.Clear();
  ASSERT_EQ(BuildOn(DeviceEndpoint(), "file://" + wav_), 0);
  ASSERT_EQ(chain->Play(0.75), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_EQ(chain->StateChange(kChainStopped), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  MonitorRecorder afterStop;
  ASSERT_TRUE(afterStop.Start(sinkName_, kRate, kChannels));
  const std::vector<int16_t> stopped = afterStop.Stop();
  EXPECT_EQ(events.Count(kEventStreamEnded), 0);
  const size_t lastHalf = kRate / 2 * kChannels;
  ASSERT_GT(stopped.size(), lastHalf);
  EXPECT_TRUE(std::all_of(stopped.begin(), stopped.end(), [](int16_t s) { return s == 0; }));
}

// Music comes at many rates and layouts; the sound server resamples to its sink's 48 kHz, so
// each file is heard whole, at its own pitch and level (played at the sink's rate, a 44.1 kHz
// file would sound 9 % high and end early).
TEST_P(LocalPlaybackE2eTest, FilesAtOtherRatesAreHeardAtTheirPitch) {
  constexpr double kHz = 1000;
  constexpr double kSeconds = 2;
  constexpr double kLevel = 0.5;
  struct Case {
    const char* name;
    uint32_t rate;
    uint32_t channels;
    uint32_t bits;
    bool mp3;
  };
  const Case cases[] = {
      {"cd.wav", 44100, 2, 16, false},    {"speech.wav", 22050, 1, 16, false},
      {"cd.mp3", 44100, 2, 16, true},     {"phone.wav", 8000, 1, 8, false},
      {"radio.wav", 32000, 2, 16, false}, {"studio.wav", 96000, 2, 16, false},
      {"odd.wav", 11025, 1, 16, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string wav = folder_.Path() + "/" + c.name + ".wav";
    ASSERT_TRUE(RunTool({"sox", "-q", "-D", "-n", "-r", std::to_string(c.rate), "-c",
                         std::to_string(c.channels), "-b", std::to_string(c.bits), wav, "synth",
                         std::to_string(kSeconds), "sine", std::to_string(kHz), "vol",
                         std::to_string(kLevel)}));
    std::string path = wav;
    if (c.mp3) {
      path = folder_.Path() + "/" + c.name;
      ASSERT_TRUE(RunTool({"lame", "--quiet", "-b", "192", wav, path}));
    }
    events.Clear();
    std::vector<int16_t> heard;
    PlayAndRecord("file://" + path, heard);
    if (HasFatalFailure()) return;
    chain->Close();
    chain = nullptr;
    // Where the tone sounds, in each channel (a mono file is heard on both).
    for (uint32_t channel = 0; channel < kChannels; ++channel) {
      std::vector<double> samples;
      for (size_t i = channel; i < heard.size(); i += kChannels)
        samples.push_back(heard[i] / 32768.0);
      size_t first = samples.size();
      size_t last = 0;
      for (size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) > kLevel / 2) {
          first = std::min(first, i);
          last = i;
        }
      }
      ASSERT_LT(first, last) << "channel " << channel << ": nothing heard";
      EXPECT_NEAR(static_cast<double>(last - first) / kRate, kSeconds, 0.05)
          << "channel " << channel;
      // The middle of the tone, away from where the encoder and resampler settle.
      const std::vector<double> middle(samples.begin() + first + kRate / 4,
                                       samples.begin() + last - kRate / 4);
      EXPECT_NEAR(ZeroCrossingFrequency(middle, kRate), kHz, kHz * 0.002) << "channel " << channel;
      EXPECT_NEAR(
          Goertzel(middle.data(), WholeCycleCount(kHz, kRate, middle.size()), kHz, kRate).amplitude,
          kLevel, 0.03)
          << "channel " << channel;
    }
  }
}

// Every layout the device takes opens at every common rate on both back ends: the sound server,
// and ALSA's plug layer on its default device, convert to what the hardware plays.
TEST_P(LocalPlaybackE2eTest, CommonRatesAndLayoutsOpenOnBothBackEnds) {
  struct Layout {
    uint32_t bits;
    bool isFloat;
    bool isSigned;
    bool waveOutTakes;
  };
  const Layout layouts[] = {{8, false, false, true},
                            {16, false, true, true},
                            {24, false, true, false},
                            {32, false, true, false},
                            {32, true, true, false}};
  const uint32_t rates[] = {8000,  11025, 16000, 22050,  32000, 44100,
                            48000, 88200, 96000, 176400, 192000};
  const bool directSound = GetParam() == DeviceKind::kDirectSound;
  const PcmSinkFactory backEnds[] = {[] { return std::make_unique<PulseSink>(); },
                                     [] { return std::make_unique<AlsaSink>(); }};
  for (const PcmSinkFactory& sinks : backEnds) {
    SCOPED_TRACE(sinks()->BackendName());
    const RefPtr<OutputDeviceBase> device = MakeDevice(sinks);
    // Float is taken once the user allows it.
    if (directSound) {
      ASSERT_EQ(device->SetInteger(u"enablefloatingpoint", 1), 0);
    }
    for (const Layout& layout : layouts) {
      for (uint32_t channels : {1u, 2u}) {
        for (uint32_t rate : rates) {
          const RefPtr<AudioFormat> format =
              MakePcmFormat(rate, channels, layout.bits, layout.isFloat, layout.isSigned);
          const bool expected = directSound || layout.waveOutTakes;
          EXPECT_EQ(device->CanOpen(format.Get()) > 0, expected)
              << rate << " Hz, " << channels << " ch, " << layout.bits
              << (layout.isFloat ? "-bit float" : "-bit");
        }
      }
    }
  }
}

// A sound back end that cannot be reached is the device's failure and is told as such, not as a
// refusal of the song's format, which would send the user looking for a fault in the file.
TEST_P(LocalPlaybackE2eTest, AnUnreachableSoundServerIsNotTakenForARefusedFormat) {
  struct Case {
    const char* what;
    const char* variable;
    const char* value;
    PcmSinkFactory sinks;
  };
  const Case cases[] = {
      {"the sink is gone", "PULSE_SINK", "vk2_gone", [] { return std::make_unique<PulseSink>(); }},
      {"ALSA's default finds no server", "PULSE_SERVER", "unix:/nonexistent/native",
       [] { return std::make_unique<AlsaSink>(); }},
  };
  const RefPtr<AudioFormat> cd = MakePcmFormat(44100, 2, 16);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedEnvironment environment{c.variable};
    SetEnv(c.variable, c.value);
    EXPECT_LT(MakeDevice(c.sinks)->CanOpen(cd.Get()), 0);
    const int32_t r = BuildOn(DeviceEndpoint(c.sinks), "file://" + wav_);
    EXPECT_LT(r, 0);
    EXPECT_NE(r, MediaError(kMsEndpointRefusesFormat));
    chain->Close();
    chain = nullptr;
  }
}

TEST_P(LocalPlaybackE2eTest, PlaysOnAlsasNullDeviceWithoutError) {
  AlsaSink alsa;
  std::vector<SinkDevice> devices;
  if (!alsa.Enumerate(devices)) GTEST_SKIP() << "ALSA lists no devices";
  std::string nullDescription;
  for (const SinkDevice& d : devices) {
    if (d.id == "null") nullDescription = d.description;
  }
  if (nullDescription.empty()) GTEST_SKIP() << "ALSA has no null device";
  const PcmSinkFactory sinks = [] { return std::make_unique<AlsaSink>(); };
  std::vector<std::string> urls = {"file://" + wav_, "file://" + OggOfSignal()};
  if (HaveTool("lame")) urls.push_back("file://" + Mp3OfSignal());
  for (const std::string& url : urls) {
    events.Clear();
    ASSERT_EQ(BuildOn(DeviceEndpoint(sinks, nullDescription), url), 0);
    ASSERT_EQ(chain->Play(0.75), 0);
    ASSERT_TRUE(events.WaitFor(kEventStreamEnded, 1, 30000)) << url;
    EXPECT_EQ(events.Count(kEventUpstreamFailed), 0);
    EXPECT_EQ(events.Count(kEventFormatRefused), 0);
    chain->Close();
    chain = nullptr;
  }
}

INSTANTIATE_TEST_SUITE_P(Devices, LocalPlaybackE2eTest,
                         ::testing::Values(DeviceKind::kDirectSound, DeviceKind::kWaveOut),
                         [](const auto& info) {
                           return info.param == DeviceKind::kDirectSound ? "DirectSound"
                                                                         : "WaveOut";
                         });

}  // namespace
}  // namespace vk2::test
