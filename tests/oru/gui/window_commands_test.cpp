// Timed commands on the fake clock: start times, tween curves, take-over, cancel, holds,
// fades and their end notifications.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {
namespace {

class WindowCommandsTest : public GuiTest {
 protected:
  void SetUp() override {
    root_ = RecordingPart::Make(0xFF202020);
    host_ = MakeHost(root_.Get(), RectI{0, 0, 200, 200});
    part_ = AddChild(root_.Get(), 0, 0, 20, 20);
    Turn();
  }
  int32_t Post(uint32_t code, int32_t start, int32_t duration, const void* record,
               uint32_t options = 0) {
    return part_->Self()->PostCommand(code, start, duration, reinterpret_cast<uintptr_t>(record),
                                      nullptr, options, 0);
  }
  int32_t PostValue(uint32_t code, int32_t start, int32_t duration, uintptr_t value) {
    return part_->Self()->PostCommand(code, start, duration, value, nullptr, 0, 0);
  }

  RefPtr<RecordingPart> root_;
  RefPtr<HostWindowObject> host_;
  RefPtr<RecordingPart> part_;
};

struct CurveCase {
  int32_t curve;
  int32_t atHalf;  // x after 50 of 100 ms on the way from 0 to 100
};

TEST_F(WindowCommandsTest, LocationTweenFollowsItsCurveAndEndsExactly) {
  for (const CurveCase& c :
       {CurveCase{kTweenLinear, 50}, CurveCase{kTweenAccelerate, 25},
        CurveCase{kTweenDecelerate, 75}, CurveCase{kTweenSmooth, 50}, CurveCase{99, 50}}) {
    SCOPED_TRACE(c.curve);
    part_->SetLocation(PointI{0, 0});
    const TweenRecord record = PointTween(100, 40, c.curve);
    ASSERT_EQ(Post(kCmdLocation, 0, 100, &record), 0);
    Step(0);
    EXPECT_EQ(part_->Location(), (PointI{0, 0}));
    Step(50);
    EXPECT_EQ(part_->Location().x, c.atHalf);
    Step(40);
    EXPECT_LT(part_->Location().x, 100);
    Step(10);
    EXPECT_EQ(part_->Location(), (PointI{100, 40}));
    EXPECT_EQ(part_->PendingCommandCount(), 0u);
  }
}

TEST_F(WindowCommandsTest, BounceEndsOnTheTargetAndNeverLeavesTheRange) {
  const TweenRecord record = PointTween(100, 0, kTweenBounce);
  ASSERT_EQ(Post(kCmdLocation, 0, 100, &record), 0);
  Step(0);
  for (int i = 0; i < 10; ++i) {
    Step(10);
    EXPECT_GE(part_->Location().x, 0);
    EXPECT_LE(part_->Location().x, 100);
  }
  EXPECT_EQ(part_->Location().x, 100);
}

TEST_F(WindowCommandsTest, AParentHearsOfItsChildsNewPlaceAndNewSize) {
  const auto heard = [&] {
    return std::count_if(root_->childNotes.begin(), root_->childNotes.end(),
                         [&](const Received& note) {
                           return note.code == kNotifyLocationChanged &&
                                  note.argument == reinterpret_cast<uintptr_t>(part_->Outer());
                         });
  };
  root_->childNotes.clear();
  part_->SetSize(SizeI{30, 20});
  EXPECT_EQ(heard(), 1);
  part_->SetSize(SizeI{30, 20});  // no change, no word
  EXPECT_EQ(heard(), 1);
  part_->SetLocation(PointI{5, 5});
  EXPECT_EQ(heard(), 2);
}

TEST_F(WindowCommandsTest, CommandWaitsForItsStartTime) {
  const TweenRecord record = PointTween(60, 60);
  ASSERT_EQ(Post(kCmdLocation, 100, 0, &record), 0);
  Step(99);
  EXPECT_EQ(part_->Location(), (PointI{0, 0}));
  Step(1);
  EXPECT_EQ(part_->Location(), (PointI{60, 60}));
}

TEST_F(WindowCommandsTest, LaterTweenTakesOverFromWhereTheFirstStands) {
  const TweenRecord first = PointTween(100, 0);
  const TweenRecord second = PointTween(0, 0);
  ASSERT_EQ(Post(kCmdLocation, 0, 100, &first, kCmdOptNotifyEnd), 0);
  ASSERT_EQ(Post(kCmdLocation, 50, 100, &second), 0);
  Step(0);
  Step(50);  // the first stands at 50 when the second starts from there
  EXPECT_EQ(part_->Location().x, 50);
  Step(50);
  EXPECT_EQ(part_->Location().x, 25);
  ASSERT_EQ(part_->CountNotes(kNotifyCommandEnd), 1);
  Step(50);
  EXPECT_EQ(part_->Location().x, 0);
}

TEST_F(WindowCommandsTest, RelativeModeAddsToTheCurrentValue) {
  part_->SetLocation(PointI{10, 10});
  TweenRecord record = PointTween(5, -5);
  record.mode |= kTweenRelativeLocation;
  ASSERT_EQ(Post(kCmdLocation, 0, 0, &record), 0);
  Step(0);
  EXPECT_EQ(part_->Location(), (PointI{15, 5}));
}

TEST_F(WindowCommandsTest, CancelRemovesPendingCommandsAndReportsThem) {
  const TweenRecord record = PointTween(80, 80);
  ASSERT_EQ(Post(kCmdLocation, 100, 0, &record, kCmdOptNotifyEnd), 0);
  ASSERT_EQ(Post(kCmdSize, 100, 0, &record), 0);
  EXPECT_EQ(part_->Self()->CancelCommands(kCmdLocation, 0, -1, 0, 10, nullptr, 0), 1);
  EXPECT_EQ(part_->CountNotes(kNotifyCommandEnd), 1);
  Step(200);
  EXPECT_EQ(part_->Location(), (PointI{0, 0}));
  EXPECT_EQ(part_->Size(), (SizeI{80, 80}));
}

TEST_F(WindowCommandsTest, CancelOnlyTouchesTheGivenStartRange) {
  const TweenRecord early = PointTween(10, 10);
  const TweenRecord late = PointTween(90, 90);
  ASSERT_EQ(Post(kCmdLocation, 10, 0, &early), 0);
  ASSERT_EQ(Post(kCmdLocation, 500, 0, &late), 0);
  EXPECT_EQ(part_->Self()->CancelCommands(kCmdLocation, 100, -1, 0, 0, nullptr, 0), 1);
  Step(1000);
  EXPECT_EQ(part_->Location(), (PointI{10, 10}));
}

TEST_F(WindowCommandsTest, HeldWindowStartsNothingUntilReleased) {
  const TweenRecord record = PointTween(30, 30);
  part_->Self()->HoldUpdates(1);
  ASSERT_EQ(Post(kCmdLocation, 0, 0, &record), 0);
  Step(100);
  EXPECT_EQ(part_->Location(), (PointI{0, 0}));
  part_->Self()->HoldUpdates(0);
  Step(0);
  EXPECT_EQ(part_->Location(), (PointI{30, 30}));
}

TEST_F(WindowCommandsTest, PropertyTweenMovesADoubleProperty) {
  PropertyValue one;
  one.number = 1.0;
  part_->Self()->SetProperty(u"mml_opacity", kPropertyDouble, &one);
  PropertyTweenRecord record;
  record.name = "mml_opacity";
  record.to = 0.0;
  ASSERT_EQ(Post(kCmdPropertyTween, 0, 100, &record), 0);
  Step(0);
  Step(25);
  PropertyValue value;
  ASSERT_EQ(part_->Self()->GetProperty(u"mml_opacity", &value), 0);
  EXPECT_EQ(value.type, kPropertyDouble);
  EXPECT_DOUBLE_EQ(value.number, 0.75);
  Step(75);
  part_->Self()->GetProperty(u"mml_opacity", &value);
  EXPECT_DOUBLE_EQ(value.number, 0.0);
}

TEST_F(WindowCommandsTest, HideFadesOutThenHidesAndRestoresOpacity) {
  ASSERT_EQ(PostValue(kCmdShow, 0, 100, 0), 0);
  Step(0);
  Step(50);
  EXPECT_TRUE(part_->IsVisible());
  EXPECT_EQ(part_->Opacity(), 128);
  Step(50);
  EXPECT_FALSE(part_->IsVisible());
  EXPECT_EQ(part_->Opacity(), 256);
  EXPECT_EQ(part_->CountNotes(kNotifyHidden), 1);
  ASSERT_EQ(PostValue(kCmdShow, 0, 100, 1), 0);
  Step(0);
  EXPECT_TRUE(part_->IsVisible());
  EXPECT_EQ(part_->Opacity(), 0);
  Step(100);
  EXPECT_EQ(part_->Opacity(), 256);
  EXPECT_EQ(part_->CountNotes(kNotifyShown), 1);
}

TEST_F(WindowCommandsTest, DestroyFadesAndNotifiesAtTheEnd) {
  ASSERT_EQ(PostValue(kCmdDestroy, 0, 100, 0), 0);
  Step(0);
  Step(60);
  EXPECT_EQ(part_->CountNotes(kNotifyDestroyed), 0);
  EXPECT_LT(part_->Opacity(), 256);
  Step(40);
  EXPECT_EQ(part_->CountNotes(kNotifyDestroyed), 1);
  EXPECT_EQ(root_->ChildCount(), 0);
  EXPECT_EQ(part_->Host(), nullptr);
}

TEST_F(WindowCommandsTest, EnableAndDisableNotifyAndSetTheDisabledLook) {
  ASSERT_EQ(PostValue(kCmdEnable, 0, 0, 1), 0);
  Step(0);
  EXPECT_FALSE(part_->IsEnabled());
  EXPECT_TRUE(part_->State() & kStateDisabledLook);
  EXPECT_EQ(part_->CountNotes(kNotifyDisabled), 1);
  ASSERT_EQ(PostValue(kCmdEnable, 0, 0, 0), 0);
  Step(0);
  EXPECT_TRUE(part_->IsEnabled());
  EXPECT_EQ(part_->CountNotes(kNotifyEnabled), 1);
}

TEST_F(WindowCommandsTest, PlacementAnchorsToTheParentAndFollowsItsSize) {
  RefPtr<RecordingPart> placed = RecordingPart::Make();
  PlacementRecord record;
  record.parent = root_->Self();
  record.rect.offset[0] = 10;
  record.rect.offset[2] = -10;
  record.rect.alignment[2] = 1.0;
  record.rect.alignment[1] = 0.5;
  record.rect.alignment[3] = 1.0;
  record.flags = kPlaceVisible;
  record.mode = kPlaceModeChild;
  record.name = u"strip";
  ASSERT_EQ(placed->Self()->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&record),
                                        nullptr, 0, 0),
            0);
  Step(0);
  EXPECT_EQ(placed->Parent(), root_.Get());
  EXPECT_EQ(placed->Location(), (PointI{10, 100}));
  EXPECT_EQ(placed->Size(), (SizeI{180, 100}));
  EXPECT_EQ(placed->Name(), u"strip");
  root_->SetSize(SizeI{300, 100});
  EXPECT_EQ(placed->Location(), (PointI{10, 50}));
  EXPECT_EQ(placed->Size(), (SizeI{280, 50}));
  EXPECT_EQ(placed->CountNotes(kNotifyCreated), 1);
}

