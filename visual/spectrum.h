// The visuals' spectrum of 512 signed 8-bit samples: a radix-2 transform whose first two stages
// (half-spans 1 and 2) are left out, read as the low 8 bits of the rounded real part. Visual
// plug-ins are tuned to exactly these bytes, so the transform is kept as it is, not repaired.
#pragma once

#include <array>
#include <complex>
#include <cstdint>

namespace vk2 {

inline constexpr uint32_t kSpectrumInput = 512;
inline constexpr uint32_t kSpectrumOutput = 256;

using SpectrumWork = std::array<std::complex<float>, kSpectrumInput>;

// The transform's complex result (for measuring); `work` is the caller's.
void SpectrumTransform(const int8_t* samples, SpectrumWork* work);
// The 256 spectrum bytes.
void ComputeSpectrum(const int8_t* samples, uint8_t* out);

}  // namespace vk2
