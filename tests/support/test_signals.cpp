#include "tests/support/test_signals.h"

#include <cmath>
#include <numbers>

namespace vk2::test {

std::vector<double> MakeTones(const std::vector<Tone>& tones, uint32_t rate, uint32_t frames,
                              uint32_t channels) {
  std::vector<double> out(static_cast<size_t>(frames) * channels, 0.0);
  for (const Tone& t : tones) {
    const double step = 2.0 * std::numbers::pi * t.frequency / rate;
    for (uint32_t n = 0; n < frames; ++n) {
      const double v = t.amplitude * std::cos(step * n + t.phase);
      for (uint32_t c = 0; c < channels; ++c)
        out[static_cast<size_t>(n) * channels + c] += v;
    }
  }
  return out;
}

std::vector<double> MakeSine(double frequency, double amplitude, uint32_t rate, uint32_t frames,
                             uint32_t channels) {
  return MakeTones({{frequency, amplitude, -std::numbers::pi / 2}}, rate, frames, channels);
}

std::vector<double> MakeImpulse(uint32_t frames, uint32_t channels, double amplitude) {
  std::vector<double> out(static_cast<size_t>(frames) * channels, 0.0);
  if (frames > 0) {
    for (uint32_t c = 0; c < channels; ++c)
      out[c] = amplitude;
  }
  return out;
}

std::vector<double> MakeSilence(uint32_t frames, uint32_t channels) {
  return std::vector<double>(static_cast<size_t>(frames) * channels, 0.0);
}

std::vector<double> ChannelOf(const std::vector<double>& interleaved, uint32_t channels,
                              uint32_t channel) {
  std::vector<double> out;
  if (channels == 0) return out;
  out.reserve(interleaved.size() / channels);
  for (size_t i = channel; i < interleaved.size(); i += channels)
    out.push_back(interleaved[i]);
  return out;
}

double ToDb(double ratio) {
  return 20.0 * std::log10(ratio);
}

double FromDb(double db) {
  return std::pow(10.0, db / 20.0);
}

}  // namespace vk2::test
