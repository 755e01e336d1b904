// The status line's levels and timing on the fake clock, records from another thread, and the
// drawing of texts and progress bars.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gui/status_bar/status_drawing.h"
#include "gui/status_bar/status_line.h"
#include "platform/fake_clock.h"
#include "tests/gui/views/view_fakes.h"
#include "tests/oru/graphics/canvas/canvas_fixture.h"

namespace vk2::gui {
namespace {

StatusRecord Text(const char16_t* text, uint32_t level) {
  StatusRecord record;
  record.kind = kStatusText;
  record.subKind = level;
  record.text = text;
  return record;
}

class StatusLineTest : public ::testing::Test {
 protected:
  std::string Shown() { return Utf8(line_.Shown().text).c_str(); }

  FakeClock clock_{5000};
  std::atomic<int> repaints_{0};
  StatusLine line_{clock_, [this] { ++repaints_; }};
};

TEST_F(StatusLineTest, AHigherLevelShowsForThreeSecondsThenTheRestingLineReturns) {
  line_.OnStatus(Text(u"Ready", 0));
  EXPECT_EQ(Shown(), "Ready");
  line_.OnStatus(Text(u"Buffering", 2));
  EXPECT_EQ(Shown(), "Buffering");
  EXPECT_EQ(repaints_, 2);
  clock_.Advance(3000);
  line_.Tick();
  EXPECT_EQ(Shown(), "Buffering");  // not yet more than 3000 ms
  clock_.Advance(1);
  line_.Tick();
  EXPECT_EQ(Shown(), "Ready");
  EXPECT_EQ(line_.Level(), 0u);
  EXPECT_EQ(repaints_, 3);
}

TEST_F(StatusLineTest, LowerLevelsAreDroppedAndEqualLevelsRestartTheTime) {
  line_.OnStatus(Text(u"Ready", 0));
  line_.OnStatus(Text(u"Error", 2));
  line_.OnStatus(Text(u"Progress", 1));  // dropped, never shown later
  EXPECT_EQ(Shown(), "Error");
  clock_.Advance(2000);
  line_.OnStatus(Text(u"Second error", 2));
  clock_.Advance(2000);
  line_.Tick();
  EXPECT_EQ(Shown(), "Second error");
  // A resting record while a higher one shows is kept for later.
  line_.OnStatus(Text(u"Paused", 0));
  EXPECT_EQ(Shown(), "Second error");
  clock_.Advance(1001);
  line_.Tick();
  EXPECT_EQ(Shown(), "Paused");
}

TEST_F(StatusLineTest, ProgressRecordsKeepBothTextsAndTheFraction) {
  StatusRecord record;
  record.kind = kStatusValue;
  record.subKind = 1;
  record.text = u"Loading";
  record.rightText = u"50%";
  record.fraction = 0.5;
  line_.OnStatus(record);
  const StatusMessage shown = line_.Shown();
  EXPECT_EQ(shown.kind, kStatusValue);
  EXPECT_EQ(Utf8(shown.rightText), "50%");
  EXPECT_EQ(shown.fraction, 0.5);
  // Records of other kinds are not status lines.
  StatusRecord other;
  other.kind = 7;
  other.subKind = 5;
  line_.OnStatus(other);
  EXPECT_EQ(line_.Shown().kind, kStatusValue);
}

TEST_F(StatusLineTest, RecordsFromOtherThreadsWhileTheLineIsRead) {
  // Writers post on their own threads as the bridge and the worker do; the reader never waits
  // for them to finish a line it cannot see.
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    while (!stop) {
      const StatusMessage shown = line_.Shown();
      EXPECT_TRUE(shown.kind == 0 || shown.text.Length() > 0);
    }
  });
  std::vector<std::thread> writers;
  for (int w = 0; w < 3; ++w) {
    writers.emplace_back([&, w] {
      for (int i = 0; i < 300; ++i) {
        line_.OnStatus(
            Text(TString::Format(u"w%d-%d", w, i).c_str(), static_cast<uint32_t>(i % 3)));
        line_.Tick();
      }
    });
  }
  for (std::thread& writer : writers)
    writer.join();
  stop = true;
  reader.join();
  line_.OnStatus(Text(u"Final", 0));
  clock_.Advance(3001);
  line_.Tick();
  EXPECT_EQ(Shown(), "Final");
}

