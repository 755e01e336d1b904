// Test signals as interleaved doubles in [-1, 1]: tones, impulses and silence, one value per
// sample, so any sample format can be made from them (pcm_packets.h).
#pragma once

#include <cstdint>
#include <vector>

namespace vk2::test {

struct Tone {
  double frequency = 1000.0;  // Hz
  double amplitude = 0.25;    // peak, full scale 1.0
  double phase = 0.0;         // radians, of a cosine
};

// Every channel carries the same sum of tones, frame n at time n / rate.
std::vector<double> MakeTones(const std::vector<Tone>& tones, uint32_t rate, uint32_t frames,
                              uint32_t channels);
std::vector<double> MakeSine(double frequency, double amplitude, uint32_t rate, uint32_t frames,
                             uint32_t channels);
// `amplitude` at frame 0 of every channel, then zeros.
std::vector<double> MakeImpulse(uint32_t frames, uint32_t channels, double amplitude = 1.0);
std::vector<double> MakeSilence(uint32_t frames, uint32_t channels);

// One channel of an interleaved signal.
std::vector<double> ChannelOf(const std::vector<double>& interleaved, uint32_t channels,
                              uint32_t channel);

// Amplitude ratio in decibels (20 log10).
double ToDb(double ratio);
// -12 dBFS and friends as a linear peak amplitude.
double FromDb(double db);

}  // namespace vk2::test
