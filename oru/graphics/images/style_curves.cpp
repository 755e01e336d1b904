#include "oru/graphics/images/style_curves.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace vk2::oru {

bool InterpolateChannel(const CurvePoint* points, int32_t count, bool spline, int shift,
                        uint8_t* out, int32_t outStride) {
  if (!points || count < 1 || !out) return false;
  std::vector<double> xs;
  std::vector<double> ys;
  for (int32_t i = 0; i < count; ++i) {
    const double x = std::clamp(points[i].position, 0.0, 1.0) * 255.0;
    if (!std::isfinite(points[i].position)) return false;
    if (!xs.empty() && x < xs.back()) return false;  // unsorted
    const double y = (points[i].value >> shift) & 0xFF;
    if (!xs.empty() && x == xs.back()) {
      ys.back() = y;  // a later point at the same place wins
      continue;
    }
    xs.push_back(x);
    ys.push_back(y);
  }
  const size_t n = xs.size();
  // Second derivatives of the natural spline (zero at both ends).
  std::vector<double> d2(n, 0.0);
  if (spline && n > 2) {
    std::vector<double> u(n, 0.0);
    for (size_t i = 1; i + 1 < n; ++i) {
      const double sig = (xs[i] - xs[i - 1]) / (xs[i + 1] - xs[i - 1]);
      const double p = sig * d2[i - 1] + 2.0;
      d2[i] = (sig - 1.0) / p;
      const double slope =
          (ys[i + 1] - ys[i]) / (xs[i + 1] - xs[i]) - (ys[i] - ys[i - 1]) / (xs[i] - xs[i - 1]);
      u[i] = (6.0 * slope / (xs[i + 1] - xs[i - 1]) - sig * u[i - 1]) / p;
    }
    for (size_t k = n - 1; k-- > 0;)
      d2[k] = d2[k] * d2[k + 1] + u[k];
  }
  size_t seg = 0;
  for (int32_t i = 0; i < 256; ++i) {
    const double x = i;
    double y = 0;
    if (x <= xs.front()) {
      y = ys.front();
    } else if (x >= xs.back()) {
      y = ys.back();
    } else {
      while (seg + 1 < n && xs[seg + 1] < x)
        ++seg;
      const double h = xs[seg + 1] - xs[seg];
      const double a = (xs[seg + 1] - x) / h;
      const double b = (x - xs[seg]) / h;
      y = a * ys[seg] + b * ys[seg + 1];
      if (spline && n > 2) {
        y += ((a * a * a - a) * d2[seg] + (b * b * b - b) * d2[seg + 1]) * (h * h) / 6.0;
      }
    }
    out[i * outStride] = static_cast<uint8_t>(std::clamp(std::lround(y), 0L, 255L));
  }
  return true;
}

}  // namespace vk2::oru
