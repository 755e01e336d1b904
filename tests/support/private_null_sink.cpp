#include "tests/support/private_null_sink.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/tools.h"

namespace vk2::test {

namespace {
// libpulse sends a stream opened without a device name to the sink this names.
constexpr const char* kDefaultSinkVariable = "PULSE_SINK";
}  // namespace

PrivateNullSink::PrivateNullSink(uint32_t rate) {
  static std::atomic<int> made{0};
  name_ = "vk2_test_" + std::to_string(getpid()) + "_" + std::to_string(made++);
  TempFolder folder;
  const std::string out = folder.File("module");
  const int status =
      Run({"pactl", "load-module", "module-null-sink", "sink_name=" + name_,
           "rate=" + std::to_string(rate), "sink_properties=device.description=" + name_},
          out);
  const std::vector<uint8_t> reply = ReadFile(out);
  const std::string text(reply.begin(), reply.end());
  char* end = nullptr;
  const long index = std::strtol(text.c_str(), &end, 10);
  if (status != 0 || end == text.c_str()) {
    error_ = "pactl load-module module-null-sink failed (status " + std::to_string(status) +
             "): is the PulseAudio daemon running (scripts/start-test-services.sh)?";
    return;
  }
  module_ = index;
  if (const char* previous = std::getenv(kDefaultSinkVariable)) previousDefault_ = previous;
  setenv(kDefaultSinkVariable, name_.c_str(), 1);
}

PrivateNullSink::~PrivateNullSink() {
  if (module_ < 0) return;
  if (previousDefault_) {
    setenv(kDefaultSinkVariable, previousDefault_->c_str(), 1);
  } else {
    unsetenv(kDefaultSinkVariable);
  }
  Run({"pactl", "unload-module", std::to_string(module_)});
}

}  // namespace vk2::test
