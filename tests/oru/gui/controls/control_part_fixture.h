// A control part wrapped as a markup control would wrap it, placed in a headless host, and the
// pointer helpers its tests drive it with.
#pragma once

#include "tests/oru/gui/controls/recording_wrapper.h"
#include "tests/oru/gui/support/gui_test_fixture.h"

namespace vk2::gui::test {

class ControlPartTest : public GuiTest {
 protected:
  // A wrapped part at (20, 20) sized w x h in a 200 x 100 host at (0, 0).
  RefPtr<RecordingWrapper> Place(RecordingWrapper::PartFactory factory, int32_t w, int32_t h) {
    root_ = RecordingPart::Make(0xFF000000);
    host_ = MakeHost(root_.Get(), RectI{0, 0, 200, 100});
    RefPtr<RecordingWrapper> wrapper = RecordingWrapper::Make(factory);
    WindowPart* core = WindowPart::FromElement(wrapper.Get());
    core->SetLocation(PointI{20, 20});
    core->SetSize(SizeI{w, h});
    EXPECT_EQ(root_->AttachChild(wrapper.Get(), kPlaceModeTop), 0);
    Turn();
    window_ = host_->BackendWindow();
    return wrapper;
  }
  void SetInt(MWindowElement* part, const char16_t* name, int32_t value) {
    PropertyValue v;
    v.type = kPropertyInteger;
    v.integer = value;
    part->SetProperty(name, kPropertyInteger, &v);
  }
  void Press(int32_t x, int32_t y, uint32_t modifiers = 0) {
    backend_->Press(window_, x, y, 1, modifiers);
    Turn();
  }
  void Release(int32_t x, int32_t y) {
    backend_->ReleaseButton(window_, x, y);
    Turn();
  }
  void Move(int32_t x, int32_t y) {
    backend_->MoveTo(window_, x, y);
    Turn();
  }

  RefPtr<RecordingPart> root_;
  RefPtr<HostWindowObject> host_;
  uint32_t window_ = 0;
};

}  // namespace vk2::gui::test
