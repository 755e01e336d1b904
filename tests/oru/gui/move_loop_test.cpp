// The drag, pan and size loops driven by presses on parts whose hit codes carry an action.
#include <gtest/gtest.h>

#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

class MoveLoopTest : public GuiTest {
 protected:
  void SetUp() override {
    root_ = RecordingPart::Make(0xFF000000);
    host_ = MakeHost(root_.Get(), RectI{100, 100, 300, 250});
    window_ = host_->BackendWindow();
  }
  // Press at (x, y), move by (dx, dy) in two steps, release; one loop turn per event so the
  // window-relative coordinates follow the moving host as a window system's would.
  void Drag(int32_t x, int32_t y, int32_t dx, int32_t dy) {
    RectI start;
    host_->GetScreenRect(&start);
    const PointI screen{start.left + x, start.top + y};
    backend_->Press(window_, x, y);
    Turn();
    for (int step = 1; step <= 2; ++step) {
      RectI now;
      host_->GetScreenRect(&now);
      backend_->MoveTo(window_, screen.x + dx * step / 2 - now.left,
                       screen.y + dy * step / 2 - now.top);
      Turn();
    }
    RectI now;
    host_->GetScreenRect(&now);
    backend_->ReleaseButton(window_, screen.x + dx - now.left, screen.y + dy - now.top);
    Turn();
  }
  RectI ScreenRect() {
    RectI r;
    host_->GetScreenRect(&r);
    return r;
  }

  RefPtr<RecordingPart> root_;
  RefPtr<HostWindowObject> host_;
  uint32_t window_ = 0;
};

struct DragCase {
  int32_t code;
  PointI expectedTopLeft;
};

TEST_F(MoveLoopTest, DragCodesMoveTheHostAlongTheirAxes) {
  for (const DragCase& c : {DragCase{kHitDrag, {130, 120}}, DragCase{kHitDragX, {130, 100}},
                            DragCase{kHitDragY, {100, 120}}}) {
    SCOPED_TRACE(c.code);
    const RectI start{100, 100, 300, 250};
    host_->SetScreenRect(&start);
    root_->hitCode = kHitActive | c.code;
    Drag(20, 20, 30, 20);
    EXPECT_EQ(ScreenRect(), (RectI{c.expectedTopLeft.x, c.expectedTopLeft.y,
                                   c.expectedTopLeft.x + 200, c.expectedTopLeft.y + 150}));
    EXPECT_EQ(backend_->Window(window_).rect, ScreenRect());
    EXPECT_FALSE(host_->InMoveLoop());
  }
}

TEST_F(MoveLoopTest, ChildDragMovesThePartInsideItsParent) {
  RefPtr<RecordingPart> child = AddChild(root_.Get(), 10, 10, 50, 50);
  child->hitCode = kHitActive | kHitDrag;
  Turn();
  Drag(20, 20, 15, 5);
  EXPECT_EQ(child->Location(), (PointI{25, 15}));
  EXPECT_EQ(ScreenRect().left, 100);
}

struct SizeCase {
  int32_t code;
  RectI expected;  // from (100, 100, 300, 250) after dragging by (+20, +10)
};

TEST_F(MoveLoopTest, SizeCodesMoveTheirEdgesAndPinTheOthers) {
  for (const SizeCase& c :
       {SizeCase{kHitSizeBottomRight, {100, 100, 320, 260}},
        SizeCase{kHitSizeRight, {100, 100, 320, 250}}, SizeCase{kHitSizeLeft, {120, 100, 300, 250}},
        SizeCase{kHitSizeTopLeft, {120, 110, 300, 250}},
        SizeCase{kHitSizeBottom, {100, 100, 300, 260}}}) {
    SCOPED_TRACE(c.code);
    RectI start{100, 100, 300, 250};
    host_->SetScreenRect(&start);
    root_->hitCode = kHitActive | c.code;
    Drag(100, 75, 20, 10);
    EXPECT_EQ(ScreenRect(), c.expected);
  }
}

TEST_F(MoveLoopTest, SizeRespectsTheMinimumAndKeepsTheOppositeEdge) {
  root_->minSize = SizeI{190, 140};
  root_->hitCode = kHitActive | kHitSizeTopLeft;
  Drag(5, 5, 50, 50);
  EXPECT_EQ(ScreenRect(), (RectI{110, 110, 300, 250}));
}

TEST_F(MoveLoopTest, PanCodeScrollsTheVirtualArea) {
  root_->SetVirtualSize(SizeI{400, 150});
  root_->hitCode = kHitActive | kHitPanX;
  Drag(150, 50, -50, -40);
  EXPECT_EQ(root_->Pan(), (PointI{50, 0}));
}

TEST_F(MoveLoopTest, StartDragCommandRunsTheLoopUntilRelease) {
  DragStartRecord record{kHitDrag, 10, 10, 1};
  ASSERT_EQ(root_->Self()->PostCommand(kCmdStartDrag, 0, 0, reinterpret_cast<uintptr_t>(&record),
                                       nullptr, 0, 0),
            0);
  Turn();
  EXPECT_TRUE(host_->InMoveLoop());
  backend_->MoveTo(window_, 20, 30);
  Turn();
  EXPECT_EQ(ScreenRect().left, 110);
  EXPECT_EQ(ScreenRect().top, 120);
  backend_->ReleaseButton(window_, 10, 10);
  Turn();
  EXPECT_FALSE(host_->InMoveLoop());
}

}  // namespace
}  // namespace vk2::gui::test
