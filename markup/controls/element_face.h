// A second face of a markup control: the GUI part's own interface (MButton, MFillBar, ...),
// which extends MWindowElement from slot 37. The control answers that interface id with this
// face; its window slots (0 to 36) go to the control's window element, so the control's own
// overrides answer whichever face is asked, and the slots from 37 are the subclass's.
//
//   class ButtonFace final : public ElementFace<MButton> { ...slots 37 to 45... };
//
// A member of the control rather than a base: the control then has one window element and its
// own code calls it without ambiguity.
#pragma once

#include <cstdint>

#include "component/object/aggregation.h"
#include "component/object/sub_object.h"
#include "interfaces/gui/window_element.h"

namespace vk2::markup {

template <class Interface>
class ElementFace : public SubObject<Interface> {
 public:
  // `control` is the markup control: its window element answers slots 3 to 36, and the face
  // counts and answers queries on the control's controlling unknown (its outer object when
  // aggregated), as every interface of an aggregated object does.
  template <class Control>
  explicit ElementFace(Control* control)
      : SubObject<Interface>(static_cast<AggregatableObject*>(control)->Controlling()),
        owner_(static_cast<MWindowElement*>(control)) {}
  virtual ~ElementFace() = default;

  int32_t InnerQueryInterface(const Guid& iid, void** out, uint32_t addRef,
                              uint32_t reserved) override {
    return owner_->InnerQueryInterface(iid, out, addRef, reserved);
  }
  uint32_t InnerAddRef() override { return owner_->InnerAddRef(); }
  uint32_t InnerRelease() override { return owner_->InnerRelease(); }
  int32_t PostCommand(uint32_t code, int32_t startMs, int32_t durationMs, uintptr_t data,
                      MWindowElement* sender, uint32_t options, uint32_t reserved) override {
    return owner_->PostCommand(code, startMs, durationMs, data, sender, options, reserved);
  }
  int32_t CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs, uintptr_t data,
                         uint32_t mode, MWindowElement* sender, uint32_t reserved) override {
    return owner_->CancelCommands(code, fromMs, untilMs, data, mode, sender, reserved);
  }
  int32_t AttachChild(MWindowElement* child, int32_t mode) override {
    return owner_->AttachChild(child, mode);
  }
  int32_t DetachChild(MWindowElement* child) override { return owner_->DetachChild(child); }
  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override {
    return owner_->Paint(canvas, record);
  }
  int32_t HitCode(const PointI* point) override { return owner_->HitCode(point); }
  int32_t Invalidate(const RectI* rect) override { return owner_->Invalidate(rect); }
  int32_t MapPoint(PointI* point, MWindowElement* to) override {
    return owner_->MapPoint(point, to);
  }
  int32_t Region(MMaskImage* target, int32_t width, int32_t height) override {
    return owner_->Region(target, width, height);
  }
  int32_t SetFocus(int32_t take) override { return owner_->SetFocus(take); }
  int32_t GetProperty(const char16_t* name, PropertyValue* out) override {
    return owner_->GetProperty(name, out);
  }
  int32_t GetValue(uint32_t id, void* buffer, uint32_t size) override {
    return owner_->GetValue(id, buffer, size);
  }
  int32_t Notify(uint32_t code, uintptr_t argument) override {
    return owner_->Notify(code, argument);
  }
  int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) override {
    return owner_->ChildNotify(code, child, argument);
  }
  int32_t SetValue(uint32_t id, const void* buffer, uint32_t size) override {
    return owner_->SetValue(id, buffer, size);
  }
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override {
    return owner_->Query(code, a, b, c);
  }
  int32_t CapturePointer(int32_t capture) override { return owner_->CapturePointer(capture); }
  int32_t ChildCount() override { return owner_->ChildCount(); }
  MWindowElement* ChildAt(int32_t index) override { return owner_->ChildAt(index); }
  int32_t HoldUpdates(int32_t hold) override { return owner_->HoldUpdates(hold); }
  int32_t AdoptCreator(MWindowElement* creator) override { return owner_->AdoptCreator(creator); }
  int32_t HasOwnContent() override { return owner_->HasOwnContent(); }
  int32_t GetHost(MHostWindow** out) override { return owner_->GetHost(out); }
  int32_t DestroyWindow() override { return owner_->DestroyWindow(); }
  int32_t AddDockPoint(MDockPoint* point, int32_t master) override {
    return owner_->AddDockPoint(point, master);
  }
  int32_t ClearDockPoints() override { return owner_->ClearDockPoints(); }
  int32_t RegionChanged() override { return owner_->RegionChanged(); }
  MWindowElement* Sibling(int32_t above) override { return owner_->Sibling(above); }
  int32_t PostTask(void (*callback)(void*), void* context) override {
    return owner_->PostTask(callback, context);
  }
  int32_t SetProperty(const char16_t* name, int32_t type, const PropertyValue* value) override {
    return owner_->SetProperty(name, type, value);
  }
  int32_t RemoveProperty(const char16_t* name) override { return owner_->RemoveProperty(name); }

 protected:
  // The control's window element.
  MWindowElement* Window() const { return owner_; }

 private:
  MWindowElement* owner_;
};

}  // namespace vk2::markup
