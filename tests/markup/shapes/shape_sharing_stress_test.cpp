// A shape group shared by windows painting and hit-testing on several threads at once, each with
// rectangles of its own, so the mask is rebuilt under their feet: every answer stays right.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/markup/styles/style_fixture.h"

namespace vk2::test {
namespace {

TEST(ShapeSharingStressTest, ThreadsWithTheirOwnRectanglesGetTheirOwnAnswers) {
  InProcessMarkup services;
  StyleDocument doc(
      "<shape name=\"half\"><shape_rect offset=\"0,0,0,0\" alignment=\"0,0,0.5,1\"/></shape>"
      "<imagestyle name=\"s\"><color_fill color=\"#FF0000\" shape=\"half\"/></imagestyle>"
      "<hitstyle name=\"h\" default_hitcode=\"DRAG\"><hitcode type=\"LEFT\" shape=\"half\"/>"
      "</hitstyle>");
  RefPtr<markup::ImageStyleGroup> style = doc.Style(u"s");
  RefPtr<markup::HitStyle> hits = markup::FindHitStyle(doc.Scope(), u"h");
  ASSERT_TRUE(style && hits);
  std::atomic<int32_t> wrong{0};
  std::vector<std::thread> threads;
  for (int32_t t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      const int32_t side = 8 + 4 * t;
      TestCanvas canvas(side, side);
      for (int32_t i = 0; i < 200; ++i) {
        const RectI rect{0, 0, side, side};
        if (hits->HitCode(rect, 1, 1) != 0x7000u) ++wrong;
        if (hits->HitCode(rect, side - 1, 1) != 0x3000u) ++wrong;
        style->Draw(rect, canvas.get(), 1, {}, 1.0);
        if (canvas.At(0, side - 1) != 0xFFFF0000u || canvas.At(side - 1, 0) != 0) ++wrong;
      }
    });
  }
  for (auto& thread : threads)
    thread.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace vk2::test
