// What playing costs the whole process, against players people use, into the same PulseAudio
// null sink: a generated 30 s 128 kbit/s MP3 played through a chain the audio system builds
// (file reader, MPEG decoder, generic endpoint on either output device) in this process, and
// by `mpg123 -o pulse` and `ffplay -nodisp` as child processes, one after the other. Reported:
// processor time (user + system) of each, our time as a ratio to theirs, and wake-ups per
// second (voluntary context switches of all threads). Also the first sound after Play for a
// WAVE and an MP3 file: the time until the sink's monitor shows the file's first loud sample,
// less where that sample lies in the decoded file (an MP3 starts with the encoder's delay),
// the median over 20 runs.
//
// Needs the PulseAudio daemon (scripts/start-test-services.sh), lame, mpg123 and ffplay; run
// it from the Release build, as the sanitizers multiply our processor time but not theirs.
#include <benchmark/benchmark.h>
#include <pulse/simple.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "audio/decoders/mpeg/module/mpeg_decoder.h"
#include "audio/decoders/wave/wave_decoder.h"
#include "audio/outputs/common/device_endpoint_factory.h"
#include "audio/outputs/dsound/direct_sound_output.h"
#include "audio/outputs/waveout/wave_out_output.h"
#include "audio/readers/file/file_reader.h"
#include "foundation/util/result.h"
#include "interfaces/audio/chain_types.h"
#include "interfaces/audio/media_chain.h"
#include "interfaces/ids.h"
#include "platform/audio/sink/pulse_sink.h"
#include "platform/audio/sink/wav_file_writer.h"
#include "tests/fixtures/audio/recording_callback.h"
#include "tests/fixtures/audio/test_registry.h"
#include "tests/support/audio_compare.h"
#include "tests/support/private_null_sink.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kRate = 44100;
constexpr uint32_t kChannels = 2;
constexpr uint32_t kPlaySeconds = 30;
constexpr int kFirstSoundRuns = 20;
// A sample this loud is the signal, not the encoder's ramp or dither.
constexpr int kLoud = 1000;

enum Device : int64_t { kDirectSound = 0, kWaveOut = 1 };
enum Format : int64_t { kWave = 0, kMp3 = 1 };

double Seconds(const timeval& t) {
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
}

struct Usage {
  double cpu = 0;      // user + system, seconds
  double wall = 0;     // seconds
  double wakeups = 0;  // voluntary context switches
  bool ok = false;
};

