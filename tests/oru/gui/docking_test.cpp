// Docking between hosts: a dragged slave snaps to a master point, follows its master, and
// undocks when pulled away, with notifications 32 on both sides.
#include <gtest/gtest.h>

#include "oru/gui/window/dock_point_object.h"
#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

class DockingTest : public GuiTest {
 protected:
  void SetUp() override {
    master_ = RecordingPart::Make(0xFF0000FF);
    slave_ = RecordingPart::Make(0xFFFF0000);
    masterHost_ = MakeHost(master_.Get(), RectI{0, 0, 100, 100});
    slaveHost_ = MakeHost(slave_.Get(), RectI{300, 0, 400, 100});
    // The master's right edge, top; the slave's left edge, top.
    AddPoint(master_.Get(), u"edge", 0, 0, 1.0, true);
    AddPoint(slave_.Get(), u"left", 0, 0, 0.0, false);
    slave_->hitCode = kHitActive | kHitDrag;
  }
  void AddPoint(RecordingPart* part, const char16_t* name, int32_t x, int32_t y, double alignX,
                bool master) {
    RefPtr<MDockPoint> point;
    ASSERT_EQ(DockPointObject::Create(&point), 0);
    DockPointRecord record{name, x, y, alignX, 0.0, master ? 1 : 0};
    ASSERT_EQ(point->Setup(&record), 0);
    ASSERT_EQ(part->Self()->AddDockPoint(point.Get(), master ? 1 : 0), 0);
  }
  // Drags the slave host so that its top-left goes to `to` (pointer held at (5, 5)).
  void DragSlaveTo(PointI to) {
    const uint32_t w = slaveHost_->BackendWindow();
    backend_->Press(w, 5, 5);
    Turn();
    const RectI now = slaveHost_->ScreenRect();
    backend_->MoveTo(w, to.x + 5 - now.left, to.y + 5 - now.top);
    Turn();
    const RectI after = slaveHost_->ScreenRect();
    backend_->ReleaseButton(w, to.x + 5 - after.left, to.y + 5 - after.top);
    Turn();
  }

  RefPtr<RecordingPart> master_;
  RefPtr<RecordingPart> slave_;
  RefPtr<HostWindowObject> masterHost_;
  RefPtr<HostWindowObject> slaveHost_;
};

TEST_F(DockingTest, SlaveSnapsWithinTheDistanceAndBothSidesAreTold) {
  DragSlaveTo(PointI{106, 4});
  EXPECT_EQ(slaveHost_->ScreenRect().left, 100);
  EXPECT_EQ(slaveHost_->ScreenRect().top, 0);
  ASSERT_EQ(slave_->dockChanges.size(), 1u);
  EXPECT_EQ(slave_->dockChanges[0].kind, 0);
  EXPECT_EQ(slave_->dockNames[0], u"edge");
  ASSERT_EQ(master_->dockChanges.size(), 1u);
  EXPECT_EQ(master_->dockChanges[0].kind, 2);
  EXPECT_EQ(master_->dockNames[0], u"left");
}

TEST_F(DockingTest, FarAwayDropDoesNotDock) {
  DragSlaveTo(PointI{130, 4});
  EXPECT_EQ(slaveHost_->ScreenRect().left, 130);
  EXPECT_TRUE(slave_->dockChanges.empty());
}

TEST_F(DockingTest, DockedSlaveFollowsItsMaster) {
  DragSlaveTo(PointI{103, 2});
  ASSERT_EQ(slaveHost_->ScreenRect().left, 100);
  master_->SetLocation(PointI{40, 60});
  EXPECT_EQ(slaveHost_->ScreenRect().left, 140);
  EXPECT_EQ(slaveHost_->ScreenRect().top, 60);
  Turn();
  EXPECT_EQ(backend_->Window(slaveHost_->BackendWindow()).rect.left, 140);
}

TEST_F(DockingTest, PullingAwayUndocks) {
  DragSlaveTo(PointI{103, 2});
  DragSlaveTo(PointI{200, 50});
  EXPECT_EQ(slaveHost_->ScreenRect().left, 200);
  ASSERT_EQ(slave_->dockChanges.size(), 2u);
  EXPECT_EQ(slave_->dockChanges[1].kind, 1);
  ASSERT_EQ(master_->dockChanges.size(), 2u);
  EXPECT_EQ(master_->dockChanges[1].kind, 3);
  master_->SetLocation(PointI{10, 10});
  EXPECT_EQ(slaveHost_->ScreenRect().left, 200);
}

TEST_F(DockingTest, HidingTheMasterUndocksItsSlaves) {
  DragSlaveTo(PointI{103, 2});
  master_->SetVisible(false);
  ASSERT_EQ(slave_->dockChanges.size(), 2u);
  EXPECT_EQ(slave_->dockChanges[1].kind, 1);
}

}  // namespace
}  // namespace vk2::gui::test
