#include "audio_test_util.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <thread>

extern char** environ;

namespace vk2::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vk2audioXXXXXX").string();
  std::vector<char> buf(pattern.begin(), pattern.end());
  buf.push_back('\0');
  if (mkdtemp(buf.data())) path_ = buf.data();
}

TempDir::~TempDir() {
  std::error_code ec;
  if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

bool HaveTool(const std::string& tool) {
  const char* path = std::getenv("PATH");
  std::string rest = path ? path : "/usr/bin:/bin";
  while (!rest.empty()) {
    const size_t cut = rest.find(':');
    const std::string dir = rest.substr(0, cut);
    if (!dir.empty() && access((dir + "/" + tool).c_str(), X_OK) == 0) return true;
    rest = cut == std::string::npos ? std::string() : rest.substr(cut + 1);
  }
  return false;
}

namespace {
pid_t Start(const std::vector<std::string>& args, const std::string& stdoutPath) {
  std::vector<char*> argv;
  for (const std::string& a : args)
    argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1,
                                   stdoutPath.empty() ? "/dev/null" : stdoutPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}
}  // namespace

int Run(const std::vector<std::string>& args, const std::string& stdoutPath) {
  const pid_t pid = Start(args, stdoutPath);
  if (pid < 0) return -1;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t Spawn(const std::vector<std::string>& args, const std::string& stdoutPath) {
  return Start(args, stdoutPath);
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 ? static_cast<int64_t>(st.st_size) : -1;
}

void StopSpawned(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGINT);
  for (int i = 0; i < 200; ++i) {
    int status;
    if (waitpid(pid, &status, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid, SIGKILL);
  int status;
  waitpid(pid, &status, 0);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::vector<uint8_t> out;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return out;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
    out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  // An empty vector's data() may be null, which fwrite must not get even for zero bytes.
  const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

std::vector<int16_t> ToS16(const std::vector<uint8_t>& bytes) {
  std::vector<int16_t> out(bytes.size() / 2);
  if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * 2);
  return out;
}

std::vector<uint8_t> FromS16(const std::vector<int16_t>& samples) {
  std::vector<uint8_t> out(samples.size() * 2);
  if (!out.empty()) std::memcpy(out.data(), samples.data(), out.size());
  return out;
}

std::vector<int16_t> MakeSignal(uint32_t frames, uint32_t channels, uint32_t rate, double level) {
  std::vector<int16_t> out(size_t{frames} * channels);
  std::mt19937 noise(12345);
  std::uniform_real_distribution<double> dist(-0.05, 0.05);
  double phase = 0;
  for (uint32_t i = 0; i < frames; ++i) {
    const double t = static_cast<double>(i) / frames;
    phase += 2 * M_PI * (200.0 + 3000.0 * t) / rate;
    for (uint32_t c = 0; c < channels; ++c) {
      const double v = std::sin(phase + c * 1.3) * 0.9 + dist(noise);
      out[size_t{i} * channels + c] = static_cast<int16_t>(std::lround(v * level * 32767.0));
    }
  }
  return out;
}

Match FindSignal(const std::vector<int16_t>& hay, const std::vector<int16_t>& needle,
                 uint32_t channels, uint32_t channel, int64_t from, int64_t searchFrames) {
  Match best;
  const int64_t hayFrames = static_cast<int64_t>(hay.size() / channels);
  const int64_t window =
      std::min<int64_t>(static_cast<int64_t>(needle.size() / channels) - from, 4096);
  if (window <= 0) return best;
  int64_t first = 0;
  while (first < hayFrames && hay[first * channels + channel] == 0)
    ++first;
  double needleEnergy = 0;
  for (int64_t i = 0; i < window; ++i) {
    const double v = needle[(from + i) * channels + channel];
    needleEnergy += v * v;
  }
  const int64_t lo = std::max<int64_t>(0, first + from - searchFrames);
  const int64_t hi = std::min(hayFrames - window, first + from + searchFrames);
  for (int64_t at = lo; at <= hi; ++at) {
    double dot = 0, energy = 0;
    for (int64_t i = 0; i < window; ++i) {
      const double h = hay[(at + i) * channels + channel];
      dot += h * needle[(from + i) * channels + channel];
      energy += h * h;
    }
    const double corr = energy > 0 ? dot / std::sqrt(energy * needleEnergy) : 0;
    if (corr > best.correlation) best = {at - from, corr};
  }
  return best;
}

double EnergyRatioDb(const std::vector<int16_t>& hay, int64_t hayFrom,
                     const std::vector<int16_t>& needle, int64_t needleFrom, uint32_t channels) {
  auto energy = [&](const std::vector<int16_t>& v, int64_t from) {
    double e = 0;
    for (size_t i = static_cast<size_t>(std::max<int64_t>(from, 0)) * channels; i < v.size(); ++i) {
      e += static_cast<double>(v[i]) * v[i];
    }
    return e;
  };
  return 10 * std::log10(energy(hay, hayFrom) / energy(needle, needleFrom));
}

}  // namespace vk2::test
