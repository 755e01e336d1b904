#pragma once
// Which instruction set the decoder's kernels use. The process picks one once; tests and the
// benchmark may ask for a particular one.
namespace vk2 {

enum class MpegSimdLevel { kPlain, kSse2, kAvx2 };

// The processor variant of the decoder: 1 plain floating point, 2 3DNow!, 3 3DNow! with
// extensions, 4 SSE. Decided once per process from CPUID.
int MpegProcessorVariant();
// Kernels for the process: AVX2+FMA where the processor has them, else SSE2 (x86-64 baseline).
// The 3DNow! variants run the SSE2 kernels; those instructions are gone from current processors.
MpegSimdLevel MpegProcessSimdLevel();
// Whether this processor can run `level`.
bool MpegSimdLevelSupported(MpegSimdLevel level);
const char* MpegSimdLevelName(MpegSimdLevel level);

}  // namespace vk2
