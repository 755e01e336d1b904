// Capture sinks that outlive the devices playing into them: every sink a device makes is kept,
// in the order made, so that a test reads what was heard across reopened buffers and format
// changes.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/sink/capture_sink.h"
#include "platform/clock.h"

namespace vk2::test {

// What one sink heard, in the format it was opened with.
struct HeardPiece {
  PcmFormat format;
  std::vector<uint8_t> bytes;
};

class RecordingSinks : public std::enable_shared_from_this<RecordingSinks> {
 public:
  explicit RecordingSinks(std::shared_ptr<Clock> clock) : clock_(std::move(clock)) {}

  // A factory for the devices: each sink it makes is remembered here.
  PcmSinkFactory Factory();
  // Every sink that heard something, oldest first.
  std::vector<HeardPiece> Pieces();
  // Bytes heard so far by all sinks that share the format of the last one that heard anything.
  std::vector<uint8_t> HeardBytes();

 private:
  std::shared_ptr<Clock> clock_;
  std::mutex mutex_;
  std::vector<std::shared_ptr<CaptureSink>> sinks_;
};

}  // namespace vk2::test
