// The media core as the user interface drives it (runtime, class ids, a player "default" and a
// playlist "default"), timed at the sound server: from Play to the first sample heard in a
// PulseAudio null sink of the benchmark's own, and from Next to the player's SongStarted. The
// reference is paplay playing the same WAVE file into the same sink, from its start to its
// first sample. Both are timed as the monitor of the sink delivers the sample, so the monitor's
// delay counts in both. Each figure is the median of 20 runs. "peak_rss_mb" is the process's peak
// resident memory after the runs, every module loaded and playing.
//
// Needs the modules built beside the runtime (build/lib/velkora2) and a PulseAudio server.
#include <benchmark/benchmark.h>
#include <pulse/error.h>
#include <pulse/simple.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "component/module/runtime_loader.h"
#include "interfaces/core/core.h"
#include "interfaces/core/playlist_loader.h"
#include "interfaces/ids.h"
#include "platform/environment.h"
#include "tests/core/e2e/pulse_server_pin.h"
#include "tests/support/private_null_sink.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2 {
namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kRate = 48000;
constexpr uint32_t kChannels = 2;
constexpr int kRuns = 20;

// Reads a sink's monitor in 5 ms pieces and tells when the first loud sample was mixed.
class FirstSound {
 public:
  explicit FirstSound(const std::string& sink) {
    const pa_sample_spec spec{PA_SAMPLE_S16LE, kRate, kChannels};
    pa_buffer_attr attr{};
    attr.maxlength = static_cast<uint32_t>(-1);
    attr.fragsize = kRate / 200 * kChannels * 2;
    int error = 0;
    stream_ = pa_simple_new(nullptr, "core latency bench", PA_STREAM_RECORD,
                            (sink + ".monitor").c_str(), "monitor", &spec, nullptr, &attr, &error);
    if (stream_) reader_ = std::thread([this] { Read(); });
  }
  ~FirstSound() {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    if (stream_) pa_simple_free(stream_);
  }
  bool ok() const { return stream_ != nullptr; }
  // Forget what was heard so far (after the monitor went quiet).
  void Arm() {
    std::lock_guard lock(mutex_);
    heard_ = false;
    armed_ = true;
  }
  bool WaitQuiet() {
    return WaitFor([&] { return quietPieces_ >= 20; });
  }
  // When the first loud sample after Arm was mixed, or nothing after 5 s.
  bool WaitHeard(Clock::time_point* when) {
    if (!WaitFor([&] { return heard_; })) return false;
    std::lock_guard lock(mutex_);
    *when = when_;
    return true;
  }

 private:
  template <class P>
  bool WaitFor(P predicate) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::seconds(5), predicate);
  }
  void Read() {
    std::vector<int16_t> piece(kRate / 200 * kChannels);
    while (!stop_) {
      int error = 0;
      if (pa_simple_read(stream_, piece.data(), piece.size() * 2, &error) < 0) return;
      const Clock::time_point now = Clock::now();
      size_t loud = piece.size();
      for (size_t i = 0; i < piece.size(); ++i) {
        if (std::abs(piece[i]) > 500) {
          loud = i;
          break;
        }
      }
      std::lock_guard lock(mutex_);
      if (loud == piece.size()) {
        ++quietPieces_;
      } else {
        quietPieces_ = 0;
        if (armed_ && !heard_) {
          // The sample came before what follows it in this piece. The monitor's own delay is
          // left in: it is the same for both players measured.
          const double after = static_cast<double>(piece.size() - loud) / kChannels / kRate;
          when_ = now - std::chrono::microseconds(static_cast<int64_t>(after * 1e6));
          heard_ = true;
          armed_ = false;
        }
      }
      changed_.notify_all();
    }
  }

  pa_simple* stream_ = nullptr;
  std::thread reader_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  int quietPieces_ = 0;
  bool armed_ = false;
  bool heard_ = false;
  Clock::time_point when_;
};

class SongStarts final : public MCoreListener {
 public:
  void OnCoreEvent(int32_t code, const TString&, MPlayer*) override {
    if (code != kPlayerSongStarted) return;
    std::lock_guard lock(mutex_);
    ++count_;
    last_ = Clock::now();
    changed_.notify_all();
  }
  int Count() {
    std::lock_guard lock(mutex_);
    return count_;
  }
  bool WaitBeyond(int count, Clock::time_point* when) {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, std::chrono::seconds(5), [&] { return count_ > count; })) {
      return false;
    }
    *when = last_;
    return true;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int count_ = 0;
  Clock::time_point last_;
};

