#include "audio/decoders/mpeg/core/simd_level.h"

#include <cpuid.h>

#include <mutex>

namespace vk2 {

namespace {

int DetectVariant() {
  unsigned a = 0, b = 0, c = 0, d = 0;
  if (!__get_cpuid(0, &a, &b, &c, &d) || a == 0) return 1;
  unsigned highestExtended = __get_cpuid_max(0x80000000u, nullptr);
  if (highestExtended > 0x80000000u && __get_cpuid(0x80000001u, &a, &b, &c, &d)) {
    bool amd3dnow = (d >> 31) & 1;
    bool amd3dnowExt = (d >> 30) & 1;
    if (amd3dnow && amd3dnowExt) return 3;
    if (amd3dnow || amd3dnowExt) return 2;
  }
  // SSE is part of x86-64 and every x86-64 kernel saves the XMM state, so no trial is needed.
  if (__get_cpuid(1, &a, &b, &c, &d) && ((d >> 25) & 1)) return 4;
  return 1;
}

}  // namespace

int MpegProcessorVariant() {
  static std::once_flag once;
  static int variant = 0;
  std::call_once(once, [] { variant = DetectVariant(); });
  return variant;
}

bool MpegSimdLevelSupported(MpegSimdLevel level) {
  switch (level) {
    case MpegSimdLevel::kPlain:
    case MpegSimdLevel::kSse2:
      return true;
    case MpegSimdLevel::kAvx2:
      __builtin_cpu_init();
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  }
  return false;
}

MpegSimdLevel MpegProcessSimdLevel() {
  static std::once_flag once;
  static MpegSimdLevel level = MpegSimdLevel::kPlain;
  std::call_once(once, [] {
    if (MpegProcessorVariant() == 1)
      level = MpegSimdLevel::kPlain;
    else if (MpegSimdLevelSupported(MpegSimdLevel::kAvx2))
      level = MpegSimdLevel::kAvx2;
    else
      level = MpegSimdLevel::kSse2;
  });
  return level;
}

const char* MpegSimdLevelName(MpegSimdLevel level) {
  switch (level) {
    case MpegSimdLevel::kPlain:
      return "plain";
    case MpegSimdLevel::kSse2:
      return "sse2";
    case MpegSimdLevel::kAvx2:
      return "avx2";
  }
  return "?";
}

}  // namespace vk2
