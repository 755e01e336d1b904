#include "gui/window_base/module_window.h"

#include "component/module/runtime_loader.h"
#include "foundation/util/result.h"

namespace vk2::gui {

MWindowElement* ModuleWindowCore::Next() {
  if (next_) return next_;
  auto* base = QueryBorrowed<MBaseObject>(Outer(), kIID_MBaseObject);
  void* found = nullptr;
  if (base && base->QueryInterfaceAfter(kIID_MWindowElement, &found, 0,
                                        static_cast<MWindowElement*>(this)) == kOk) {
    next_ = static_cast<MWindowElement*>(found);
  }
  return next_;
}

MScriptObject* ModuleWindowCore::Script() {
  return QueryBorrowed<MScriptObject>(Outer(), kIID_MScriptObject);
}

int32_t ModuleWindowCore::OnPaint(MCanvas* canvas, const PaintRecord* record) {
  MWindowElement* next = Next();
  return next ? next->Paint(canvas, record) : 0;
}

int32_t ModuleWindowCore::OnNotify(uint32_t code, uintptr_t argument) {
  MWindowElement* next = Next();
  return next ? next->Notify(code, argument) : 0;
}

int32_t ModuleWindowCore::OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
  MWindowElement* next = Next();
  return next ? next->Query(code, a, b, c) : 0;
}

int32_t ModuleWindowCore::Notify(uint32_t code, uintptr_t argument) {
  // A hook may run scripts that drop the last outside reference to the window.
  RefPtr<MWindowElement> keep(static_cast<MWindowElement*>(this));
  return OnNotify(code, argument);
}

int32_t ModuleWindowCore::PostCommand(uint32_t code, int32_t startMs, int32_t durationMs,
                                      uintptr_t data, MWindowElement* sender, uint32_t options,
                                      uint32_t reserved) {
  MWindowElement* next = Next();
  if (!next) return kErrNotFound;
  return next->PostCommand(code, startMs, durationMs, data, sender ? sender : this, options,
                           reserved);
}

int32_t ModuleWindowCore::CancelCommands(uint32_t code, int32_t fromMs, int32_t untilMs,
                                         uintptr_t data, uint32_t mode, MWindowElement* sender,
                                         uint32_t reserved) {
  MWindowElement* next = Next();
  if (!next) return kErrNotFound;
  return next->CancelCommands(code, fromMs, untilMs, data, mode, sender ? sender : this, reserved);
}

#define VK2_FORWARD(call, fallback) \
  MWindowElement* next = Next();    \
  if (!next) return fallback;       \
  return next->call

int32_t ModuleWindowCore::AttachChild(MWindowElement* child, int32_t mode) {
  VK2_FORWARD(AttachChild(child, mode), kErrNotFound);
}
int32_t ModuleWindowCore::DetachChild(MWindowElement* child) {
  VK2_FORWARD(DetachChild(child), kErrNotFound);
}
int32_t ModuleWindowCore::HitCode(const PointI* point) {
  VK2_FORWARD(HitCode(point), kHitNone);
}
int32_t ModuleWindowCore::Invalidate(const RectI* rect) {
  VK2_FORWARD(Invalidate(rect), kErrNotFound);
}
int32_t ModuleWindowCore::MapPoint(PointI* point, MWindowElement* to) {
  VK2_FORWARD(MapPoint(point, to), kErrNotFound);
}
int32_t ModuleWindowCore::Region(MMaskImage* target, int32_t width, int32_t height) {
  VK2_FORWARD(Region(target, width, height), 0);
}
int32_t ModuleWindowCore::SetFocus(int32_t take) {
  VK2_FORWARD(SetFocus(take), kErrNotFound);
}
int32_t ModuleWindowCore::GetProperty(const char16_t* name, PropertyValue* out) {
  VK2_FORWARD(GetProperty(name, out), kErrNotFound);
}
int32_t ModuleWindowCore::GetValue(uint32_t id, void* buffer, uint32_t size) {
  VK2_FORWARD(GetValue(id, buffer, size), kErrNotFound);
}
int32_t ModuleWindowCore::ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) {
  VK2_FORWARD(ChildNotify(code, child, argument), 0);
}
int32_t ModuleWindowCore::SetValue(uint32_t id, const void* buffer, uint32_t size) {
  VK2_FORWARD(SetValue(id, buffer, size), kErrNotFound);
}
int32_t ModuleWindowCore::CapturePointer(int32_t capture) {
  VK2_FORWARD(CapturePointer(capture), kErrNotFound);
}
int32_t ModuleWindowCore::ChildCount() {
  VK2_FORWARD(ChildCount(), 0);
}
MWindowElement* ModuleWindowCore::ChildAt(int32_t index) {
  VK2_FORWARD(ChildAt(index), nullptr);
}
int32_t ModuleWindowCore::HoldUpdates(int32_t hold) {
  VK2_FORWARD(HoldUpdates(hold), kErrNotFound);
}
int32_t ModuleWindowCore::AdoptCreator(MWindowElement* creator) {
  VK2_FORWARD(AdoptCreator(creator), kErrNotFound);
}
int32_t ModuleWindowCore::HasOwnContent() {
  VK2_FORWARD(HasOwnContent(), 0);
}
int32_t ModuleWindowCore::GetHost(MHostWindow** out) {
  VK2_FORWARD(GetHost(out), kErrNotFound);
}
int32_t ModuleWindowCore::DestroyWindow() {
  VK2_FORWARD(DestroyWindow(), kErrNotFound);
}
int32_t ModuleWindowCore::AddDockPoint(MDockPoint* point, int32_t master) {
  VK2_FORWARD(AddDockPoint(point, master), kErrNotFound);
}
int32_t ModuleWindowCore::ClearDockPoints() {
  VK2_FORWARD(ClearDockPoints(), kErrNotFound);
}
int32_t ModuleWindowCore::RegionChanged() {
  VK2_FORWARD(RegionChanged(), kErrNotFound);
}
MWindowElement* ModuleWindowCore::Sibling(int32_t above) {
  VK2_FORWARD(Sibling(above), nullptr);
}
int32_t ModuleWindowCore::PostTask(void (*callback)(void*), void* context) {
  VK2_FORWARD(PostTask(callback, context), kErrNotFound);
}
int32_t ModuleWindowCore::SetProperty(const char16_t* name, int32_t type,
                                      const PropertyValue* value) {
  VK2_FORWARD(SetProperty(name, type, value), kErrNotFound);
}
int32_t ModuleWindowCore::RemoveProperty(const char16_t* name) {
  VK2_FORWARD(RemoveProperty(name), kErrNotFound);
}

