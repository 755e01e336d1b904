#include "foundation/util/rect.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace vk2 {

std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

struct PairCase {
  Rect a;
  Rect b;
  Rect intersect;
  Rect clip;
  Rect united;
};

TEST(RectTest, IntersectClipToAndUnion) {
  const PairCase cases[] = {
      // Overlapping.
      {{0, 0, 10, 10}, {5, 5, 20, 20}, {5, 5, 10, 10}, {5, 5, 10, 10}, {0, 0, 20, 20}},
      // Touching edges do not overlap: ClipTo empties, Intersect keeps its degenerate result.
      {{0, 0, 10, 10}, {10, 0, 20, 10}, {10, 0, 10, 10}, {0, 0, 0, 0}, {0, 0, 20, 10}},
      {{0, 0, 10, 10}, {0, 10, 10, 20}, {0, 10, 10, 10}, {0, 0, 0, 0}, {0, 0, 10, 20}},
      // Disjoint: Intersect has no emptiness test and leaves an inverted rectangle.
      {{0, 0, 10, 10}, {20, 30, 40, 50}, {20, 30, 10, 10}, {0, 0, 0, 0}, {0, 0, 40, 50}},
      // Containment.
      {{-5, -5, 5, 5}, {-1, -2, 3, 4}, {-1, -2, 3, 4}, {-1, -2, 3, 4}, {-5, -5, 5, 5}},
      // A zero-width rectangle inside another clips to itself, still empty.
      {{3, 3, 3, 8}, {0, 0, 10, 10}, {3, 3, 3, 8}, {3, 3, 3, 8}, {0, 0, 10, 10}},
      // ... and to nothing on the other's edge.
      {{10, 3, 10, 8}, {0, 0, 10, 10}, {10, 3, 10, 8}, {0, 0, 0, 0}, {0, 0, 10, 10}},
  };
  for (const PairCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.a << " with " << c.b);
    Rect r = c.a;
    r.Intersect(c.b);
    EXPECT_EQ(r, c.intersect);
    r = c.a;
    r.ClipTo(c.b);
    EXPECT_EQ(r, c.clip);
    r = c.a;
    r.Union(c.b);
    EXPECT_EQ(r, c.united);
    EXPECT_EQ(c.a.Overlaps(c.b), c.b.Overlaps(c.a));
  }
}

TEST(RectTest, MovesAndEdgeSums) {
  Rect r{1, 2, 3, 4};
  r.Offset(10, -20);
  EXPECT_EQ(r, (Rect{11, -18, 13, -16}));
  r += Rect{-1, -1, 1, 1};
  EXPECT_EQ(r, (Rect{10, -19, 14, -15}));
  EXPECT_EQ((r - Point{10, -19}), (Rect{0, 0, 4, 4}));
  EXPECT_EQ(r, (Rect{10, -19, 14, -15}));  // operator- makes a copy
  EXPECT_EQ((-Point{3, -4}), (Point{-3, 4}));
  EXPECT_EQ(r.Width(), 4);
  EXPECT_EQ(r.Height(), 4);
}

TEST(RectTest, EdgeArithmeticWrapsInsteadOfOverflowing) {
  Rect r{INT32_MAX - 1, 0, INT32_MAX, 1};
  r.Offset(2, 0);
  EXPECT_EQ(r.left, INT32_MIN);
  EXPECT_EQ(r.right, INT32_MIN + 1);
  EXPECT_EQ((-Point{INT32_MIN, 0}), (Point{INT32_MIN, 0}));
  EXPECT_EQ((Rect{INT32_MIN, 0, INT32_MAX, 0}).Width(), -1);
}

TEST(DRectTest, FromRectAndCenter) {
  const DRect d = DRect::FromRect(Rect{-3, 4, 8, 11});
  EXPECT_EQ(d, (DRect{-3.0, 4.0, 8.0, 11.0}));
  EXPECT_EQ(d.Center(), (DPoint{2.5, 7.5}));
  EXPECT_EQ(d.Width(), 11.0);
  const DRect big = DRect::FromRect(Rect{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
  EXPECT_EQ(big.Center(), (DPoint{-0.5, -0.5}));
}

}  // namespace
}  // namespace vk2
