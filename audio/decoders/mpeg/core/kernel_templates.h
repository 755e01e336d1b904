#pragma once
// Transforms written once over a lane type V (float, or an SSE2/AVX2 vector wrapper) and
// instantiated by each kernel translation unit. Internal linkage on purpose: every unit gets its
// own copy compiled for its own instruction set.
#include <cmath>

namespace vk2 {
namespace {

constexpr double kPi = 3.14159265358979323846;

// 0.5 / cos((2k + 1) pi / (2N)): the odd-half factors of the even/odd DCT-II split.
template <int N>
struct DctFactors {
  float values[N / 2];
  DctFactors() {
    for (int k = 0; k < N / 2; ++k)
      values[k] = static_cast<float>(0.5 / std::cos((2 * k + 1) * kPi / (2.0 * N)));
  }
};

template <int N>
const DctFactors<N>& Factors() {
  static const DctFactors<N> factors;
  return factors;
}

// In-place unnormalised DCT-II, X[m] = sum_k x[k] cos(pi m (2k + 1) / (2N)), N a power of two.
template <int N, class V>
inline void DctII(V* x, const float* const* factors) {
  if constexpr (N == 1) {
    (void)x;
    (void)factors;
  } else {
    V a[N / 2], b[N / 2];
    const float* f = factors[0];
    for (int k = 0; k < N / 2; ++k) {
      a[k] = x[k] + x[N - 1 - k];
      b[k] = (x[k] - x[N - 1 - k]) * V(f[k]);
    }
    DctII<N / 2>(a, factors + 1);
    DctII<N / 2>(b, factors + 1);
    for (int m = 0; m < N / 2 - 1; ++m) {
      x[2 * m] = a[m];
      x[2 * m + 1] = b[m] + b[m + 1];
    }
    x[N - 2] = a[N / 2 - 1];
    x[N - 1] = b[N / 2 - 1];
  }
}

template <class V>
inline void Dct32(V* x) {
  static const float* const factors[5] = {Factors<32>().values, Factors<16>().values,
                                          Factors<8>().values, Factors<4>().values,
                                          Factors<2>().values};
  DctII<32>(x, factors);
}

// Tables of the 18-point DCT-IV used by the 36-point IMDCT.
struct ImdctTables {
  float pre[18];     // 2 cos((2k + 1) pi / 72)
  float split[9];    // 0.5 / cos((2k + 1) pi / 36)
  float dct9[9][9];  // cos(pi m (2k + 1) / 18)
  ImdctTables() {
    for (int k = 0; k < 18; ++k)
      pre[k] = static_cast<float>(2.0 * std::cos((2 * k + 1) * kPi / 72.0));
    for (int k = 0; k < 9; ++k)
      split[k] = static_cast<float>(0.5 / std::cos((2 * k + 1) * kPi / 36.0));
    for (int m = 0; m < 9; ++m)
      for (int k = 0; k < 9; ++k)
        dct9[m][k] = static_cast<float>(std::cos(kPi * m * (2 * k + 1) / 18.0));
  }
};

inline const ImdctTables& Imdct() {
  static const ImdctTables tables;
  return tables;
}

// z[n] = sum_k x[k] cos(pi (2n + 1)(2k + 1) / 72), through a DCT-II of the pre-scaled input.
template <class V>
inline void DctIV18(const V* x, V* z) {
  const ImdctTables& t = Imdct();
  V a[9], b[9], u[18];
  for (int k = 0; k < 18; ++k)
    u[k] = x[k] * V(t.pre[k]);
  for (int k = 0; k < 9; ++k) {
    a[k] = u[k] + u[17 - k];
    b[k] = (u[k] - u[17 - k]) * V(t.split[k]);
  }
  V big[18];
  for (int m = 0; m < 9; ++m) {
    V sa = a[0] * V(t.dct9[m][0]);
    V sb = b[0] * V(t.dct9[m][0]);
    for (int k = 1; k < 9; ++k) {
      sa = MulAdd(a[k], V(t.dct9[m][k]), sa);
      sb = MulAdd(b[k], V(t.dct9[m][k]), sb);
    }
    big[2 * m] = sa;
    big[2 * m + 1] = sb;  // B[m], combined below
  }
  // U[2m] = A[m], U[2m+1] = B[m] + B[m+1]; then z[0] = U[0] / 2, z[n] = U[n] - z[n-1].
  V u2[18];
  for (int m = 0; m < 9; ++m) {
    u2[2 * m] = big[2 * m];
    u2[2 * m + 1] = m < 8 ? big[2 * m + 1] + big[2 * m + 3] : big[2 * m + 1];
  }
  z[0] = u2[0] * V(0.5f);
  for (int n = 1; n < 18; ++n)
    z[n] = u2[n] - z[n - 1];
}

// IMDCT of one group of lanes: y[i] = sum_k x[k] cos(pi (2i + 19)(2k + 1) / 72), windowed, added
// to the previous granule's tail. Returns the 18 outputs; `tail` becomes the new overlap.
template <class V>
inline void Imdct36(const V* x, const float* window, V* tail, V* out) {
  V z[18];
  DctIV18(x, z);
  // y = [z9..z17, -z17..-z0, -z0..-z8]
  for (int i = 0; i < 9; ++i)
    out[i] = MulAdd(z[9 + i], V(window[i]), tail[i]);
  for (int i = 9; i < 18; ++i)
    out[i] = MulAdd(z[26 - i], V(-window[i]), tail[i]);
  for (int i = 18; i < 27; ++i)
    tail[i - 18] = z[26 - i] * V(-window[i]);
  for (int i = 27; i < 36; ++i)
    tail[i - 18] = z[i - 27] * V(-window[i]);
}

}  // namespace
}  // namespace vk2