class StatusDrawingTest : public ::testing::Test {
 protected:
  StatusDrawingTest() {
    style_.progressFill = RefPtr<MImageStyleDrawing>(new test::SolidImage(kFill));
    style_.progressEmpty = RefPtr<MImageStyleDrawing>(new test::SolidImage(kEmpty));
    style_.colour = 0xFF123456;
    style_.justification = kTextHCenter | kTextVCenter;
  }
  StatusMessage Progress(double fraction) {
    StatusMessage message;
    message.kind = kStatusValue;
    message.subKind = 1;
    message.text = u"ab";        // 12 pixels
    message.rightText = u"cde";  // 18 pixels
    message.fraction = fraction;
    return message;
  }

  static constexpr uint32_t kBack = 0xFF000000;
  static constexpr uint32_t kFill = 0xFF00FF00;
  static constexpr uint32_t kEmpty = 0xFFFF0000;
  StatusBarStyle style_;
  RefPtr<test::FixedFont> font_{new test::FixedFont};
};

TEST_F(StatusDrawingTest, ATextLineIsDrawnInTheStatusArea) {
  gfx::testing::SmallCanvas canvas(100, 20, kBack);
  style_.statusOffset = {2, 1, -2, -1};
  StatusMessage message;
  message.kind = kStatusText;
  message.text = u"Playing";
  EXPECT_TRUE(DrawStatus(canvas.Get(), RectI{0, 0, 100, 20}, message, style_, font_.Get()));
  ASSERT_EQ(font_->drawn.size(), 1u);
  EXPECT_EQ(font_->drawn[0].text, "Playing");
  EXPECT_EQ(font_->drawn[0].rect.left, 2);
  EXPECT_EQ(font_->drawn[0].rect.bottom, 19);
  EXPECT_EQ(font_->drawn[0].flags, kTextHCenter | kTextVCenter);
  EXPECT_EQ(font_->drawn[0].colour, 0xFF123456u);
}

TEST_F(StatusDrawingTest, TheBarLiesBetweenTheTextsAndFillsByTheFraction) {
  struct Case {
    double fraction;
    int32_t fillPixels;   // per row
    int32_t emptyPixels;  // per row
  } cases[] = {{0.0, 0, 70}, {1.0, 70, 0}, {0.5, 35, 35}, {0.25, 17, 53}, {2.0, 70, 0}};
  for (const Case& c : cases) {
    gfx::testing::SmallCanvas canvas(100, 10, kBack);
    font_->drawn.clear();
    EXPECT_TRUE(
        DrawStatus(canvas.Get(), RectI{0, 0, 100, 10}, Progress(c.fraction), style_, font_.Get()));
    EXPECT_EQ(canvas.Count(kFill), c.fillPixels * 10) << c.fraction;
    EXPECT_EQ(canvas.Count(kEmpty), c.emptyPixels * 10) << c.fraction;
    if (c.fillPixels > 0) {
      EXPECT_EQ(canvas.At(12, 5), kFill);
    }
    if (c.emptyPixels > 0) {
      EXPECT_EQ(canvas.At(81, 5), kEmpty);
    }
    ASSERT_EQ(font_->drawn.size(), 2u);
    // The low four bits of the justification become 0 (left) and 1 (right).
    EXPECT_EQ(font_->drawn[0].flags, 0u);
    EXPECT_EQ(font_->drawn[1].flags, kTextRight);
  }
}

TEST_F(StatusDrawingTest, TheProgressOffsetMovesTheBar) {
  gfx::testing::SmallCanvas canvas(100, 10, kBack);
  style_.progressOffset = {2, 2, -2, -2};
  DrawStatus(canvas.Get(), RectI{0, 0, 100, 10}, Progress(1.0), style_, font_.Get());
  EXPECT_EQ(canvas.Count(kFill), 66 * 6);
  EXPECT_EQ(canvas.At(14, 2), kFill);
  EXPECT_EQ(canvas.At(14, 1), kBack);
  // No room for a bar: only the texts.
  gfx::testing::SmallCanvas narrow(30, 10, kBack);
  style_.progressOffset = {};
  font_->drawn.clear();
  DrawStatus(narrow.Get(), RectI{0, 0, 30, 10}, Progress(0.5), style_, font_.Get());
  EXPECT_EQ(narrow.Count(kFill) + narrow.Count(kEmpty), 0);
  EXPECT_EQ(font_->drawn.size(), 2u);
}

}  // namespace
}  // namespace vk2::gui
