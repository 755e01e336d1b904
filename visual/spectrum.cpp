#include "visual/spectrum.h"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace vk2 {
namespace {

constexpr uint32_t kIndexBits = 9;

struct BitReversal {
  std::array<uint16_t, kSpectrumInput> table{};
  constexpr BitReversal() {
    for (uint32_t k = 0; k < kSpectrumInput; ++k) {
      uint32_t r = 0;
      for (uint32_t b = 0; b < kIndexBits; ++b)
        r |= ((k >> b) & 1u) << (kIndexBits - 1 - b);
      table[k] = static_cast<uint16_t>(r);
    }
  }
};

constexpr BitReversal kBitReversal;

// Half-spans 4 to 256: the stages with half-spans 1 and 2 are not run.
constexpr uint32_t kFirstHalfSpan = 4;
constexpr float kInputScale = 1.0f / 16.0f;

}  // namespace

void SpectrumTransform(const int8_t* samples, SpectrumWork* work) {
  SpectrumWork& e = *work;
  for (uint32_t k = 0; k < kSpectrumInput; ++k)
    e[kBitReversal.table[k]] = {static_cast<float>(samples[k]) * kInputScale, 0.0f};
  for (uint32_t s = kFirstHalfSpan; s < kSpectrumInput; s *= 2) {
    const double angle = -std::numbers::pi / static_cast<double>(s);
    const std::complex<float> step(static_cast<float>(std::cos(angle)),
                                   static_cast<float>(std::sin(angle)));
    std::complex<float> twiddle(1.0f, 0.0f);
    for (uint32_t j = 0; j < s; ++j) {
      for (uint32_t m = j; m < kSpectrumInput; m += 2 * s) {
        const std::complex<float> t = twiddle * e[m + s];
        e[m + s] = e[m] - t;
        e[m] = e[m] + t;
      }
      twiddle *= step;
    }
  }
}

void ComputeSpectrum(const int8_t* samples, uint8_t* out) {
  SpectrumWork work;
  SpectrumTransform(samples, &work);
  for (uint32_t k = 0; k < kSpectrumOutput; ++k) {
    const long v = std::lround(work[k].real());
    out[k] = static_cast<uint8_t>(std::labs(v) & 0xFF);
  }
}

}  // namespace vk2
