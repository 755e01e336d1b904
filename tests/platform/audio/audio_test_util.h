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
// Starts a program in the background (stdout to `stdoutPath` when given); -1 on failure.
pid_t Spawn(const std::vector<std::string>& args, const std::string& stdoutPath = {});
// Ends a program from Spawn (SIGINT, then SIGKILL after a grace period) and reaps it.
void StopSpawned(pid_t pid);

std::vector<uint8_t> ReadFile(const std::string& path);
// Size of a file, -1 when it does not exist.
int64_t FileSize(const std::string& path);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

// 16-bit little-endian samples from bytes, and back.
std::vector<int16_t> ToS16(const std::vector<uint8_t>& bytes);
std::vector<uint8_t> FromS16(const std::vector<int16_t>& samples);

// A reproducible test signal: a sine sweep with a little noise, interleaved `channels` wide,
// each channel a different phase so that swapped channels show.
std::vector<int16_t> MakeSignal(uint32_t frames, uint32_t channels, uint32_t rate, double level);

// Where `needle` lies in `hay` (both interleaved alike), judged on one channel: the frame of
// `hay` where the needle's frame 0 falls, with the greatest normalised correlation of a 4096-frame
// window from the needle's frame `from`, searched near the first frame of `hay` that is not
// silent. Looking past the start keeps a sound server's start-up trim from spoiling the match.
struct Match {
  int64_t frame = -1;
  double correlation = 0;
};
Match FindSignal(const std::vector<int16_t>& hay, const std::vector<int16_t>& needle,
                 uint32_t channels, uint32_t channel, int64_t from, int64_t searchFrames);
// Energy ratio in decibels of `hay` from frame `hayFrom` to its end against `needle` from frame
// `needleFrom` to its end. A gap a busy machine put into playback moves the rest later but
// loses nothing, so this holds where a frame-by-frame comparison would not.
double EnergyRatioDb(const std::vector<int16_t>& hay, int64_t hayFrom,
                     const std::vector<int16_t>& needle, int64_t needleFrom, uint32_t channels);

}  // namespace vk2::test