// The world every case shares: private folders, the sink, the files and the media core.
struct World {
  World() {
    test::PinPulseServer();
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
      SetEnv(name, home.Path());
    for (int i = 0; i < 2; ++i) {
      const std::string path = media.File("tone" + std::to_string(i) + ".wav");
      test::RunTool({"sox", "-n", "-r", "48000", "-c", "2", "-b", "16", path, "synth", "20", "sine",
                     "440", "vol", "0.5"});
    }
    if (!sink.Loaded() || !LoadRuntime()) return;
    core = CreateRuntimeObject<MCore>(kMediaCoreClass, kIID_MCore);
    if (!core) return;
    core->AddRemoveListener(&starts, 1);
    core->GetPlayerManager()->AddRemove(u"default", 1);
    core->GetPlaylistManager()->AddRemove(u"default", 1);
    core->GetPlayerManager()->Find(u"default", &player);
    core->GetPlaylistManager()->Find(u"default", &playlist);
    auto loader = CreateRuntimeObject<MGenericLoader>(kMediaCoreClass, kIID_GenericLoader);
    if (!player || !playlist || !loader) return;
    loader->AddToPlaylist(playlist.Get(), Utf16(media.Path()), nullptr);
    player->SetPlaylist(playlist.Get());
  }
  ~World() {
    if (core) {
      core->AddRemoveListener(&starts, 0);
      player = nullptr;
      playlist = nullptr;
      core->RemoveAllObjects();
      core = nullptr;
    }
    UnloadRuntime();
  }
  bool ok() const { return player && playlist; }

  test::TempFolder home, media;
  test::PrivateNullSink sink{kRate};
  SongStarts starts;
  RefPtr<MCore> core;
  RefPtr<MPlayer> player;
  RefPtr<MPlaylist> playlist;
};

World* g_world = nullptr;

World& TheWorld() {
  if (!g_world) g_world = new World;
  return *g_world;
}

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

void PlayToFirstSound(benchmark::State& state) {
  World& w = TheWorld();
  FirstSound monitor(w.sink.Name());
  if (!w.ok() || !monitor.ok()) return state.SkipWithError("no media core or no sound server");
  for (auto _ : state) {
    w.player->Stop(0);
    if (!monitor.WaitQuiet()) return state.SkipWithError("the sink does not go quiet");
    monitor.Arm();
    const Clock::time_point start = Clock::now();
    w.player->Play(1);
    Clock::time_point heard;
    if (!monitor.WaitHeard(&heard)) return state.SkipWithError("nothing heard");
    state.SetIterationTime(Seconds(heard - start));
  }
  w.player->Stop(0);
}

void PaplayToFirstSound(benchmark::State& state) {
  World& w = TheWorld();
  FirstSound monitor(w.sink.Name());
  if (!monitor.ok()) return state.SkipWithError("no sound server");
  const std::string file = w.media.File("tone0.wav");
  for (auto _ : state) {
    if (!monitor.WaitQuiet()) return state.SkipWithError("the sink does not go quiet");
    monitor.Arm();
    const Clock::time_point start = Clock::now();
    const pid_t pid = test::Spawn({"paplay", "--device=" + w.sink.Name(), file});
    Clock::time_point heard;
    const bool ok = monitor.WaitHeard(&heard);
    test::StopSpawned(pid);
    if (!ok) return state.SkipWithError("nothing heard");
    state.SetIterationTime(Seconds(heard - start));
  }
}

void NextToSongStarted(benchmark::State& state) {
  World& w = TheWorld();
  if (!w.ok()) return state.SkipWithError("no media core");
  for (auto _ : state) {
    int before = w.starts.Count();
    Clock::time_point started;
    w.player->SeekToIndex(0, 0.0, 1, 1, 0);
    if (!w.starts.WaitBeyond(before, &started)) return state.SkipWithError("no first song");
    before = w.starts.Count();
    const Clock::time_point start = Clock::now();
    w.player->Next(1);
    if (!w.starts.WaitBeyond(before, &started)) return state.SkipWithError("no next song");
    state.SetIterationTime(Seconds(started - start));
  }
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) {
      state.counters["peak_rss_mb"] = std::stod(line.substr(6)) / 1024.0;
    }
  }
  w.player->Stop(0);
}

BENCHMARK(PlayToFirstSound)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(kRuns)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(PaplayToFirstSound)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(kRuns)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(NextToSongStarted)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(kRuns)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vk2

// The media core is let go, its players stopped and the runtime unloaded, before the process
// ends: its threads must not outlive the modules.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  delete vk2::g_world;
  benchmark::Shutdown();
  return 0;
}
