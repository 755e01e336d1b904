#include "tests/core/e2e/tone_runs.h"

#include <cmath>
#include <cstdlib>

namespace vk2::test {
namespace {

constexpr double kWindowSeconds = 0.05;
constexpr double kMinimumRunSeconds = 0.1;
constexpr double kLongestDropoutSeconds = 0.3;
constexpr int kSilence = 500;  // peak below this: nothing heard

}  // namespace

std::vector<ToneRun> FindToneRuns(const std::vector<int16_t>& samples, uint32_t rate,
                                  uint32_t channels, const std::vector<double>& tones) {
  const size_t window = static_cast<size_t>(rate * kWindowSeconds);
  const size_t frames = samples.size() / channels;
  std::vector<ToneRun> runs;
  long current = -1;
  double start = 0;
  auto close = [&](double end) {
    if (current >= 0 && end - start >= kMinimumRunSeconds) {
      runs.push_back({static_cast<size_t>(current), start, end - start});
    }
    current = -1;
  };
  for (size_t at = 0; at + window <= frames; at += window) {
    int peak = 0;
    int crossings = 0;
    for (size_t i = at; i < at + window; ++i) {
      const int v = samples[i * channels];
      peak = std::max(peak, std::abs(v));
      if (i > at && (samples[(i - 1) * channels] < 0) != (v < 0)) ++crossings;
    }
    long tone = -1;
    if (peak >= kSilence) {
      const double hz = crossings / 2.0 / kWindowSeconds;
      for (size_t t = 0; t < tones.size(); ++t) {
        if (std::fabs(hz - tones[t]) <= tones[t] * 0.05) tone = static_cast<long>(t);
      }
    }
    const double time = static_cast<double>(at) / rate;
    if (tone != current) {
      close(time);
      if (tone >= 0) current = tone, start = time;
    }
  }
  close(static_cast<double>(frames) / rate);
  // A short dropout (the sound server starved on a loaded machine) does not split a run.
  std::vector<ToneRun> joined;
  for (const ToneRun& run : runs) {
    if (!joined.empty() && joined.back().tone == run.tone &&
        run.start - (joined.back().start + joined.back().seconds) <= kLongestDropoutSeconds) {
      joined.back().seconds = run.start + run.seconds - joined.back().start;
    } else {
      joined.push_back(run);
    }
  }
  return joined;
}

double SecondsOf(const std::vector<ToneRun>& runs) {
  double seconds = 0;
  for (const ToneRun& run : runs)
    seconds += run.seconds;
  return seconds;
}

std::string DescribeRuns(const std::vector<ToneRun>& runs) {
  std::string text;
  for (const ToneRun& run : runs) {
    text += "tone " + std::to_string(run.tone) + " at " + std::to_string(run.start) + " s for " +
            std::to_string(run.seconds) + " s; ";
  }
  return text;
}

}  // namespace vk2::test
