// The MWindowElement table (slots 0 to 36) over the WindowPart core. A window part is
//
//   class PlainWindowPart final
//       : public WindowPartOf<PlainWindowPart, MWindowElement> { ... };
//
// and a control part whose interface extends MWindowElement from slot 37 is
//
//   class ButtonPart final : public WindowPartOf<ButtonPart, MButton, kIID_MButton> {
//     // MButton's own slots, and the WindowPart hooks it overrides (OnPaint, OnQuery, ...)
//   };
//
// The part is aggregatable: made with an outer object, its three MUnknown slots go to the
// outer one and slots 3 to 5 are its own inner unknown.
#pragma once

#include <cstdint>

#include "component/object/aggregation.h"
#include "interfaces/ids.h"
#include "oru/gui/window/window_part.h"

namespace vk2::gui {

template <class Derived, class Interface, const Guid&... MoreIds>
class WindowPartOf
    : public Aggregatable<Derived,
                          Face<Interface, kIID_MWindowElement, kIID_MBrintWindow, MoreIds...>,
                          Face<MWindowPartCore, kIID_WindowPartCore>>,
      public WindowPart {
  using Base =
      Aggregatable<Derived, Face<Interface, kIID_MWindowElement, kIID_MBrintWindow, MoreIds...>,
                   Face<MWindowPartCore, kIID_WindowPartCore>>;

 public:
  // ---- MUnknown: resolve between the two faces' bases ----
  int32_t QueryInterface(const Guid& iid, void** out, uint32_t addRef = 1,
                         uint32_t reserved = 0) override {
    return Base::QueryInterface(iid, out, addRef, reserved);
  }
  uint32_t AddRef() override { return Base::AddRef(); }
  uint32_t Release() override { return Base::Release(); }

  // ---- MWindowElement ----
  int32_t InnerQueryInterface(const Guid& iid, void** out, uint32_t addRef,
                              uint32_t reserved) override {
    return this->Inner()->QueryInterface(iid, out, addRef, reserved);
  }
  uint32_t InnerAddRef() override { return this->Inner()->AddRef(); }
  uint32_t InnerRelease() override { return this->Inner()->Release(); }
  int32_t PostCommand(uint32_t code, int32_t startMs, int32_t durationMs, uintptr_t data,
                      MWindowElement* sender, uint32_t options, uint32_t reserved) override {
    (void)reserved;
    return WindowPart::PostCommand(code, startMs, durationMs, data, sender, options);
  }
  int32_t CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs, uintptr_t data,
                         uint32_t mode, MWindowElement* sender, uint32_t reserved) override {
    (void)data;
    (void)reserved;
    return WindowPart::CancelCommands(code, fromMs, untilMs, mode, sender);
  }
  int32_t AttachChild(MWindowElement* child, int32_t placementMode) override {
    return WindowPart::AttachChild(child, placementMode);
  }
  int32_t DetachChild(MWindowElement* child) override { return WindowPart::DetachChild(child); }
  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override {
    return WindowPart::Paint(canvas, record);
  }
  int32_t HitCode(const PointI* point) override { return WindowPart::HitCode(point); }
  int32_t Invalidate(const RectI* rect) override { return WindowPart::Invalidate(rect); }
  int32_t MapPoint(PointI* point, MWindowElement* to) override {
    return WindowPart::MapPoint(point, to);
  }
  int32_t Region(MMaskImage* target, int32_t width, int32_t height) override {
    return WindowPart::Region(target, width, height);
  }
  int32_t SetFocus(int32_t take) override { return WindowPart::SetFocus(take); }
  int32_t GetProperty(const char16_t* name, PropertyValue* out) override {
    return WindowPart::GetProperty(name, out);
  }
  int32_t GetValue(uint32_t id, void* buffer, uint32_t size) override {
    return WindowPart::GetValue(id, buffer, size);
  }
  int32_t Notify(uint32_t code, uintptr_t argument) override {
    return WindowPart::Notify(code, argument);
  }
  int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) override {
    return WindowPart::ChildNotify(code, child, argument);
  }
  int32_t SetValue(uint32_t id, const void* buffer, uint32_t size) override {
    return WindowPart::SetValue(id, buffer, size);
  }
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override {
    return WindowPart::Query(code, a, b, c);
  }
  int32_t CapturePointer(int32_t capture) override { return WindowPart::CapturePointer(capture); }
  int32_t ChildCount() override { return WindowPart::ChildCount(); }
  MWindowElement* ChildAt(int32_t index) override { return WindowPart::ChildAt(index); }
  int32_t HoldUpdates(int32_t hold) override { return WindowPart::HoldUpdates(hold); }
  int32_t AdoptCreator(MWindowElement* creator) override {
    return WindowPart::AdoptCreator(creator);
  }
  int32_t HasOwnContent() override { return WindowPart::HasOwnContent(); }
  int32_t GetHost(MHostWindow** out) override { return WindowPart::GetHost(out); }
  int32_t DestroyWindow() override { return WindowPart::DestroyWindow(); }
  int32_t AddDockPoint(MDockPoint* point, int32_t master) override {
    return WindowPart::AddDockPoint(point, master);
  }
  int32_t ClearDockPoints() override { return WindowPart::ClearDockPoints(); }
  int32_t RegionChanged() override { return WindowPart::RegionChanged(); }
  MWindowElement* Sibling(int32_t above) override { return WindowPart::Sibling(above); }
  int32_t PostTask(void (*callback)(void*), void* context) override {
    return WindowPart::PostTask(callback, context);
  }
  int32_t SetProperty(const char16_t* name, int32_t type, const PropertyValue* value) override {
    return WindowPart::SetProperty(name, type, value);
  }
  int32_t RemoveProperty(const char16_t* name) override { return WindowPart::RemoveProperty(name); }

  // ---- MWindowPartCore ----
  WindowPart* Core() override { return this; }

 protected:
  explicit WindowPartOf(MUnknown* outer) : Base(outer) {
    this->BindFace(static_cast<Interface*>(this), this->Controlling());
  }
  ~WindowPartOf() override = default;
};

}  // namespace vk2::gui