Usage Difference(const rusage& before, const rusage& after, double wall) {
  Usage u;
  u.cpu = Seconds(after.ru_utime) - Seconds(before.ru_utime) + Seconds(after.ru_stime) -
          Seconds(before.ru_stime);
  u.wakeups = static_cast<double>(after.ru_nvcsw - before.ru_nvcsw);
  u.wall = wall;
  u.ok = true;
  return u;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The first frame of interleaved `samples` with a loud sample on any channel.
int64_t FirstLoudFrame(const std::vector<int16_t>& samples) {
  for (size_t i = 0; i < samples.size(); ++i) {
    if (std::abs(samples[i]) >= kLoud) return static_cast<int64_t>(i / kChannels);
  }
  return -1;
}

// The files, the sink and what the files start with; made once for all benchmarks.
struct Setup {
  test::TempFolder folder;
  std::unique_ptr<test::PrivateNullSink> sink;
  std::string wav;
  std::string mp3;
  std::string error;
  std::map<Format, int64_t> leadingFrames;

  Setup() {
    if (!PulseServerAnswers(2000)) {
      error = "no PulseAudio server (scripts/start-test-services.sh)";
      return;
    }
    for (const char* tool : {"lame", "mpg123", "ffplay"}) {
      if (!test::HaveTool(tool)) error = std::string(tool) + " missing";
    }
    if (!error.empty()) return;
    sink = std::make_unique<test::PrivateNullSink>(kRate);
    if (!sink->Loaded()) {
      error = sink->Error();
      return;
    }
    // ffplay reaches the sound server through SDL, which goes to the same default sink.
    setenv("SDL_AUDIODRIVER", "pulseaudio", 0);
    const std::vector<int16_t> signal =
        test::MakeSignal(kPlaySeconds * kRate, kChannels, kRate, 0.5);
    wav = folder.Path() + "/signal.wav";
    mp3 = folder.Path() + "/signal.mp3";
    WavFileWriter writer;
    if (!writer.Start(wav, {kRate, kChannels, 16, false}) ||
        !writer.Append(signal.data(), signal.size() * 2) || !writer.Finish() ||
        !test::RunTool({"lame", "--quiet", "--cbr", "-b", "128", wav, mp3})) {
      error = "cannot make the test files";
      return;
    }
    // Our decoder gives every frame, as mpg123 does without gapless trimming.
    const std::string raw = mp3 + ".raw";
    if (!test::RunTool({"mpg123", "-q", "--no-gapless", "-e", "s16", "-O", raw, mp3})) {
      error = "mpg123 cannot decode the test file";
      return;
    }
    leadingFrames[kWave] = FirstLoudFrame(signal);
    leadingFrames[kMp3] = FirstLoudFrame(test::ReadS16(raw));
  }
  std::string File(Format f) const { return f == kWave ? wav : mp3; }
};

Setup& Shared() {
  static Setup setup;
  return setup;
}

// Chains over the file reader and the WAVE and MPEG decoders, ending in a device of the
// output libraries that plays into the default (the null) sink.
class Player {
 public:
  Player() {
    uint32_t n = 0;
    auto add = [&](const Guid& category, test::ClassMaker maker) {
      Guid id{};
      id.data1 = 0x7E5B0000u + ++n;
      registry_.AddClass(id, std::move(maker));
      registry_.AddToCategory(category, id);
    };
    add(kCategoryStreamReaders, [](const Guid& iid, void** out) {
      if (!(iid == kIID_MStreamReader)) return kErrNoInterface;
      auto* reader = new FileReader();
      reader->AddRef();
      *out = static_cast<MStreamReader*>(reader);
      return kOk;
    });
    add(kCategoryDecoders, &Module<WaveDecoder>);
    add(kCategoryDecoders, &Module<MpegDecoder>);
  }

  // Opens `path` on `device`; false on failure.
  bool Open(const std::string& path, Device device) {
    DeviceLibrary library;
    library.ownInterface = kIID_MAudioModule;
    library.makeDevice = [device]() -> MOutputDevice* {
      OutputDeviceBase* d = nullptr;
      if (device == kDirectSound) {
        d = new DirectSoundOutput();
      } else {
        d = new WaveOutOutput();
      }
      d->AddRef();
      return d;
    };
    void* p = nullptr;
    if (CreateDeviceEndpoint(library, kIID_MAudioModule, &p) != 0) return false;
    endpoint_ =
        RefPtr<AudioEndpoint>::Adopt(static_cast<AudioEndpoint*>(static_cast<MAudioModule*>(p)));
    chain_ = RefPtr<MMediaChain>::Adopt(registry_.System()->CreateChain());
    events_.Clear();
    return chain_->SetEndpoint(endpoint_.Get()) == 0 &&
           chain_->Open(Utf16("file://" + path).c_str(), 100000) == 0 &&
           chain_->RegisterCallback(&events_, 1) == 0;
  }
  bool Play() { return chain_->Play(0.75) == 0; }
  bool WaitForEnd(uint32_t ms) { return events_.WaitFor(kEventStreamEnded, 1, ms); }
  void Close() {
    if (chain_) chain_->Close();
    chain_ = nullptr;
    endpoint_ = nullptr;
  }
  ~Player() { Close(); }

 private:
  template <class T>
  static int32_t Module(const Guid& iid, void** out) {
    if (!(iid == kIID_MAudioModule)) return kErrNoInterface;
    auto* object = new T();
    object->AddRef();
    *out = static_cast<MAudioModule*>(object);
    return kOk;
  }

  // First: it outlives the chain, whose event thread may still hold it.
  test::RecordingCallback events_;
  test::TestRegistry registry_;
  RefPtr<MMediaChain> chain_;
  RefPtr<AudioEndpoint> endpoint_;
};

Usage PlayOurs(Device device) {
  const Setup& s = Shared();
  rusage before{}, after{};
  const Clock::time_point start = Clock::now();
  getrusage(RUSAGE_SELF, &before);
  bool ok = false;
  {
    Player player;
    ok = player.Open(s.mp3, device) && player.Play() &&
         player.WaitForEnd((kPlaySeconds + 30) * 1000);
  }
  getrusage(RUSAGE_SELF, &after);
  Usage u = Difference(before, after, std::chrono::duration<double>(Clock::now() - start).count());
  u.ok = ok;
  return u;
}

Usage PlayChild(const std::vector<std::string>& args) {
  rusage none{}, used{};
  const Clock::time_point start = Clock::now();
  const int status = test::Run(args, {}, &used);
  Usage u = Difference(none, used, std::chrono::duration<double>(Clock::now() - start).count());
  // A player that could not reach the sink ends at once: its figure would mean nothing.
  u.ok = status == 0 && u.wall > kPlaySeconds * 0.9;
  return u;
}

// The reference players, measured once per run (both devices compare against the same figures).
const Usage& Mpg123() {
  static const Usage u = PlayChild({"mpg123", "-q", "-o", "pulse", Shared().mp3});
  return u;
}
const Usage& Ffplay() {
  static const Usage u =
      PlayChild({"ffplay", "-nodisp", "-autoexit", "-loglevel", "quiet", "-i", Shared().mp3});
  return u;
}

void BM_PlaybackCpu(benchmark::State& state) {
  if (!Shared().error.empty()) {
    state.SkipWithError(Shared().error.c_str());
    return;
  }
  const auto device = static_cast<Device>(state.range(0));
  Usage ours;
  for (auto _ : state) {
    ours = PlayOurs(device);
    state.SetIterationTime(ours.wall);
  }
  if (!ours.ok) {
    state.SkipWithError("our chain did not play the file to its end");
    return;
  }
  const Usage& mpg123 = Mpg123();
  const Usage& ffplay = Ffplay();
  if (!mpg123.ok || !ffplay.ok) {
    state.SkipWithError("mpg123 or ffplay did not play into the sink");
    return;
  }
  state.counters["ours_cpu_s"] = ours.cpu;
  state.counters["mpg123_cpu_s"] = mpg123.cpu;
  state.counters["ffplay_cpu_s"] = ffplay.cpu;
  state.counters["ratio_mpg123"] = ours.cpu / mpg123.cpu;
  state.counters["ratio_ffplay"] = ours.cpu / ffplay.cpu;
  state.counters["ours_wakeups_per_s"] = ours.wakeups / ours.wall;
  state.counters["mpg123_wakeups_per_s"] = mpg123.wakeups / mpg123.wall;
  state.counters["ffplay_wakeups_per_s"] = ffplay.wakeups / ffplay.wall;
}
BENCHMARK(BM_PlaybackCpu)
    ->ArgName("device")
    ->Arg(kDirectSound)
    ->Arg(kWaveOut)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1);

