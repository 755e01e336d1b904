#include "oru/graphics/canvas/shape_contours.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vk2::gfx {
namespace {

// Segments for an arc of `radius` pixels: chords stray at most 0.02 pixel from the curve.
int32_t ArcSegments(double radius, double sweep) {
  if (!(radius > 0.5)) return 4;
  const double step = 2 * std::acos(std::max(0.0, 1 - 0.02 / radius));
  const double n = std::ceil(sweep / step);
  if (!(n >= 2)) return 2;  // also for a sweep or radius that is not a number
  return n > 4096 ? 4096 : static_cast<int32_t>(n);
}

// Appends an elliptic arc from angle a0 to a1 (radians, screen angles: y grows downward) in n
// segments. Vertices sit a little outside the curve so that the chords keep its area.
void AppendArc(Contour* c, double cx, double cy, double rx, double ry, double a0, double a1,
               int32_t n) {
  const double grow = 1 + (1 - std::cos((a1 - a0) / n / 2)) * 2 / 3;
  for (int32_t i = 0; i <= n; ++i) {
    const double a = a0 + (a1 - a0) * i / n;
    c->push_back(PointF{cx + rx * grow * std::cos(a), cy + ry * grow * std::sin(a)});
  }
}

void AppendArc(Contour* c, double cx, double cy, double rx, double ry, double a0, double a1) {
  AppendArc(c, cx, cy, rx, ry, a0, a1, ArcSegments(std::max(rx, ry), std::fabs(a1 - a0)));
}

Contour Reversed(Contour c, bool reverse) {
  if (reverse) std::reverse(c.begin(), c.end());
  return c;
}

}  // namespace

Contour RectContour(const RectF& r, bool reverse) {
  return Reversed({{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom}, {r.left, r.bottom}},
                  reverse);
}

Contour RoundRectContour(const RectF& r, double radiusX, double radiusY, bool reverse) {
  const double rx = std::clamp(radiusX, 0.0, (r.right - r.left) / 2);
  const double ry = std::clamp(radiusY, 0.0, (r.bottom - r.top) / 2);
  if (rx <= 0 || ry <= 0) return RectContour(r, reverse);
  constexpr double kPi = std::numbers::pi;
  Contour c;
  AppendArc(&c, r.right - rx, r.top + ry, rx, ry, -kPi / 2, 0);
  AppendArc(&c, r.right - rx, r.bottom - ry, rx, ry, 0, kPi / 2);
  AppendArc(&c, r.left + rx, r.bottom - ry, rx, ry, kPi / 2, kPi);
  AppendArc(&c, r.left + rx, r.top + ry, rx, ry, kPi, 1.5 * kPi);
  return Reversed(std::move(c), reverse);
}

Contour EllipseContour(double cx, double cy, double rx, double ry, bool reverse) {
  Contour c;
  if (rx <= 0 || ry <= 0) return c;
  // A multiple of four segments keeps the outline symmetric about both axes.
  const int32_t n = (ArcSegments(std::max(rx, ry), 2 * std::numbers::pi) + 3) & ~3;
  AppendArc(&c, cx, cy, rx, ry, 0, 2 * std::numbers::pi, n);
  c.pop_back();  // the closing point repeats the first
  return Reversed(std::move(c), reverse);
}

std::vector<Contour> FrameRectContours(const RectF& r, double thicknessX, double thicknessY) {
  const RectF inner{r.left + thicknessX, r.top + thicknessY, r.right - thicknessX,
                    r.bottom - thicknessY};
  std::vector<Contour> out{RectContour(r)};
  if (inner.left < inner.right && inner.top < inner.bottom) {
    out.push_back(RectContour(inner, true));
  }
  return out;
}

std::vector<Contour> FrameRoundRectContours(const RectF& r, double radiusX, double radiusY,
                                            double thickness) {
  const RectF inner{r.left + thickness, r.top + thickness, r.right - thickness,
                    r.bottom - thickness};
  std::vector<Contour> out{RoundRectContour(r, radiusX, radiusY)};
  if (inner.left < inner.right && inner.top < inner.bottom) {
    out.push_back(RoundRectContour(inner, std::max(0.0, radiusX - thickness),
                                   std::max(0.0, radiusY - thickness), true));
  }
  return out;
}

std::vector<Contour> EllipseRingContours(double cx, double cy, double rx, double ry,
                                         double thickness) {
  const double half = thickness / 2;
  std::vector<Contour> out{EllipseContour(cx, cy, rx + half, ry + half)};
  if (rx - half > 0 && ry - half > 0) {
    out.push_back(EllipseContour(cx, cy, rx - half, ry - half, true));
  }
  return out;
}

Contour ThickLineContour(double x0, double y0, double x1, double y1, double thickness) {
  const double len = std::hypot(x1 - x0, y1 - y0);
  if (len <= 0 || thickness <= 0) return {};
  const double nx = -(y1 - y0) / len * thickness / 2;
  const double ny = (x1 - x0) / len * thickness / 2;
  return {{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}};
}

}  // namespace vk2::gfx
