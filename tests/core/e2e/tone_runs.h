// Which of a few tones a recording holds when: the recording cut into 50 ms windows, each
// window's pitch taken from its zero crossings, runs of one tone joined.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vk2::test {

struct ToneRun {
  size_t tone;     // index into the tones asked for
  double start;    // seconds into the recording
  double seconds;  // length
};

// Runs of at least 100 ms; windows that are silent or match no tone (within 5 %) end a run,
// unless the same tone comes back within 300 ms.
std::vector<ToneRun> FindToneRuns(const std::vector<int16_t>& samples, uint32_t rate,
                                  uint32_t channels, const std::vector<double>& tones);

// The seconds all `runs` last together.
double SecondsOf(const std::vector<ToneRun>& runs);

std::string DescribeRuns(const std::vector<ToneRun>& runs);

}  // namespace vk2::test
