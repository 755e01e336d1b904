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

bool ModuleWindowCore::DrawOverWindow(MImageStyleDrawing* image, MCanvas* canvas) {
  if (!image || !canvas) return false;
  SizeI size;
  GetValue(kValueSize, &size, sizeof size);
  return image->Draw(RectI{0, 0, size.width, size.height}, canvas, kStyleStateNormal, 1.0,
                     VisualParameters{}) != 0;
}

int32_t ModuleWindowCore::Notify(uint32_t code, uintptr_t argument) {
  // A hook may run scripts that drop the last outside reference to the window.
  RefPtr<MWindowElement> keep(static_cast<MWindowElement*>(this));
  return OnNotify(code, argument);
}

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
