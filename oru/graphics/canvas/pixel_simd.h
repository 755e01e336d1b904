// SSE2 (the x86-64 baseline) helpers on premultiplied ARGB pixels: interpolation, bilinear
// sampling and byte-wise operations, four pixels or one at a time.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "oru/graphics/canvas/pixel.h"

namespace vk2::gfx {

// Interpolates 16-bit lanes of 0-255 values, f of 256 toward q: (p(256 - f) + qf) >> 8, which
// stays below 65536, exactly as the scalar sampler rounds.
inline __m128i LerpWide(__m128i p16, __m128i q16, __m128i f16) {
  const __m128i g16 = _mm_sub_epi16(_mm_set1_epi16(256), f16);
  return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(p16, g16), _mm_mullo_epi16(q16, f16)), 8);
}

// Bilinear blend of four pixels (top-left, top-right, bottom-left, bottom-right) with weights
// fx, fy of 256.
inline uint32_t BilinearPixel(uint32_t tl, uint32_t tr, uint32_t bl, uint32_t br, uint32_t fx,
                              uint32_t fy) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i top =
      _mm_unpacklo_epi8(_mm_set_epi32(0, 0, static_cast<int>(tr), static_cast<int>(tl)), zero);
  const __m128i bottom =
      _mm_unpacklo_epi8(_mm_set_epi32(0, 0, static_cast<int>(br), static_cast<int>(bl)), zero);
  // Vertical first: both columns at once, then the two columns across.
  const __m128i v = LerpWide(top, bottom, _mm_set1_epi16(static_cast<int16_t>(fy)));
  const __m128i h = LerpWide(v, _mm_srli_si128(v, 8), _mm_set1_epi16(static_cast<int16_t>(fx)));
  return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(h, zero)));
}

// out[i] = LerpFloor(a[i], b[i], f) for n pixels.
inline void LerpRows(const uint32_t* a, const uint32_t* b, uint32_t f, uint32_t* out, int32_t n) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i f16 = _mm_set1_epi16(static_cast<int16_t>(f));
  int32_t i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + i));
    const __m128i q = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + i));
    const __m128i lo = LerpWide(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(q, zero), f16);
    const __m128i hi = LerpWide(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(q, zero), f16);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(lo, hi));
  }
  for (; i < n; ++i)
    out[i] = LerpFloor(a[i], b[i], f);
}

// Four pixels p·(255 − w)/255 + q·w/255 per channel, rounded, for a weight 0-255.
inline __m128i LerpPixels4(__m128i p, __m128i q, __m128i w16) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i inv = _mm_sub_epi16(_mm_set1_epi16(255), w16);
  const __m128i round = _mm_set1_epi16(128);
  auto half = [&](__m128i a, __m128i b) {
    __m128i x =
        _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(a, inv), _mm_mullo_epi16(b, w16)), round);
    return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
  };
  const __m128i lo = half(_mm_unpacklo_epi8(p, zero), _mm_unpacklo_epi8(q, zero));
  const __m128i hi = half(_mm_unpackhi_epi8(p, zero), _mm_unpackhi_epi8(q, zero));
  return _mm_packus_epi16(lo, hi);
}

// True when all four pixels are fully opaque.
inline bool AllOpaque4(__m128i p) {
  const __m128i alpha = _mm_and_si128(p, _mm_set1_epi32(static_cast<int>(0xFF000000u)));
  return _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_set1_epi32(static_cast<int>(0xFF000000u)))) ==
         0xFFFF;
}

}  // namespace vk2::gfx
