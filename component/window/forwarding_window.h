// Window elements that stand in front of another one (the GUI layer's part, or a wrapper in
// front of it) and hand it every window operation (slots 6 to 36) they do not handle themselves.
// Slots 3 to 5, the inner unknown, stay with the derived class, whose identity they are.
//
// `ForwardingWindowOf<Base>` forwards as it is asked; `Base` is MWindowElement, an interface
// derived from it, or a face of one (a second face of a control, a wrapper of a list view).
// `ForwardingWindow` is the plain window in front of a part: commands it passes on without a
// sender go out with itself as the sender.
//
//   class Wrapper : public ForwardingWindow {
//     MWindowElement* Behind() override { return part_; }
//     int32_t Paint(MCanvas* canvas, const PaintRecord* record) override { ... }
//   };
#pragma once

#include <cstdint>

#include "foundation/util/result.h"
#include "interfaces/gui/window_element.h"

namespace vk2 {

template <class Base>
class ForwardingWindowOf : public Base {
 public:
  using Base::Base;

  int32_t PostCommand(uint32_t code, int32_t startMs, int32_t durationMs, uintptr_t data,
                      MWindowElement* sender, uint32_t options, uint32_t reserved) override {
    MWindowElement* behind = Behind();
    return behind ? behind->PostCommand(code, startMs, durationMs, data, sender, options, reserved)
                  : kErrNotFound;
  }
  int32_t CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs, uintptr_t data,
                         uint32_t mode, MWindowElement* sender, uint32_t reserved) override {
    MWindowElement* behind = Behind();
    return behind ? behind->CancelCommands(code, fromMs, untilMs, data, mode, sender, reserved)
                  : kErrNotFound;
  }
  int32_t AttachChild(MWindowElement* child, int32_t placementMode) override {
    MWindowElement* behind = Behind();
    return behind ? behind->AttachChild(child, placementMode) : kErrNotFound;
  }
  int32_t DetachChild(MWindowElement* child) override {
    MWindowElement* behind = Behind();
    return behind ? behind->DetachChild(child) : kErrNotFound;
  }
  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override {
    MWindowElement* behind = Behind();
    return behind ? behind->Paint(canvas, record) : 0;
  }
  int32_t HitCode(const PointI* point) override {
    MWindowElement* behind = Behind();
    return behind ? behind->HitCode(point) : kHitNone;
  }
  int32_t Invalidate(const RectI* rect) override {
    MWindowElement* behind = Behind();
    return behind ? behind->Invalidate(rect) : kErrNotFound;
  }
  int32_t MapPoint(PointI* point, MWindowElement* to) override {
    MWindowElement* behind = Behind();
    return behind ? behind->MapPoint(point, to) : kErrNotFound;
  }
  int32_t Region(MMaskImage* target, int32_t width, int32_t height) override {
    MWindowElement* behind = Behind();
    return behind ? behind->Region(target, width, height) : 0;
  }
  int32_t SetFocus(int32_t take) override {
    MWindowElement* behind = Behind();
    return behind ? behind->SetFocus(take) : kErrNotFound;
  }
  int32_t GetProperty(const char16_t* name, PropertyValue* out) override {
    MWindowElement* behind = Behind();
    return behind ? behind->GetProperty(name, out) : kErrNotFound;
  }
  int32_t GetValue(uint32_t id, void* buffer, uint32_t size) override {
    MWindowElement* behind = Behind();
    return behind ? behind->GetValue(id, buffer, size) : kErrNotFound;
  }
  int32_t Notify(uint32_t code, uintptr_t argument) override {
    MWindowElement* behind = Behind();
    return behind ? behind->Notify(code, argument) : 0;
  }
  int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) override {
    MWindowElement* behind = Behind();
    return behind ? behind->ChildNotify(code, child, argument) : 0;
  }
  int32_t SetValue(uint32_t id, const void* buffer, uint32_t size) override {
    MWindowElement* behind = Behind();
    return behind ? behind->SetValue(id, buffer, size) : kErrNotFound;
  }
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override {
    MWindowElement* behind = Behind();
    return behind ? behind->Query(code, a, b, c) : 0;
  }
  int32_t CapturePointer(int32_t capture) override {
    MWindowElement* behind = Behind();
    return behind ? behind->CapturePointer(capture) : kErrNotFound;
  }
  int32_t ChildCount() override {
    MWindowElement* behind = Behind();
    return behind ? behind->ChildCount() : 0;
  }
  MWindowElement* ChildAt(int32_t index) override {
    MWindowElement* behind = Behind();
    return behind ? behind->ChildAt(index) : nullptr;
  }
  int32_t HoldUpdates(int32_t hold) override {
    MWindowElement* behind = Behind();
    return behind ? behind->HoldUpdates(hold) : kErrNotFound;
  }
  int32_t AdoptCreator(MWindowElement* creator) override {
    MWindowElement* behind = Behind();
    return behind ? behind->AdoptCreator(creator) : kErrNotFound;
  }
  int32_t HasOwnContent() override {
    MWindowElement* behind = Behind();
    return behind ? behind->HasOwnContent() : 0;
  }
  int32_t GetHost(MHostWindow** out) override {
    MWindowElement* behind = Behind();
    return behind ? behind->GetHost(out) : kErrNotFound;
  }
  int32_t DestroyWindow() override {
    MWindowElement* behind = Behind();
    return behind ? behind->DestroyWindow() : kErrNotFound;
  }
  int32_t AddDockPoint(MDockPoint* point, int32_t master) override {
    MWindowElement* behind = Behind();
    return behind ? behind->AddDockPoint(point, master) : kErrNotFound;
  }
  int32_t ClearDockPoints() override {
    MWindowElement* behind = Behind();
    return behind ? behind->ClearDockPoints() : kErrNotFound;
  }
  int32_t RegionChanged() override {
    MWindowElement* behind = Behind();
    return behind ? behind->RegionChanged() : kErrNotFound;
  }
  MWindowElement* Sibling(int32_t above) override {
    MWindowElement* behind = Behind();
    return behind ? behind->Sibling(above) : nullptr;
  }
  int32_t PostTask(void (*callback)(void*), void* context) override {
    MWindowElement* behind = Behind();
    return behind ? behind->PostTask(callback, context) : kErrNotFound;
  }
  int32_t SetProperty(const char16_t* name, int32_t type, const PropertyValue* value) override {
    MWindowElement* behind = Behind();
    return behind ? behind->SetProperty(name, type, value) : kErrNotFound;
  }
  int32_t RemoveProperty(const char16_t* name) override {
    MWindowElement* behind = Behind();
    return behind ? behind->RemoveProperty(name) : kErrNotFound;
  }

 protected:
  // The window element behind this one (no reference), or null: operations then fail with
  // kErrNotFound (or answer nothing).
  virtual MWindowElement* Behind() = 0;
};

class ForwardingWindow : public ForwardingWindowOf<MWindowElement> {
 public:
  int32_t PostCommand(uint32_t code, int32_t startMs, int32_t durationMs, uintptr_t data,
                      MWindowElement* sender, uint32_t options, uint32_t reserved) override;
  int32_t CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs, uintptr_t data,
                         uint32_t mode, MWindowElement* sender, uint32_t reserved) override;

 protected:
  ForwardingWindow() = default;
  ~ForwardingWindow() = default;
};

}  // namespace vk2
