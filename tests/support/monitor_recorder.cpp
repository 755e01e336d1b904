#include "tests/support/monitor_recorder.h"

#include <chrono>
#include <thread>

#include "tests/support/audio_compare.h"
#include "tests/support/files.h"

namespace vk2::test {

namespace {
// Waits for a file to reach `bytes`, at most `seconds`.
bool WaitForSize(const std::string& path, int64_t bytes, int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (FileSize(path) < bytes) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}
}  // namespace

bool MonitorRecorder::Start(const std::string& sink, uint32_t rate, uint32_t channels) {
  rate_ = rate;
  channels_ = channels;
  path_ = dir_.File("monitor.raw");
  pid_ = Spawn(
      {"parec", "--device=" + sink + ".monitor", "--format=s16le", "--rate=" + std::to_string(rate),
       "--channels=" + std::to_string(channels), "--latency-msec=10", "--raw"},
      path_);
  // A null sink's monitor runs all the time, so silence arrives before anything is played.
  return pid_ > 0 && WaitForSize(path_, int64_t{rate} * channels * 2 / 10, 10);
}

std::vector<int16_t> MonitorRecorder::Stop() {
  // Half a second more than what is there now, so the end of the sound is in the file.
  WaitForSize(path_, FileSize(path_) + int64_t{rate_} * channels_, 10);
  StopSpawned(pid_);
  pid_ = -1;
  return ToS16(ReadFile(path_));
}

}  // namespace vk2::test
