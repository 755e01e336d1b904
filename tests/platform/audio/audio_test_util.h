// Helpers shared by the sound and media tests: a temporary folder, running the reference tools
// (sox, ffmpeg, parec), reading files and simple signal measures.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vk2::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// True when `tool` is found on PATH.
bool HaveTool(const std::string& tool);
// Runs a program (no shell) and answers its exit status; stdout and stderr go to /dev/null
// unless `stdoutPath` names a file for stdout.
int Run(const std::vector<std::string>& args, const std::string& stdoutPath = {});
// Starts a program in the background; -1 on failure.
pid_t Spawn(const std::vector<std::string>& args);
// Ends a program from Spawn (SIGINT, then SIGKILL after a grace period) and reaps it.
void StopSpawned(pid_t pid);

std::vector<uint8_t> ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// 16-bit little-endian samples from bytes, and back.
std::vector<int16_t> ToS16(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> FromS16(const std::vector<int16_t>& samples);

// A reproducible test signal: a sine sweep with a little noise, interleaved `channels` wide,
// each channel a different phase so that swapped channels show.
std::vector<int16_t> MakeSignal(uint32_t frames, uint32_t channels, uint32_t rate, double level);

// Where `needle` (one channel taken from the interleaved signal) lies in `hay` (same channel
// layout): the frame offset with the greatest normalised correlation, searched from the first
// frame that is not silent, and that correlation.
struct Match {
  int64_t frame = -1;
  double correlation = 0;
};
Match FindSignal(const std::vector<int16_t>& hay, const std::vector<int16_t>& needle,
                 uint32_t channels, uint32_t channel, int64_t searchFrames);
// RMS level ratio in decibels of `hay` at `offset` against `needle` over `frames` frames.
double LevelDifferenceDb(const std::vector<int16_t>& hay, const std::vector<int16_t>& needle,
                         uint32_t channels, int64_t offset, int64_t frames);

}  // namespace vk2::test
