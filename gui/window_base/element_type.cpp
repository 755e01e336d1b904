#include "gui/window_base/element_type.h"

#include "component/module/runtime_loader.h"
#include "component/object/query.h"
#include "interfaces/ids.h"

namespace vk2::gui {
namespace {

RefPtr<MWidgetType> GenericWindowType() {
  return CreateRuntimeObject<MWidgetType>(kGenericWindowClass, kIID_MWidgetType);
}

}  // namespace

RefPtr<MBaseObject> MakeElementBase(MUnknown* outer) {
  RefPtr<MBaseObject> base;
  if (outer) {
    base = RefPtr<MBaseObject>(QueryBorrowed<MBaseObject>(outer, kIID_MBaseObject));
  } else {
    base = MakeControlBase(kIID_MWindowElement);
  }
  RefPtr<MWidgetType> generic = GenericWindowType();
  if (!base || !generic) return nullptr;
  MUnknown* inner = nullptr;
  if (generic->Create(static_cast<MUnknown*>(base.Get()), &inner) != kOk || !inner) return nullptr;
  // The base object's part list holds the Generic window.
  inner->Release();
  return base;
}

MWindowElement* LoadGenericProperties(MWindowElement* window, MWindowDefinition* markup,
                                      MInterfaceDefinition* iface) {
  RefPtr<MWidgetType> generic = GenericWindowType();
  return generic ? generic->LoadProperties(window, markup, iface) : nullptr;
}

ModuleWindowCore* FrontModuleWindow(MUnknown* window) {
  auto* front = window ? QueryBorrowed<MWindowElement>(window, kIID_MWindowElement) : nullptr;
  return front ? dynamic_cast<ModuleWindowCore*>(front) : nullptr;
}

}  // namespace vk2::gui
