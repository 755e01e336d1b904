#include "oru/graphics/canvas/coverage_rasterizer.h"

#include <algorithm>
#include <cmath>

namespace vk2::gfx {

void CoverageRasterizer::Reset(const RectI& bounds) {
  bounds_ = bounds;
  // Two spare cells per row take what falls right of the bounds, so each row sums to zero.
  stride_ = std::max(0, bounds.Width()) + 2;
  cells_.assign(static_cast<size_t>(stride_) * std::max(0, bounds.Height()), 0.0f);
}

void CoverageRasterizer::AddContour(const Contour& contour) {
  if (contour.size() < 3) return;
  for (size_t i = 0; i < contour.size(); ++i) {
    AddEdge(contour[i], contour[(i + 1) % contour.size()]);
  }
}

void CoverageRasterizer::AddEdge(PointF a, PointF b) {
  const double w = bounds_.Width();
  const double h = bounds_.Height();
  if (w <= 0 || h <= 0) return;
  PointF p0{a.x - bounds_.left, a.y - bounds_.top};
  PointF p1{b.x - bounds_.left, b.y - bounds_.top};
  if (p0.y == p1.y) return;
  float dir = 1.0f;
  if (p0.y > p1.y) {
    std::swap(p0, p1);
    dir = -1.0f;
  }
  if (p1.y <= 0 || p0.y >= h) return;
  const double dxdy = (p1.x - p0.x) / (p1.y - p0.y);
  double x = p0.x;
  if (p0.y < 0) x -= p0.y * dxdy;
  const int32_t yStart = std::max(0, static_cast<int32_t>(std::floor(p0.y)));
  const int32_t yEnd = std::min(static_cast<int32_t>(h), static_cast<int32_t>(std::ceil(p1.y)));
  for (int32_t y = yStart; y < yEnd; ++y) {
    float* row = cells_.data() + static_cast<size_t>(y) * stride_;
    const double dy = std::min<double>(y + 1, p1.y) - std::max<double>(y, p0.y);
    const double xNext = x + dxdy * dy;
    const float d = static_cast<float>(dy) * dir;
    // Left of the bounds all area lands in column 0; right of them in the spare cells.
    double x0 = std::clamp(std::min(x, xNext), 0.0, w + 0.5);
    double x1 = std::clamp(std::max(x, xNext), 0.0, w + 0.5);
    const double x0Floor = std::floor(x0);
    const int32_t x0i = static_cast<int32_t>(x0Floor);
    const double x1Ceil = std::ceil(x1);
    const int32_t x1i = static_cast<int32_t>(x1Ceil);
    if (x1i <= x0i + 1) {
      const double xm = 0.5 * (x0 + x1) - x0Floor;
      row[x0i] += d - static_cast<float>(d * xm);
      row[x0i + 1] += static_cast<float>(d * xm);
    } else {
      const double s = 1.0 / (x1 - x0);
      const double x0f = x0 - x0Floor;
      const double a0 = 0.5 * s * (1 - x0f) * (1 - x0f);
      const double x1f = x1 - x1Ceil + 1;
      const double am = 0.5 * s * x1f * x1f;
      row[x0i] += static_cast<float>(d * a0);
      if (x1i == x0i + 2) {
        row[x0i + 1] += static_cast<float>(d * (1 - a0 - am));
      } else {
        const double a1 = s * (1.5 - x0f);
        row[x0i + 1] += static_cast<float>(d * (a1 - a0));
        for (int32_t xi = x0i + 2; xi < x1i - 1; ++xi)
          row[xi] += static_cast<float>(d * s);
        const double a2 = a1 + (x1i - x0i - 3) * s;
        row[x1i - 1] += static_cast<float>(d * (1 - a2 - am));
      }
      row[x1i] += static_cast<float>(d * am);
    }
    x = xNext;
  }
}

void CoverageRasterizer::Resolve(bool antialias, CoverageMap* out) const {
  out->rect = bounds_;
  const int32_t w = std::max(0, bounds_.Width());
  const int32_t h = std::max(0, bounds_.Height());
  out->values.resize(static_cast<size_t>(w) * h);
  for (int32_t y = 0; y < h; ++y) {
    const float* row = cells_.data() + static_cast<size_t>(y) * stride_;
    uint8_t* dst = out->values.data() + static_cast<size_t>(y) * w;
    float sum = 0;
    for (int32_t x = 0; x < w; ++x) {
      sum += row[x];
      const float c = std::min(1.0f, std::fabs(sum));
      if (antialias) {
        dst[x] = static_cast<uint8_t>(c * 255.0f + 0.5f);
      } else {
        // A hair below one half still counts as half: float sums of exact halves drift.
        dst[x] = c >= 0.4999f ? 255 : 0;
      }
    }
  }
}

RectI ContourBounds(const std::vector<Contour>& contours) {
  double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
  for (const Contour& c : contours) {
    for (const PointF& p : c) {
      minX = std::min(minX, p.x);
      minY = std::min(minY, p.y);
      maxX = std::max(maxX, p.x);
      maxY = std::max(maxY, p.y);
    }
  }
  if (minX > maxX) return RectI{};
  auto clampInt = [](double v) { return static_cast<int32_t>(std::clamp(v, -1e9, 1e9)); };
  return RectI{clampInt(std::floor(minX)), clampInt(std::floor(minY)), clampInt(std::ceil(maxX)),
               clampInt(std::ceil(maxY))};
}

void RasterizeContours(const std::vector<Contour>& contours, const RectI& clip, bool antialias,
                       CoverageMap* out) {
  CoverageRasterizer r;
  RasterizeContours(contours, clip, antialias, &r, out);
}

void RasterizeContours(const std::vector<Contour>& contours, const RectI& clip, bool antialias,
                       CoverageRasterizer* rasterizer, CoverageMap* out) {
  const RectI b = ContourBounds(contours);
  const RectI area{std::max(b.left, clip.left), std::max(b.top, clip.top),
                   std::min(b.right, clip.right), std::min(b.bottom, clip.bottom)};
  if (area.Empty()) {
    out->rect = RectI{};
    out->values.clear();
    return;
  }
  rasterizer->Reset(area);
  for (const Contour& c : contours)
    rasterizer->AddContour(c);
  rasterizer->Resolve(antialias, out);
}

}  // namespace vk2::gfx