#undef VK2_FORWARD

RefPtr<MBaseObject> MakeControlBase(const Guid& partIid) {
  RefPtr<MBaseObject> base = CreateRuntimeObject<MBaseObject>(kRuntimeRootClass, kIID_MBaseObject);
  if (!base) return nullptr;
  void* part = nullptr;
  if (RuntimeCreateInstance(kBrintClass, partIid, &part, static_cast<MUnknown*>(base.Get())) !=
          kOk ||
      !part)
    return nullptr;
  auto held = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(part));
  if (base->AddPart(held.Get()) != kOk) return nullptr;
  return base;
}

RefPtr<MBaseObject> CompleteWindowBase(MUnknown* outer) {
  RefPtr<MBaseObject> base;
  if (outer) {
    base = RefPtr<MBaseObject>(QueryBorrowed<MBaseObject>(outer, kIID_MBaseObject));
  } else {
    base = CreateRuntimeObject<MBaseObject>(kRuntimeRootClass, kIID_MBaseObject);
  }
  if (!base) return nullptr;
  auto* controlling = static_cast<MUnknown*>(base.Get());
  const auto addPart = [&](const Guid& classId, const Guid& iid) {
    void* part = nullptr;
    if (RuntimeCreateInstance(classId, iid, &part, controlling) != kOk || !part) return false;
    auto held = RefPtr<MUnknown>::Adopt(static_cast<MUnknown*>(part));
    return base->AddPart(held.Get()) == kOk;
  };
  if (!QueryBorrowed<MWindowElement>(controlling, kIID_MWindowElement) &&
      !addPart(kBrintClass, kIID_MWindowElement))
    return nullptr;
  if (!QueryBorrowed<MScriptObject>(controlling, kIID_MScriptObject) &&
      !addPart(kMmlModuleClass, kIID_MScriptObjectInner))
    return nullptr;
  return base;
}

RefPtr<MBaseObject> MakeModuleWindowBase(MInterfaceDefinition* definition,
                                         MWindowDefinition* widget) {
  if (!definition) return nullptr;
  RefPtr<MBaseObject> base = MakeControlBase(kIID_MWindowElement);
  if (!base) return nullptr;
  auto* controlling = static_cast<MUnknown*>(base.Get());
  MUnknown* generic = nullptr;
  if (definition->AggregateWidget(controlling, kGenericWindowClass, widget, &generic) != kOk ||
      !generic)
    return nullptr;
  // The base object's part list holds the Generic window; drop the maker's reference.
  generic->Release();
  return base;
}

bool AddModuleWindowPart(MBaseObject* base, AggregatableObject* window) {
  if (base && base->AddPart(window->Inner()) == kOk) return true;
  // Nobody holds it: let its count go round once so it deletes itself.
  window->Inner()->AddRef();
  window->Inner()->Release();
  return false;
}

}  // namespace vk2::gui
