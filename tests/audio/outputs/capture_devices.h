// Capture sinks for the device tests: listed with extra devices, running on a clock the test
// chooses (real time, faster than real time, or virtual).
#pragma once

#include <cstring>
#include <memory>
#include <vector>

#include "platform/audio/sink/capture_sink.h"
#include "platform/audio/sink/scaled_clock.h"
#include "platform/clock.h"
#include "platform/fake_clock.h"

namespace vk2::test {

inline PcmSinkFactory CaptureFactory(std::shared_ptr<Clock> clock,
                                     std::vector<std::string> extraDevices = {}) {
  return [clock, extraDevices] {
    CaptureSinkOptions options;
    options.clock = clock;
    options.extraDeviceDescriptions = extraDevices;
    return std::make_unique<CaptureSink>(options);
  };
}

inline std::vector<uint8_t> Tone16(uint32_t frames, uint32_t channels, int16_t amplitude = 8000) {
  std::vector<uint8_t> out(size_t{frames} * channels * 2);
  for (uint32_t f = 0; f < frames; ++f) {
    for (uint32_t c = 0; c < channels; ++c) {
      const auto v =
          static_cast<int16_t>((f * 37 + c * 1000) % 2000 * amplitude / 2000 - amplitude / 2);
      std::memcpy(out.data() + (size_t{f} * channels + c) * 2, &v, 2);
    }
  }
  return out;
}

}  // namespace vk2::test
