#include "tests/support/audio_compare.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "tests/support/files.h"

namespace vk2::test {

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

std::vector<int16_t> ReadS16(const std::string& path) {
  return ToS16(ReadFile(path));
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
