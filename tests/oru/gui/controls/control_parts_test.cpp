// The button, fill-bar, spin-button and edit-box parts in a headless host: the pointer, the wheel,
// keys and the fake clock drive them as a person would.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "foundation/util/result.h"
#include "interfaces/gui/controls.h"
#include "oru/gui/controls/button_part.h"
#include "oru/gui/controls/edit_box_part.h"
#include "oru/gui/controls/fill_bar_part.h"
#include "oru/gui/controls/spin_button_part.h"
#include "oru/gui/loop/input_settings_object.h"
#include "tests/oru/gui/controls/control_part_fixture.h"

namespace vk2::gui::test {
namespace {

TEST_F(ControlPartTest, ButtonGoesThroughItsStatesUnderThePointer) {
  auto wrapper = Place(&ButtonPart::Create, 40, 20);
  auto* button = wrapper->Part<MButton>(kIID_MButton);
  SetInt(button, kPropButtonHover, 1);
  Move(30, 30);
  EXPECT_EQ(button->GetLogicState(), kButtonHover);
  Press(30, 30);
  EXPECT_EQ(button->GetLogicState(), kButtonPressed);
  Move(150, 80);
  EXPECT_EQ(button->GetLogicState(), kButtonPressedOutside);
  Move(30, 30);
  Release(30, 30);
  EXPECT_EQ(button->GetLogicState(), kButtonHover);
  EXPECT_EQ(wrapper->Count(kNotifyClick), 1);
  Move(150, 80);
  EXPECT_EQ(button->GetLogicState(), kButtonNormal);

  EXPECT_EQ(button->SetLogicState(4, 0), kErrOutOfRange);
  EXPECT_EQ(button->SetLogicState(3, 1), 0);
  EXPECT_EQ(button->GetLogicState(), 3);
  EXPECT_EQ(wrapper->Count(kNotifyClick), 2);  // asked to notify
}

TEST_F(ControlPartTest, HeldButtonRepeatsOnTheClock) {
  auto wrapper = Place(&ButtonPart::Create, 40, 20);
  auto* button = wrapper->Part<MButton>(kIID_MButton);
  button->SetRepeatDelay(kDefaultRepeatDelayMs);
  Press(30, 30);
  Step(149);
  EXPECT_EQ(wrapper->Count(kNotifyClick), 0);
  Step(1);
  EXPECT_EQ(wrapper->Count(kNotifyClick), 1);
  Step(50);
  Step(50);
  EXPECT_EQ(wrapper->Count(kNotifyClick), 3);
  Release(30, 30);
  EXPECT_EQ(wrapper->Count(kNotifyClick), 4);  // the release's own click
  Step(500);
  EXPECT_EQ(wrapper->Count(kNotifyClick), 4);
}

TEST_F(ControlPartTest, ToggleButtonFlipsOnClicks) {
  auto wrapper = Place(&ButtonPart::Create, 40, 20);
  auto* button = wrapper->Part<MButton>(kIID_MButton);
  SetInt(button, kPropButtonToggle, 1);
  button->SetStateCount(3);
  backend_->Click(window_, 30, 30);
  Turn();
  EXPECT_EQ(button->GetChecked(), 1);
  EXPECT_EQ(button->GetVisualState(), kButtonPressed);
  backend_->Click(window_, 30, 30);
  Turn();
  EXPECT_EQ(button->GetChecked(), 0);
  EXPECT_EQ(button->GetVisualState(), kButtonNormal);
}

TEST_F(ControlPartTest, FillBarFollowsThePointerAndReportsEachChange) {
  auto wrapper = Place(&FillBarPart::Create, 100, 10);
  auto* bar = wrapper->Part<MFillBar>(kIID_MFillBar);
  SetInt(bar, kPropPosMax, 200);
  Press(45, 25);  // 25 of 100 pixels along
  EXPECT_EQ(bar->GetIntPos(), 50);
  EXPECT_DOUBLE_EQ(bar->GetRealPos(), 0.25);
  Move(95, 25);
  EXPECT_EQ(bar->GetIntPos(), 150);
  Move(500, 25);  // past the end: held at the maximum
  EXPECT_EQ(bar->GetIntPos(), 200);
  Release(500, 25);
  EXPECT_EQ(wrapper->Count(kNotifyQueryPosChange), 3);
  EXPECT_EQ(wrapper->Count(kNotifyPosChange), 3);
  ASSERT_EQ(wrapper->Count(kNotifyPosFinalized), 1);
  for (const auto& note : wrapper->notes) {
    if (note.first == kNotifyPosFinalized) {
      EXPECT_EQ(note.second, 200u);
    }
  }

  PointI at{70, 5};
  int32_t position = -1;
  EXPECT_EQ(wrapper->Query(kQueryPositionAtPoint, reinterpret_cast<uintptr_t>(&at),
                           reinterpret_cast<uintptr_t>(&position), 0),
            1);
  EXPECT_EQ(position, 140);
}

TEST_F(ControlPartTest, FillBarChangesTheWrapperRefusesOrAltersDoNotHappenAsAsked) {
  auto wrapper = Place(&FillBarPart::Create, 100, 10);
  auto* bar = wrapper->Part<MFillBar>(kIID_MFillBar);
  wrapper->allowMoves = false;
  Press(70, 25);
  Release(70, 25);
  EXPECT_EQ(bar->GetIntPos(), 0);
  EXPECT_EQ(wrapper->Count(kNotifyPosChange), 0);
  wrapper->allowMoves = true;
  wrapper->forcedPosition = 10;
  Press(70, 25);
  EXPECT_EQ(bar->GetIntPos(), 10);
  Release(70, 25);
}

TEST_F(ControlPartTest, FillBarAnswersTheWheelKeysAndScripts) {
  auto wrapper = Place(&FillBarPart::Create, 100, 10);
  auto* bar = wrapper->Part<MFillBar>(kIID_MFillBar);
  PointI inside{10, 5};
  wrapper->Query(kQueryWheel, reinterpret_cast<uintptr_t>(&inside), 3, 0);
  EXPECT_EQ(bar->GetIntPos(), 3);
  KeyEvent key{kKeyPageUp, 0, 0};
  wrapper->Query(kQueryKeyDown, reinterpret_cast<uintptr_t>(&key), 0, 0);
  EXPECT_EQ(bar->GetIntPos(), 13);
  key.key = kKeyEnd;
  wrapper->Query(kQueryKeyDown, reinterpret_cast<uintptr_t>(&key), 0, 0);
  EXPECT_EQ(bar->GetIntPos(), 100);
  EXPECT_EQ(wrapper->Count(kNotifyPosFinalized), 3);

  EXPECT_EQ(bar->SetRealPos(1.5), kErrOutOfRange);
  EXPECT_EQ(bar->SetRealPos(0.5), 0);
  EXPECT_EQ(bar->GetIntPos(), 50);
  const int32_t changesBefore = wrapper->Count(kNotifyPosChange);
  bar->SetIntPos(70);  // a script's change is no user's: nothing is asked or told
  EXPECT_EQ(wrapper->Count(kNotifyPosChange), changesBefore);

  bar->SetVertical(1);  // the minimum at the top, as the markup's layout draws it
  PointI nearTop{50, 1};
  PointI nearBottom{50, 9};
  EXPECT_EQ(bar->IntPosAtPoint(&nearTop), 10);
  EXPECT_EQ(bar->IntPosAtPoint(&nearBottom), 90);
  PointI centre;
  bar->HandleCentre(&centre, 0, 0.5, 0, 0, 0);
  EXPECT_EQ(centre, (PointI{50, 5}));
}

TEST_F(ControlPartTest, EditBoxTakesFocusTypedTextKeysAndTheClipboard) {
  auto wrapper = Place(&EditBoxPart::Create, 100, 16);
  auto* edit = wrapper->Part<MEditBox>(kIID_MEditBox);
  edit->SetText(u"hello");
  backend_->Click(window_, 30, 25);
  Turn();
  EXPECT_TRUE(backend_->TextInputEnabled());
  EXPECT_EQ(edit->CaretVisible(), 1);
  Step(kCaretBlinkMs);
  EXPECT_EQ(edit->CaretVisible(), 0);  // blinking on the clock
  backend_->Text(window_, u" world");
  Turn();
  EXPECT_EQ(edit->CaretVisible(), 1);  // typing shows the caret at once
  TString text;
  edit->GetText(&text);
  EXPECT_EQ(text.view(), u"hello world");
  EXPECT_EQ(wrapper->Count(kNotifyEditChanged), 1);

  backend_->Key(window_, kKeyHome, kModShift);
  Turn();
  backend_->Key(window_, 'c', kModCtrl);
  Turn();
  EXPECT_EQ(backend_->ClipboardText(), u"hello world");
  backend_->Key(window_, kKeyEnd, 0);
  backend_->Key(window_, 'v', kModCtrl);
  Turn();
  edit->GetText(&text);
  EXPECT_EQ(text.view(), u"hello worldhello world");
  backend_->Key(window_, kKeyEnter, 0);
  Turn();
  EXPECT_EQ(wrapper->Count(kNotifyEditEnter), 1);

  edit->SetSecret(1);
  edit->SetSelection(0, 5);
  backend_->SetClipboardText(u"kept");
  backend_->Key(window_, 'x', kModCtrl);  // a secret is never copied out, nor cut
  Turn();
  EXPECT_EQ(backend_->ClipboardText(), u"kept");
  int32_t start = -1;
  int32_t end = -1;
  edit->GetSelection(&start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 5);

  wrapper->SetFocus(0);
  Turn();
  EXPECT_EQ(edit->CaretVisible(), 0);
  EXPECT_FALSE(backend_->TextInputEnabled());
}

TEST_F(ControlPartTest, SpinButtonFollowsVerticalDragsStepByStepAndWraps) {
  auto wrapper = Place(&SpinButtonPart::Create, 30, 30);
  auto* spin = wrapper->Part<MSpinButton>(kIID_MSpinButton);
  SetInt(spin, kPropPosMax, 50);
  SetInt(spin, kPropKnobSensitivity, 2);
  Press(35, 35);
  EXPECT_EQ(spin->GetIntPos(), 0);  // a press alone does not move a spinner
  Move(35, 25);                     // 10 pixels up: 5 steps
  EXPECT_EQ(spin->GetIntPos(), 5);
  Move(35, 200);  // far down: held at the minimum
  EXPECT_EQ(spin->GetIntPos(), 0);
  Release(35, 200);
  EXPECT_EQ(wrapper->Count(kNotifyPosChange), 2);
  EXPECT_EQ(wrapper->Count(kNotifyPosFinalized), 1);

  SetInt(spin, kPropPosWrap, 1);
  Press(35, 35);
  Move(35, 37);  // one step down from the minimum wraps to the maximum
  EXPECT_EQ(spin->GetIntPos(), 50);
  Release(35, 37);

  PointI inside{10, 10};
  wrapper->Query(kQueryWheel, reinterpret_cast<uintptr_t>(&inside), 2, 0);
  EXPECT_EQ(spin->GetIntPos(), 1);  // wraps on past the maximum
  KeyEvent key{kKeyEnd, 0, 0};
  wrapper->Query(kQueryKeyDown, reinterpret_cast<uintptr_t>(&key), 0, 0);
  EXPECT_EQ(spin->GetIntPos(), 50);

  wrapper->allowMoves = false;  // the wrapper refuses: nothing moves
  key.key = kKeyHome;
  wrapper->Query(kQueryKeyDown, reinterpret_cast<uintptr_t>(&key), 0, 0);
  EXPECT_EQ(spin->GetIntPos(), 50);
}

TEST_F(ControlPartTest, RadialKnobUnderAngleControlFollowsThePointersAngle) {
  InputSettingsObject& settings = InputSettingsObject::Instance();
  settings.RegisterInt(kSettingRadialKnobControl, 0, kSettingTypeInteger);
  settings.SetInt(kSettingRadialKnobControl, 1);
  auto wrapper = Place(&SpinButtonPart::Create, 41, 41);  // centre (20, 20): (40, 40) in the host
  auto* spin = wrapper->Part<MSpinButton>(kIID_MSpinButton);
  SetInt(spin, kPropRadialKnob, 1);
  SetInt(spin, kPropRadialStart, 0);
  SetInt(spin, kPropRadialStop, 360);
  PointI centre;
  spin->KnobCentre(&centre);
  EXPECT_EQ(centre, (PointI{20, 20}));
  Press(55, 40);  // straight right of the centre: a quarter turn
  EXPECT_EQ(spin->GetIntPos(), 25);
  Move(40, 55);  // straight down: half a turn
  EXPECT_EQ(spin->GetIntPos(), 50);
  Release(40, 55);
  EXPECT_DOUBLE_EQ(spin->GetRealPos(), 0.5);

  // The knob's own angles: from -90 (left) to 90 (right) over the top.
  SetInt(spin, kPropRadialStart, -90);
  SetInt(spin, kPropRadialStop, 90);
  Press(40, 25);  // straight up: the middle
  EXPECT_EQ(spin->GetIntPos(), 50);
  Move(25, 42);  // in the gap, nearer the start: the minimum
  EXPECT_EQ(spin->GetIntPos(), 0);
  Release(25, 42);
  settings.SetInt(kSettingRadialKnobControl, 0);

  // Without angle control a radial knob drags like a spinner.
  Press(40, 40);
  Move(40, 30);
  EXPECT_EQ(spin->GetIntPos(), 10 / kDefaultKnobSensitivity);
  Release(40, 30);
}

TEST_F(ControlPartTest, EditBoxPlacesTheCaretWhereTheWrapperMeasuresThePointer) {
  auto wrapper = Place(&EditBoxPart::Create, 100, 16);
  auto* edit = wrapper->Part<MEditBox>(kIID_MEditBox);
  edit->SetText(u"hello world");
  edit->SetSelection(11, 11);
  backend_->Click(window_, 32, 25);  // nobody measures: the caret stays
  Turn();
  EXPECT_EQ(edit->GetCaret(), 11);

  // Six pixels a character, the index of the nearer edge.
  wrapper->caretIndexAt = [](PointI at) { return std::clamp((at.x + 3) / 6, 0, 11); };
  backend_->Click(window_, 32, 25);  // x 12 in the box
  Turn();
  int32_t start = -1;
  int32_t end = -1;
  edit->GetSelection(&start, &end);
  EXPECT_EQ(std::pair(start, end), std::pair(2, 2));
  Press(50, 25, kModShift);  // Shift extends from the anchor
  Release(50, 25);
  edit->GetSelection(&start, &end);
  EXPECT_EQ(std::pair(start, end), std::pair(2, 5));
  Press(26, 25);  // a drag selects from the press
  Move(62, 25);
  Move(500, 25);
  Release(500, 25);
  edit->GetSelection(&start, &end);
  EXPECT_EQ(std::pair(start, end), std::pair(1, 11));
  Move(30, 25);  // released: moves no longer select
  edit->GetSelection(&start, &end);
  EXPECT_EQ(std::pair(start, end), std::pair(1, 11));
  EXPECT_EQ(edit->CaretVisible(), 1);
}

}  // namespace
}  // namespace vk2::gui::test
