// A window element that stands in front of another one (the next window element of the same
// object: the GUI layer's part, or a wrapper in front of it) and hands it every operation it
// does not handle itself. Commands it posts go out with itself as the sender.
//
//   class Wrapper : public ForwardingWindow {
//     MWindowElement* Behind() override { return part_; }
//     int32_t Paint(MCanvas* canvas, const PaintRecord* record) override { ... }
//   };
#pragma once

#include <cstdint>

#include "interfaces/gui/window_element.h"

namespace vk2 {

class ForwardingWindow : public MWindowElement {
 public:
  int32_t PostCommand(uint32_t code, int32_t startMs, int32_t durationMs, uintptr_t data,
                      MWindowElement* sender, uint32_t options, uint32_t reserved) override;
  int32_t CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs, uintptr_t data,
                         uint32_t mode, MWindowElement* sender, uint32_t reserved) override;
  int32_t AttachChild(MWindowElement* child, int32_t placementMode) override;
  int32_t DetachChild(MWindowElement* child) override;
  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t HitCode(const PointI* point) override;
  int32_t Invalidate(const RectI* rect) override;
  int32_t MapPoint(PointI* point, MWindowElement* to) override;
  int32_t Region(MMaskImage* target, int32_t width, int32_t height) override;
  int32_t SetFocus(int32_t take) override;
  int32_t GetProperty(const char16_t* name, PropertyValue* out) override;
  int32_t GetValue(uint32_t id, void* buffer, uint32_t size) override;
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) override;
  int32_t SetValue(uint32_t id, const void* buffer, uint32_t size) override;
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  int32_t CapturePointer(int32_t capture) override;
  int32_t ChildCount() override;
  MWindowElement* ChildAt(int32_t index) override;
  int32_t HoldUpdates(int32_t hold) override;
  int32_t AdoptCreator(MWindowElement* creator) override;
  int32_t HasOwnContent() override;
  int32_t GetHost(MHostWindow** out) override;
  int32_t DestroyWindow() override;
  int32_t AddDockPoint(MDockPoint* point, int32_t master) override;
  int32_t ClearDockPoints() override;
  int32_t RegionChanged() override;
  MWindowElement* Sibling(int32_t above) override;
  int32_t PostTask(void (*callback)(void*), void* context) override;
  int32_t SetProperty(const char16_t* name, int32_t type, const PropertyValue* value) override;
  int32_t RemoveProperty(const char16_t* name) override;

 protected:
  ForwardingWindow() = default;
  ~ForwardingWindow() = default;

  // The window element behind this one (no reference), or null: operations then fail with
  // -5 (or answer nothing).
  virtual MWindowElement* Behind() = 0;
};

}  // namespace vk2
