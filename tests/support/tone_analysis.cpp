#include "tests/support/tone_analysis.h"

#include <cmath>
#include <numbers>

namespace vk2::test {

ToneMeasure Goertzel(const double* samples, size_t count, double frequency, double rate) {
  ToneMeasure m;
  if (count == 0) return m;
  const double w = 2.0 * std::numbers::pi * frequency / rate;
  const double coeff = 2.0 * std::cos(w);
  double s1 = 0.0;
  double s2 = 0.0;
  for (size_t n = 0; n < count; ++n) {
    const double s = samples[n] + coeff * s1 - s2;
    s2 = s1;
    s1 = s;
  }
  // s1 - e^{-jw} s2 is the DFT term rotated by e^{jw(N-1)}.
  const std::complex<double> rotated = s1 - std::polar(1.0, -w) * s2;
  const std::complex<double> x = rotated * std::polar(1.0, -w * static_cast<double>(count - 1));
  m.amplitude = 2.0 * std::abs(x) / static_cast<double>(count);
  m.phase = std::arg(x);
  return m;
}

size_t WholeCycleCount(double frequency, double rate, size_t limit) {
  const double period = rate / frequency;
  const double cycles = std::floor(static_cast<double>(limit) / period);
  if (cycles < 1.0) return limit;
  // The longest whole-cycle span that still fits after rounding to a sample.
  for (double k = cycles; k >= 1.0; k -= 1.0) {
    const auto n = static_cast<size_t>(std::llround(k * period));
    if (n <= limit) return n;
  }
  return limit;
}

void Fft(std::vector<std::complex<double>>* data, bool inverse) {
  auto& a = *data;
  const size_t n = a.size();
  for (size_t i = 1, j = 0; i < n; ++i) {
    size_t bit = n >> 1;
    for (; j & bit; bit >>= 1)
      j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (size_t len = 2; len <= n; len <<= 1) {
    const double angle = 2.0 * std::numbers::pi / static_cast<double>(len) * (inverse ? 1 : -1);
    for (size_t i = 0; i < n; i += len) {
      for (size_t k = 0; k < len / 2; ++k) {
        const std::complex<double> w = std::polar(1.0, angle * static_cast<double>(k));
        const std::complex<double> u = a[i + k];
        const std::complex<double> v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
  if (inverse) {
    for (auto& v : a)
      v /= static_cast<double>(n);
  }
}

std::vector<std::complex<double>> NaiveDft(const std::vector<std::complex<double>>& data) {
  const size_t n = data.size();
  std::vector<std::complex<double>> out(n);
  for (size_t k = 0; k < n; ++k) {
    std::complex<double> sum = 0.0;
    for (size_t t = 0; t < n; ++t) {
      const double angle =
          -2.0 * std::numbers::pi * static_cast<double>(k * t % n) / static_cast<double>(n);
      sum += data[t] * std::polar(1.0, angle);
    }
    out[k] = sum;
  }
  return out;
}

std::vector<double> HannSpectrum(const std::vector<double>& samples, size_t size) {
  std::vector<std::complex<double>> buffer(size);
  for (size_t i = 0; i < size && i < samples.size(); ++i) {
    const double w = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) /
                                          static_cast<double>(size));
    buffer[i] = samples[i] * w;
  }
  Fft(&buffer);
  std::vector<double> magnitudes(size / 2 + 1);
  // The Hann window's coherent gain is 1/2, the one-sided spectrum doubles: 4 / N.
  for (size_t k = 0; k < magnitudes.size(); ++k)
    magnitudes[k] = 4.0 * std::abs(buffer[k]) / static_cast<double>(size);
  return magnitudes;
}

double ZeroCrossingFrequency(const std::vector<double>& samples, double rate, size_t skip) {
  double first = -1.0;
  double last = -1.0;
  size_t crossings = 0;
  for (size_t i = skip + 1; i < samples.size(); ++i) {
    const double a = samples[i - 1];
    const double b = samples[i];
    if (a < 0.0 && b >= 0.0) {
      const double t = static_cast<double>(i - 1) + a / (a - b);
      if (crossings == 0) first = t;
      last = t;
      ++crossings;
    }
  }
  if (crossings < 2) return 0.0;
  return static_cast<double>(crossings - 1) * rate / (last - first);
}

}  // namespace vk2::test
