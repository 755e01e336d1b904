#include "tests/support/biquad_response.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vk2::test {

BandStage BandPassStage(double centre, double width, double rate, double gain,
                        bool singlePrecision) {
  const double k = 1.0 / std::tan(std::numbers::pi * width / rate);
  BandStage s;
  s.a0 = 1.0 / (1.0 + k);
  s.b1 = -(k * 2.0 * std::cos(2.0 * std::numbers::pi * centre / rate) * s.a0);
  s.b2 = (k - 1.0) * s.a0;
  s.gain = gain;
  if (singlePrecision) {
    s.a0 = static_cast<float>(s.a0);
    s.b1 = static_cast<float>(s.b1);
    s.b2 = static_cast<float>(s.b2);
    s.gain = static_cast<float>(s.gain);
  }
  return s;
}

std::complex<double> BandPassResponse(const BandStage& stage, double frequency, double rate) {
  const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * frequency / rate);
  const std::complex<double> z2 = z1 * z1;
  return stage.a0 * (1.0 - z2) / (1.0 + stage.b1 * z1 + stage.b2 * z2);
}

std::complex<double> CascadeResponse(const std::vector<BandStage>& stages, double frequency,
                                     double rate) {
  std::complex<double> total = 1.0;
  for (const BandStage& s : stages)
    total *= 1.0 + s.gain * BandPassResponse(s, frequency, rate);
  return total;
}

double PoleRadius(const BandStage& stage) {
  // Roots of z^2 + b1 z + b2.
  const std::complex<double> d =
      std::sqrt(std::complex<double>(stage.b1 * stage.b1 - 4 * stage.b2));
  const std::complex<double> r1 = (-stage.b1 + d) / 2.0;
  const std::complex<double> r2 = (-stage.b1 - d) / 2.0;
  return std::max(std::abs(r1), std::abs(r2));
}

}  // namespace vk2::test
