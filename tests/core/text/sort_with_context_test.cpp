#include "core/text/sort_with_context.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace vk2 {
namespace {

struct Context {
  int calls = 0;
  bool descending = false;
};

int CompareInts(const void* a, const void* b, void* context) {
  auto* ctx = static_cast<Context*>(context);
  ++ctx->calls;
  const int x = *static_cast<const int*>(a);
  const int y = *static_cast<const int*>(b);
  const int r = (x > y) - (x < y);
  return ctx->descending ? -r : r;
}

// A 12-byte element, so that the byte-wise swaps of odd sizes are exercised.
struct Wide {
  int32_t key;
  int32_t original;
  int32_t check;
};

int CompareWide(const void* a, const void* b, void* context) {
  if (context != reinterpret_cast<void*>(0x1234)) ADD_FAILURE() << "context lost";
  return static_cast<const Wide*>(a)->key - static_cast<const Wide*>(b)->key;
}

TEST(SortWithContext, SortsEveryShapeOfInputBothWays) {
  std::mt19937 random(7);
  for (int n : {0, 1, 2, 3, 8, 9, 10, 17, 100, 1000, 5000}) {
    for (int shape = 0; shape < 5; ++shape) {
      std::vector<int> v(n);
      for (int i = 0; i < n; ++i) {
        switch (shape) {
          case 0:
            v[i] = static_cast<int>(random() % 1000);
            break;
          case 1:
            v[i] = i;
            break;
          case 2:
            v[i] = n - i;
            break;
          case 3:
            v[i] = 5;
            break;
          default:
            v[i] = static_cast<int>(random() % 3);
            break;
        }
      }
      for (bool descending : {false, true}) {
        SCOPED_TRACE(testing::Message()
                     << "n=" << n << " shape=" << shape << " desc=" << descending);
        std::vector<int> expected = v;
        std::sort(expected.begin(), expected.end());
        if (descending) std::reverse(expected.begin(), expected.end());
        std::vector<int> got = v;
        Context ctx{0, descending};
        SortWithContext(got.data(), got.size(), sizeof(int), CompareInts, &ctx);
        EXPECT_EQ(got, expected);
        // Equal keys must not make the sort quadratic.
        if (n >= 1000) {
          EXPECT_LT(ctx.calls, 40 * n);
        }
      }
    }
  }
}

TEST(SortWithContext, MovesWholeRecordsAndPassesTheContext) {
  std::vector<Wide> v;
  for (int i = 0; i < 300; ++i)
    v.push_back({(i * 37) % 101, i, i * 3});
  SortWithContext(v.data(), v.size(), sizeof(Wide), CompareWide, reinterpret_cast<void*>(0x1234));
  for (size_t i = 0; i < v.size(); ++i) {
    EXPECT_EQ(v[i].check, v[i].original * 3);
    if (i > 0) {
      EXPECT_LE(v[i - 1].key, v[i].key);
    }
  }
}

TEST(SortWithContext, DegenerateArgumentsDoNothing) {
  int v[] = {3, 1, 2};
  Context ctx;
  SortWithContext(v, 3, 0, CompareInts, &ctx);
  SortWithContext(v, 1, sizeof(int), CompareInts, &ctx);
  SortWithContext(nullptr, 3, sizeof(int), CompareInts, &ctx);
  SortWithContext(v, 3, sizeof(int), nullptr, &ctx);
  EXPECT_EQ(ctx.calls, 0);
  EXPECT_EQ(v[0], 3);
}

}  // namespace
}  // namespace vk2
