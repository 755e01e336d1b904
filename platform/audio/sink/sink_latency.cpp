#include "platform/audio/sink/sink_latency.h"

namespace vk2 {

bool SinkLatency::Step(PcmSink& sink) {
  if (current_ >= full_ || !sink.IsOpen()) return false;
  const uint64_t settle = uint64_t{sink.Format().sampleRate} * kSettleMillis / 1000;
  if (sink.FramesPlayed() < settle) return false;
  if (!sink.SetBufferMillis(full_)) {
    start_ = full_ = current_;
    return false;
  }
  current_ = full_;
  return true;
}

}  // namespace vk2