TEST_F(WindowCommandsTest, RecordsAreRequiredWhereTheCodeTakesOne) {
  EXPECT_LT(Post(kCmdLocation, 0, 0, nullptr), 0);
  EXPECT_LT(Post(kCmdPlacement, 0, 0, nullptr), 0);
  EXPECT_EQ(part_->PendingCommandCount(), 0u);
}

TEST_F(WindowCommandsTest, PanIsClampedToTheVirtualArea) {
  part_->SetVirtualSize(SizeI{100, 50});
  const TweenRecord record = PointTween(500, -5);
  ASSERT_EQ(Post(kCmdPan, 0, 0, &record), 0);
  Step(0);
  EXPECT_EQ(part_->Pan(), (PointI{80, 0}));
  SizeI extent;
  ASSERT_EQ(part_->Self()->GetValue(kValueVirtualSize, &extent, sizeof extent), 0);
  EXPECT_EQ(extent, (SizeI{100, 50}));
}

TEST_F(WindowCommandsTest, InitFollowsCreatedOnTheNextTurn) {
  RefPtr<RecordingPart> late = AddChild(root_.Get(), 0, 0, 5, 5);
  EXPECT_EQ(late->CountNotes(kNotifyCreated), 1);
  EXPECT_EQ(late->CountNotes(kNotifyInit), 0);
  Turn();
  EXPECT_EQ(late->CountNotes(kNotifyInit), 1);
  std::vector<uint32_t> order;
  for (const Received& r : late->notes) {
    if (r.code == kNotifyCreated || r.code == kNotifyAttached || r.code == kNotifyInit) {
      order.push_back(r.code);
    }
  }
  EXPECT_EQ(order, (std::vector<uint32_t>{kNotifyCreated, kNotifyAttached, kNotifyInit}));
}

}  // namespace
}  // namespace vk2::gui::test
