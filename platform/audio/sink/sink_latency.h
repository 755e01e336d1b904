// The latency a device stand-in asks of its sink: short at first, so that the first sound after
// a start comes at once, then, once the stream has played a while, the full length, so that the
// stand-in's thread and the sound server pass data a few times a second rather than every few
// milliseconds (each pass costs the process wake-ups). A latency the owner asked for explicitly
// is kept as it is.
#pragma once

#include <algorithm>
#include <cstdint>

#include "platform/audio/sink/pcm_sink.h"

namespace vk2 {

class SinkLatency {
 public:
  static constexpr uint32_t kStartMillis = 100;
  // Played at the short latency before the full one is asked for.
  static constexpr uint32_t kSettleMillis = 1000;

  // `askedMillis` 0: start short and grow to `fullMillis`; otherwise always `askedMillis`.
  SinkLatency(uint32_t askedMillis, uint32_t fullMillis)
      : start_(askedMillis ? askedMillis : std::min(fullMillis, kStartMillis)),
        full_(askedMillis ? askedMillis : fullMillis),
        current_(start_) {}

  // What to open the sink with, and what it runs at now.
  uint32_t Current() const { return current_; }
  // A sink opened anew starts short again.
  void Restart() { current_ = start_; }

  // With the sink's calls serialised by the caller: lengthens the latency once the sink has
  // played long enough. True when it changed. A back end that cannot change it keeps the short
  // one (and is not asked again).
  bool Step(PcmSink& sink);

 private:
  uint32_t start_;
  uint32_t full_;
  uint32_t current_;
};

}  // namespace vk2
