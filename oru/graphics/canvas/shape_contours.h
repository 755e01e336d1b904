// Outlines of the canvas's shapes as contours for the coverage rasterizer. Filled shapes run
// clockwise on screen; the holes of frames and rings run the other way.
#pragma once

#include <vector>

#include "interfaces/graphics/surface.h"
#include "oru/graphics/canvas/coverage_rasterizer.h"

namespace vk2::gfx {

Contour RectContour(const RectF& r, bool reverse = false);
// Radii are capped at half the rectangle's sides.
Contour RoundRectContour(const RectF& r, double radiusX, double radiusY, bool reverse = false);
Contour EllipseContour(double cx, double cy, double rx, double ry, bool reverse = false);

// A rectangle's border `thicknessX` wide at the sides and `thicknessY` at top and bottom, drawn
// inside the rectangle.
std::vector<Contour> FrameRectContours(const RectF& r, double thicknessX, double thicknessY);
std::vector<Contour> FrameRoundRectContours(const RectF& r, double radiusX, double radiusY,
                                            double thickness);
// A ring centred on the ellipse's outline, `thickness` wide.
std::vector<Contour> EllipseRingContours(double cx, double cy, double rx, double ry,
                                         double thickness);
// A band `thickness` wide along the segment, with square-cut ends.
Contour ThickLineContour(double x0, double y0, double x1, double y1, double thickness);

}  // namespace vk2::gfx
