// Integer and real rectangles and points: left, top, right, bottom, right and bottom exclusive.
// Edge arithmetic wraps at 32 bits instead of overflowing, so coordinates from scripts and
// interface files cannot make it undefined.
#pragma once

#include <cstdint>

namespace vk2 {

namespace rect_detail {
constexpr int32_t Add(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}
constexpr int32_t Negate(int32_t a) {
  return static_cast<int32_t>(0u - static_cast<uint32_t>(a));
}
}  // namespace rect_detail

struct Point {
  int32_t x = 0;
  int32_t y = 0;

  constexpr Point operator-() const { return {rect_detail::Negate(x), rect_detail::Negate(y)}; }
  constexpr bool operator==(const Point&) const = default;
};

struct Rect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  constexpr int32_t Width() const { return rect_detail::Add(right, rect_detail::Negate(left)); }
  constexpr int32_t Height() const { return rect_detail::Add(bottom, rect_detail::Negate(top)); }
  constexpr bool IsEmpty() const { return right <= left || bottom <= top; }

  constexpr void Offset(int32_t dx, int32_t dy) {
    left = rect_detail::Add(left, dx);
    right = rect_detail::Add(right, dx);
    top = rect_detail::Add(top, dy);
    bottom = rect_detail::Add(bottom, dy);
  }
  // Adds the other rectangle's edges to these (grows or shrinks by a margin rectangle).
  constexpr Rect& operator+=(const Rect& o) {
    left = rect_detail::Add(left, o.left);
    top = rect_detail::Add(top, o.top);
    right = rect_detail::Add(right, o.right);
    bottom = rect_detail::Add(bottom, o.bottom);
    return *this;
  }
  // A copy moved by the negated point.
  constexpr Rect operator-(const Point& p) const {
    Rect r = *this;
    r.Offset(rect_detail::Negate(p.x), rect_detail::Negate(p.y));
    return r;
  }
  // Larger left/top, smaller right/bottom. No emptiness test: disjoint rectangles give an
  // inverted result, which callers that care test with IsEmpty or use ClipTo.
  constexpr void Intersect(const Rect& o) {
    if (o.left > left) left = o.left;
    if (o.top > top) top = o.top;
    if (o.right < right) right = o.right;
    if (o.bottom < bottom) bottom = o.bottom;
  }
  constexpr void Union(const Rect& o) {
    if (o.left < left) left = o.left;
    if (o.top < top) top = o.top;
    if (o.right > right) right = o.right;
    if (o.bottom > bottom) bottom = o.bottom;
  }
  // True when the rectangles share area; edges that only touch do not overlap.
  constexpr bool Overlaps(const Rect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  // The intersection when the rectangles overlap, else all four edges 0.
  constexpr void ClipTo(const Rect& o) {
    if (Overlaps(o)) {
      Intersect(o);
    } else {
      *this = Rect{};
    }
  }
  constexpr bool operator==(const Rect&) const = default;
};

struct DPoint {
  double x = 0;
  double y = 0;
  constexpr bool operator==(const DPoint&) const = default;
};

struct DRect {
  double left = 0;
  double top = 0;
  double right = 0;
  double bottom = 0;

  static constexpr DRect FromRect(const Rect& r) {
    return {static_cast<double>(r.left), static_cast<double>(r.top), static_cast<double>(r.right),
            static_cast<double>(r.bottom)};
  }
  constexpr DPoint Center() const { return {(left + right) / 2, (top + bottom) / 2}; }
  constexpr double Width() const { return right - left; }
  constexpr double Height() const { return bottom - top; }
  constexpr bool operator==(const DRect&) const = default;
};

}  // namespace vk2
