// Input through the part tree: hit testing in z order, transparent parts, disabled parts,
// queries climbing to the parent, clicks, double clicks, hover, focus, keys and file drops.
#include <gtest/gtest.h>

#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

class InputRoutingTest : public GuiTest {
 protected:
  void SetUp() override {
    root_ = RecordingPart::Make(0xFF000000);
    host_ = MakeHost(root_.Get(), RectI{100, 100, 300, 300});
    below_ = AddChild(root_.Get(), 10, 10, 100, 100);
    above_ = AddChild(root_.Get(), 50, 50, 100, 100);
    Turn();
    window_ = host_->BackendWindow();
  }
  void Click(int32_t x, int32_t y) {
    backend_->Click(window_, x, y);
    Turn();
  }

  RefPtr<RecordingPart> root_;
  RefPtr<HostWindowObject> host_;
  RefPtr<RecordingPart> below_;
  RefPtr<RecordingPart> above_;
  uint32_t window_ = 0;
};

TEST_F(InputRoutingTest, TopmostPartUnderThePointGetsTheClickInItsCoordinates) {
  above_->handles = {kQueryLeftDown, kQueryLeftUp};
  Click(60, 70);
  ASSERT_EQ(above_->CountQueries(kQueryLeftDown), 1);
  EXPECT_EQ(above_->queries.front().point, (PointI{10, 20}));
  EXPECT_EQ(above_->CountNotes(kNotifyClick), 1);
  EXPECT_EQ(below_->CountQueries(kQueryLeftDown), 0);
  EXPECT_EQ(below_->CountNotes(kNotifyClick), 0);
}

TEST_F(InputRoutingTest, TransparentPartLetsThePointThrough) {
  above_->hitCode = kHitNone;
  Click(60, 70);
  EXPECT_EQ(above_->CountQueries(kQueryLeftDown), 0);
  EXPECT_EQ(below_->CountNotes(kNotifyClick), 1);
}

TEST_F(InputRoutingTest, DisabledPartSwallowsThePointerAndDoesNothing) {
  above_->SetEnabled(false);
  Click(60, 70);
  EXPECT_EQ(above_->CountQueries(kQueryLeftDown), 0);
  EXPECT_EQ(above_->CountNotes(kNotifyClick), 0);
  EXPECT_EQ(below_->CountNotes(kNotifyClick), 0);
}

TEST_F(InputRoutingTest, UnhandledQueryClimbsToTheParentInItsCoordinates) {
  root_->handles = {kQueryRightDown};
  backend_->Press(window_, 60, 70, 2);
  Turn();
  ASSERT_EQ(above_->CountQueries(kQueryRightDown), 1);
  ASSERT_EQ(root_->CountQueries(kQueryRightDown), 1);
  EXPECT_EQ(root_->queries.back().point, (PointI{60, 70}));
  EXPECT_EQ(below_->CountQueries(kQueryRightDown), 0);
}

TEST_F(InputRoutingTest, ReleaseOutsideThePressedPartIsNoClick) {
  backend_->Press(window_, 60, 70);
  backend_->MoveTo(window_, 190, 190);
  backend_->ReleaseButton(window_, 190, 190);
  Turn();
  EXPECT_EQ(above_->CountQueries(kQueryLeftUp), 1);  // captured: the release still comes
  EXPECT_EQ(above_->CountNotes(kNotifyClick), 0);
}

TEST_F(InputRoutingTest, SecondClickWithinTheIntervalIsADoubleClick) {
  Click(60, 70);
  Step(300);
  Click(61, 71);
  EXPECT_EQ(above_->CountNotes(kNotifyDoubleClick), 1);
  Step(500);
  Click(60, 70);
  EXPECT_EQ(above_->CountNotes(kNotifyDoubleClick), 1);
}

TEST_F(InputRoutingTest, HoverEntersAndLeavesAlongTheTree) {
  backend_->MoveTo(window_, 60, 70);
  Turn();
  EXPECT_EQ(above_->CountNotes(kNotifyPointerTop), 1);
  EXPECT_EQ(above_->CountNotes(kNotifyPointer), 1);
  EXPECT_EQ(root_->CountNotes(kNotifyPointer), 1);
  EXPECT_TRUE(above_->State() & kStateHover);
  backend_->MoveTo(window_, 20, 20);
  Turn();
  EXPECT_EQ(above_->CountNotes(kNotifyPointer), 2);  // left
  EXPECT_FALSE(above_->State() & kStateHover);
  EXPECT_EQ(below_->CountNotes(kNotifyPointer), 1);
  EXPECT_EQ(root_->CountNotes(kNotifyPointer), 1);  // still inside the root
}

TEST_F(InputRoutingTest, FocusFollowsPressesOnFocusablePartsAndTakesKeysAndText) {
  above_->hitCode = kHitActive | kHitInputFocus;
  Click(60, 70);
  EXPECT_EQ(host_->GetFocus(), above_->Self());
  EXPECT_EQ(above_->CountNotes(kNotifyFocus), 1);
  backend_->Key(window_, 'a');
  backend_->Text(window_, u"a");
  Turn();
  EXPECT_EQ(above_->CountQueries(kQueryKeyDown), 1);
  EXPECT_EQ(above_->CountQueries(kQueryText), 1);
  below_->hitCode = kHitActive | kHitInputFocus;
  Click(20, 20);
  EXPECT_EQ(host_->GetFocus(), below_->Self());
  EXPECT_EQ(above_->CountNotes(kNotifyFocus), 2);  // lost
}

TEST_F(InputRoutingTest, DroppedFilesReachThePartUnderThePointAsOneList) {
  backend_->Drop(window_, 20, 20, {u"/tmp/a b.ogg", u"/tmp/\u00e9t\u00e9.wav"});
  Turn();
  ASSERT_EQ(below_->CountNotes(kNotifyFileDrop), 1);
  EXPECT_EQ(below_->dropped,
            (std::vector<std::u16string>{u"/tmp/a b.ogg", u"/tmp/\u00e9t\u00e9.wav"}));
}

TEST_F(InputRoutingTest, ShapedHostMissesOutsideItsRegion) {
  RefPtr<RecordingPart> shaped = RecordingPart::Make(0xFF00FF00);
  shaped->leftHalfRegion = true;
  RefPtr<HostWindowObject> host = MakeHost(shaped.Get(), RectI{0, 0, 40, 40});
  const HeadlessWindow w = backend_->Window(host->BackendWindow());
  ASSERT_TRUE(w.shaped);
  EXPECT_EQ(w.shape[10 * 40 + 10], 1);
  EXPECT_EQ(w.shape[10 * 40 + 30], 0);
  backend_->Click(host->BackendWindow(), 30, 10);
  Turn();
  EXPECT_EQ(shaped->CountNotes(kNotifyClick), 0);
  backend_->Click(host->BackendWindow(), 10, 10);
  Turn();
  EXPECT_EQ(shaped->CountNotes(kNotifyClick), 1);
}

}  // namespace
}  // namespace vk2::gui::test
