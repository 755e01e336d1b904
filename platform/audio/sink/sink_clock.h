// The time a sink runs on. Real back ends follow their device; the capture sink follows one of
// these, so tests drive playback by advancing a virtual clock instead of waiting.
#pragma once

#include <atomic>
#include <cstdint>

namespace vk2 {

class SinkClock {
 public:
  virtual ~SinkClock() = default;
  // Monotonic microseconds from an arbitrary origin.
  virtual uint64_t NowMicros() = 0;
};

// The process's monotonic clock, optionally running faster than real time.
class SteadySinkClock final : public SinkClock {
 public:
  explicit SteadySinkClock(double speed = 1.0);
  uint64_t NowMicros() override;

 private:
  double speed_;
  uint64_t originMicros_;
};

// Moves only when told to; safe to advance from one thread while others read it.
class VirtualSinkClock final : public SinkClock {
 public:
  uint64_t NowMicros() override { return now_.load(std::memory_order_acquire); }
  void AdvanceMicros(uint64_t micros) { now_.fetch_add(micros, std::memory_order_acq_rel); }
  void AdvanceMillis(uint64_t millis) { AdvanceMicros(millis * 1000); }

 private:
  std::atomic<uint64_t> now_{0};
};

}  // namespace vk2
