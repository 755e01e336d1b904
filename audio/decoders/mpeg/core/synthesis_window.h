#pragma once
#include <cstdint>

namespace vk2 {

// The 512 window coefficients D[i]; tap n of output sample j is D[32 n + j]. 64-byte aligned.
const float* MpegSynthesisWindow();

}  // namespace vk2
