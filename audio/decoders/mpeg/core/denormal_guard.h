#pragma once
// Flushes denormals to zero for the lifetime of the guard: silent tails in the filter state decay
// into denormals, which are slow. The previous mode comes back, since the same thread also runs
// effects.
#include <xmmintrin.h>

namespace vk2 {

class MpegDenormalGuard {
 public:
  MpegDenormalGuard() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | 0x8040u); }  // FTZ | DAZ
  ~MpegDenormalGuard() { _mm_setcsr(saved_); }
  MpegDenormalGuard(const MpegDenormalGuard&) = delete;
  MpegDenormalGuard& operator=(const MpegDenormalGuard&) = delete;

 private:
  unsigned saved_;
};

}  // namespace vk2
