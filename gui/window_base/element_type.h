// The type object of a window-element class (what the class object hands out for MWidgetType):
// it makes the element, a module window in front of a Generic markup window, and loads its
// properties: the element's own style first, then the Generic window's attributes, events and
// scripts from the same markup.
//
//   class MyElement final : public ModuleWindow<MyElement> {
//     void LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface);  ...
//   };
//   RefPtr<MyElement> AssembleMine(RefPtr<MBaseObject> base) {
//     return AssembleOnBase<MyElement>(std::move(base), what it needs...);
//   }
//   CreateElementTypeObject<MyElement, &AssembleMine>(iid, out, outer)   (its class's creator)
#pragma once

#include <cstdint>
#include <new>

#include "component/object/com_object.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "gui/window_base/module_window.h"
#include "interfaces/markup/widget_type.h"

namespace vk2::gui {

// A base object for a new element: the GUI layer's window part (unless `outer` brings one) and
// a Generic markup window; null when the runtime cannot make them.
RefPtr<MBaseObject> MakeElementBase(MUnknown* outer);
// The Generic window's own property loading for `window`; `window`, or null when it has no
// Generic window.
MWindowElement* LoadGenericProperties(MWindowElement* window, MWindowDefinition* markup,
                                      MInterfaceDefinition* iface);
// The module window in front of `window`'s parts (no reference), or null.
ModuleWindowCore* FrontModuleWindow(MUnknown* window);

// Hands out `window` as the type's Create does: its inner unknown when made on `outer`, else
// its window-element face.
template <class W>
int32_t HandOutElement(RefPtr<W> window, MUnknown* outer, MUnknown** out) {
  if (!window) return kErrFailed;
  if (outer) {
    window->Inner()->AddRef();
    *out = window->Inner();
  } else {
    *out = static_cast<MWindowElement*>(window.Detach());
  }
  return kOk;
}

// Makes an element of type W on a base object prepared for it.
template <class W>
using AssembleElementFn = RefPtr<W> (*)(RefPtr<MBaseObject> base);

template <class W, AssembleElementFn<W> Assemble>
class ElementType final
    : public ComObject<ElementType<W, Assemble>, Face<MWidgetType, kIID_MWidgetType>> {
 public:
  int32_t Create(MUnknown* outer, MUnknown** out) override {
    if (!out) return kErrMissingArg;
    *out = nullptr;
    return HandOutElement(Assemble(MakeElementBase(outer)), outer, out);
  }

  MWindowElement* LoadProperties(MWindowElement* window, MWindowDefinition* markup,
                                 MInterfaceDefinition* iface) override {
    if (auto* element = dynamic_cast<W*>(FrontModuleWindow(window)))
      element->LoadStyle(markup, iface);
    return LoadGenericProperties(window, markup, iface);
  }

 private:
  ~ElementType() override = default;
};

// The class object's CreateInstance of an element class: a new type object for MWidgetType.
template <class W, AssembleElementFn<W> Assemble>
int32_t CreateElementTypeObject(const Guid& iid, void** out, MUnknown* outer) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  if (outer || iid != kIID_MWidgetType) return kErrNoInterface;
  auto* type = new (std::nothrow) ElementType<W, Assemble>();
  if (!type) return kErrOutOfMemory;
  type->AddRef();
  *out = static_cast<MWidgetType*>(type);
  return kOk;
}

}  // namespace vk2::gui