// Reads the sink's monitor in small blocks and notes when the first loud sample arrives after
// it was armed.
class MonitorWatch {
 public:
  explicit MonitorWatch(const std::string& sinkName) {
    const pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, kChannels};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = kBlockFrames * kChannels * 2;
    int error = 0;
    stream_ = pa_simple_new(nullptr, "vk2 bench monitor", PA_STREAM_RECORD,
                            (sinkName + ".monitor").c_str(), "first sound", &spec, nullptr, &attr,
                            &error);
    if (stream_) thread_ = std::thread([this] { Run(); });
  }
  ~MonitorWatch() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (stream_) pa_simple_free(stream_);
  }
  bool Ok() const { return stream_ != nullptr; }

  void Arm() {
    heardAt_ = Clock::time_point{};
    armed_ = true;
  }
  // When the first loud sample was heard after Arm; nullopt when none came in `limit`.
  std::optional<Clock::time_point> WaitHeard(std::chrono::milliseconds limit) {
    const Clock::time_point end = Clock::now() + limit;
    while (armed_ && Clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (armed_) {
      armed_ = false;
      return std::nullopt;
    }
    return heardAt_.load();
  }

 private:
  static constexpr uint32_t kBlockFrames = 64;

  void Run() {
    std::vector<int16_t> block(kBlockFrames * kChannels);
    while (!stop_) {
      int error = 0;
      if (pa_simple_read(stream_, block.data(), block.size() * 2, &error) < 0) return;
      const Clock::time_point now = Clock::now();
      if (!armed_) continue;
      const int64_t frame = FirstLoudFrame(block);
      if (frame < 0) continue;
      // The block arrived when its last frame was captured; the loud one came before it.
      heardAt_ = now - std::chrono::microseconds((kBlockFrames - frame) * 1000000 / kRate);
      armed_ = false;
    }
  }

  pa_simple* stream_ = nullptr;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> armed_{false};
  std::atomic<Clock::time_point> heardAt_{};
};

void BM_FirstSound(benchmark::State& state) {
  Setup& s = Shared();
  if (!s.error.empty()) {
    state.SkipWithError(s.error.c_str());
    return;
  }
  const auto format = static_cast<Format>(state.range(0));
  const auto device = static_cast<Device>(state.range(1));
  MonitorWatch watch(s.sink->Name());
  if (!watch.Ok()) {
    state.SkipWithError("cannot record the sink's monitor");
    return;
  }
  const double leading = static_cast<double>(s.leadingFrames[format]) / kRate;
  std::vector<double> millis;
  std::vector<double> playCalls;  // how long Play itself took (the prebuffering)
  for (auto _ : state) {
    millis.clear();
    playCalls.clear();
    for (int run = 0; run < kFirstSoundRuns; ++run) {
      Player player;
      if (!player.Open(s.File(format), device)) break;
      watch.Arm();
      const Clock::time_point play = Clock::now();
      if (!player.Play()) break;
      playCalls.push_back(std::chrono::duration<double, std::milli>(Clock::now() - play).count());
      const std::optional<Clock::time_point> heard = watch.WaitHeard(std::chrono::seconds(3));
      if (!heard) break;
      millis.push_back(std::chrono::duration<double, std::milli>(*heard - play).count() -
                       leading * 1000.0);
      player.Close();
      // The sink plays out what it held before the next run listens.
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    state.SetIterationTime(1.0);
  }
  if (millis.size() != kFirstSoundRuns) {
    state.SkipWithError("a run was not heard");
    return;
  }
  state.counters["median_ms"] = Median(millis);
  state.counters["min_ms"] = *std::min_element(millis.begin(), millis.end());
  state.counters["max_ms"] = *std::max_element(millis.begin(), millis.end());
  state.counters["play_call_median_ms"] = Median(playCalls);
  state.counters["play_call_max_ms"] = *std::max_element(playCalls.begin(), playCalls.end());
}
BENCHMARK(BM_FirstSound)
    ->ArgNames({"format", "device"})
    ->ArgsProduct({{kWave, kMp3}, {kDirectSound, kWaveOut}})
    ->UseManualTime()
    ->Iterations(1);

}  // namespace
}  // namespace vk2
