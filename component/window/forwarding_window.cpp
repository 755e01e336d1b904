#include "component/window/forwarding_window.h"

#include "foundation/util/result.h"

namespace vk2 {

int32_t ForwardingWindow::PostCommand(uint32_t code, int32_t startMs, int32_t durationMs,
                                      uintptr_t data, MWindowElement* sender, uint32_t options,
                                      uint32_t reserved) {
  MWindowElement* behind = Behind();
  if (!behind) return kErrNotFound;
  return behind->PostCommand(code, startMs, durationMs, data, sender ? sender : this, options,
                             reserved);
}

int32_t ForwardingWindow::CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs,
                                         uintptr_t data, uint32_t mode, MWindowElement* sender,
                                         uint32_t reserved) {
  MWindowElement* behind = Behind();
  if (!behind) return kErrNotFound;
  return behind->CancelCommands(code, fromMs, untilMs, data, mode, sender ? sender : this,
                                reserved);
}

#define VK2_FORWARD(call, fallback)  \
  MWindowElement* behind = Behind(); \
  if (!behind) return fallback;      \
  return behind->call

int32_t ForwardingWindow::AttachChild(MWindowElement* child, int32_t mode) {
  VK2_FORWARD(AttachChild(child, mode), kErrNotFound);
}
int32_t ForwardingWindow::DetachChild(MWindowElement* child) {
  VK2_FORWARD(DetachChild(child), kErrNotFound);
}
int32_t ForwardingWindow::Paint(MCanvas* canvas, const PaintRecord* record) {
  VK2_FORWARD(Paint(canvas, record), 0);
}
int32_t ForwardingWindow::HitCode(const PointI* point) {
  VK2_FORWARD(HitCode(point), kHitNone);
}
int32_t ForwardingWindow::Invalidate(const RectI* rect) {
  VK2_FORWARD(Invalidate(rect), kErrNotFound);
}
int32_t ForwardingWindow::MapPoint(PointI* point, MWindowElement* to) {
  VK2_FORWARD(MapPoint(point, to), kErrNotFound);
}
int32_t ForwardingWindow::Region(MMaskImage* target, int32_t width, int32_t height) {
  VK2_FORWARD(Region(target, width, height), 0);
}
int32_t ForwardingWindow::SetFocus(int32_t take) {
  VK2_FORWARD(SetFocus(take), kErrNotFound);
}
int32_t ForwardingWindow::GetProperty(const char16_t* name, PropertyValue* out) {
  VK2_FORWARD(GetProperty(name, out), kErrNotFound);
}
int32_t ForwardingWindow::GetValue(uint32_t id, void* buffer, uint32_t size) {
  VK2_FORWARD(GetValue(id, buffer, size), kErrNotFound);
}
int32_t ForwardingWindow::Notify(uint32_t code, uintptr_t argument) {
  VK2_FORWARD(Notify(code, argument), 0);
}
int32_t ForwardingWindow::ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) {
  VK2_FORWARD(ChildNotify(code, child, argument), 0);
}
int32_t ForwardingWindow::SetValue(uint32_t id, const void* buffer, uint32_t size) {
  VK2_FORWARD(SetValue(id, buffer, size), kErrNotFound);
}
int32_t ForwardingWindow::Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  VK2_FORWARD(Query(code, a, b, c), 0);
}
int32_t ForwardingWindow::CapturePointer(int32_t capture) {
  VK2_FORWARD(CapturePointer(capture), kErrNotFound);
}
int32_t ForwardingWindow::ChildCount() {
  VK2_FORWARD(ChildCount(), 0);
}
MWindowElement* ForwardingWindow::ChildAt(int32_t index) {
  VK2_FORWARD(ChildAt(index), nullptr);
}
int32_t ForwardingWindow::HoldUpdates(int32_t hold) {
  VK2_FORWARD(HoldUpdates(hold), kErrNotFound);
}
int32_t ForwardingWindow::AdoptCreator(MWindowElement* creator) {
  VK2_FORWARD(AdoptCreator(creator), kErrNotFound);
}
int32_t ForwardingWindow::HasOwnContent() {
  VK2_FORWARD(HasOwnContent(), 0);
}
int32_t ForwardingWindow::GetHost(MHostWindow** out) {
  VK2_FORWARD(GetHost(out), kErrNotFound);
}
int32_t ForwardingWindow::DestroyWindow() {
  VK2_FORWARD(DestroyWindow(), kErrNotFound);
}
int32_t ForwardingWindow::AddDockPoint(MDockPoint* point, int32_t master) {
  VK2_FORWARD(AddDockPoint(point, master), kErrNotFound);
}
int32_t ForwardingWindow::ClearDockPoints() {
  VK2_FORWARD(ClearDockPoints(), kErrNotFound);
}
int32_t ForwardingWindow::RegionChanged() {
  VK2_FORWARD(RegionChanged(), kErrNotFound);
}
MWindowElement* ForwardingWindow::Sibling(int32_t above) {
  VK2_FORWARD(Sibling(above), nullptr);
}
int32_t ForwardingWindow::PostTask(void (*callback)(void*), void* context) {
  VK2_FORWARD(PostTask(callback, context), kErrNotFound);
}
int32_t ForwardingWindow::SetProperty(const char16_t* name, int32_t type,
                                      const PropertyValue* value) {
  VK2_FORWARD(SetProperty(name, type, value), kErrNotFound);
}
int32_t ForwardingWindow::RemoveProperty(const char16_t* name) {
  VK2_FORWARD(RemoveProperty(name), kErrNotFound);
}

#undef VK2_FORWARD

}  // namespace vk2
