// Measuring test signals: one tone's amplitude and phase (Goertzel), a reference FFT, and a
// frequency estimate from interpolated rising zero crossings.
#pragma once

#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vk2::test {

struct ToneMeasure {
  double amplitude = 0.0;  // peak
  double phase = 0.0;      // radians, of a cosine at sample 0 of the window
};

// The DFT of `count` samples at `frequency` (any frequency, not only a bin), scaled so that a
// tone A cos(2 pi f n / rate + phi) over a whole number of its cycles gives A and phi.
ToneMeasure Goertzel(const double* samples, size_t count, double frequency, double rate);
inline ToneMeasure Goertzel(const std::vector<double>& samples, double frequency, double rate) {
  return Goertzel(samples.data(), samples.size(), frequency, rate);
}
// The largest sample count up to `limit` that holds a whole number of cycles of `frequency`
// (to the nearest sample), so Goertzel sees no leakage worth the name.
size_t WholeCycleCount(double frequency, double rate, size_t limit);

// In-place radix-2 FFT (forward: e^{-j...}); the size must be a power of two.
void Fft(std::vector<std::complex<double>>* data, bool inverse = false);
// The plain O(n^2) DFT the FFT is checked against.
std::vector<std::complex<double>> NaiveDft(const std::vector<std::complex<double>>& data);
// Hann-windowed magnitude spectrum of the first power-of-two `size` samples, scaled so a tone's
// peak bin reads its amplitude when the tone sits on a bin.
std::vector<double> HannSpectrum(const std::vector<double>& samples, size_t size);

// Frequency in Hz from the rising zero crossings after `skip` samples, each crossing's time
// interpolated linearly between its two samples: (crossings - 1) / (last - first). 0 when fewer
// than two crossings are seen.
double ZeroCrossingFrequency(const std::vector<double>& samples, double rate, size_t skip = 0);

}  // namespace vk2::test
