// The analytic response of a cascade of band stages G_b = 1 + g_b H_b, with the band-pass
// H_b(z) = a0 (1 - z^-2) / (1 + b1 z^-1 + b2 z^-2): what a band equalizer's measured response is
// compared with.
#pragma once

#include <complex>
#include <vector>

namespace vk2::test {

struct BandStage {
  double a0 = 0.0;
  double b1 = 0.0;
  double b2 = 0.0;
  double gain = 0.0;
};

// The bilinear band-pass for a centre and a width (Hz) at `rate`: K = 1 / tan(pi w / fs),
// a0 = 1 / (1 + K), b1 = -2 K cos(2 pi f / fs) a0, b2 = (K - 1) a0. With `singlePrecision`
// the coefficients are rounded to float, as the filter's single-precision paths hold them.
BandStage BandPassStage(double centre, double width, double rate, double gain,
                        bool singlePrecision = false);

// H_b at `frequency`.
std::complex<double> BandPassResponse(const BandStage& stage, double frequency, double rate);
// Product of (1 + g_b H_b) over the stages.
std::complex<double> CascadeResponse(const std::vector<BandStage>& stages, double frequency,
                                     double rate);
// The largest pole radius of the stage's denominator (>= 1: unstable).
double PoleRadius(const BandStage& stage);

}  // namespace vk2::test
