// Records the monitor of a PulseAudio sink with parec while a test plays into the sink.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {

class MonitorRecorder {
 public:
  // Starts recording `sink`'s monitor as 16-bit PCM; waits until data flows.
  bool Start(const std::string& sink, uint32_t rate, uint32_t channels);
  // Records a little longer so the tail arrives, stops and returns the samples.
  std::vector<int16_t> Stop();
  ~MonitorRecorder() { StopSpawned(pid_); }

 private:
  TempFolder dir_;
  std::string path_;
  pid_t pid_ = -1;
  uint32_t rate_ = 0;
  uint32_t channels_ = 0;
};

}  // namespace vk2::test
