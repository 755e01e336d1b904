// The base of the module's own window classes: a wrapper added last to a window's base object,
// in front of the markup engine's Generic window and the GUI layer's window part. Whoever asks
// the base object for MWindowElement (the GUI layer's part among them) reaches the wrapper
// first; every operation it does not handle itself goes to the next window element behind it.
//
//   class MyWindow final : public ModuleWindow<MyWindow> { ... override OnPaint, OnNotify ... };
//   RefPtr<MWindowElement> window = AssembleModuleWindow<MyWindow>(definition, widget, args...);
#pragma once

#include <cstdint>
#include <new>
#include <utility>

#include "component/object/aggregation.h"
#include "component/object/query.h"
#include "component/window/forwarding_window.h"
#include "foundation/util/ref_ptr.h"
#include "foundation/util/result.h"
#include "gui/window_base/page_face.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/window_definition.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/script/script_object.h"

namespace vk2::gui {

class ModuleWindowCore : public ForwardingWindow, public PageHooks {
 public:
  // The window element behind this one (no reference), or null.
  MWindowElement* Next();
  // The window's script object (the Generic window's), or null.
  MScriptObject* Script();
  // The window's controlling unknown: its base object.
  virtual MUnknown* Outer() = 0;

  // Hooks. The defaults forward.
  virtual int32_t OnPaint(MCanvas* canvas, const PaintRecord* record) {
    return ForwardingWindow::Paint(canvas, record);
  }
  virtual int32_t OnNotify(uint32_t code, uintptr_t argument) {
    return ForwardingWindow::Notify(code, argument);
  }
  virtual int32_t OnQuery(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) {
    return ForwardingWindow::Query(code, a, b, c);
  }

  // MWindowElement: every other operation goes to Next().
  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override {
    return OnPaint(canvas, record);
  }
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override {
    return OnQuery(code, a, b, c);
  }

 protected:
  ModuleWindowCore() = default;
  ~ModuleWindowCore() = default;

  MWindowElement* Behind() override { return Next(); }

  // Invalidates the whole window; from any thread (the GUI layer posts it to its loop).
  void Repaint() { Invalidate(nullptr); }
  // Draws `image` (may be null) over the whole window; true when it drew.
  bool DrawOverWindow(MImageStyleDrawing* image, MCanvas* canvas);

 private:
  MWindowElement* next_ = nullptr;
};

template <class Derived>
class ModuleWindow
    : public Aggregatable<Derived, Face<ModuleWindowCore, kIID_MWindowElement, kIID_MBrintWindow>> {
 public:
  using Base =
      Aggregatable<Derived, Face<ModuleWindowCore, kIID_MWindowElement, kIID_MBrintWindow>>;

  int32_t InnerQueryInterface(const Guid& iid, void** out, uint32_t addRef,
                              uint32_t reserved) override {
    return this->Inner()->QueryInterface(iid, out, addRef, reserved);
  }
  uint32_t InnerAddRef() override { return this->Inner()->AddRef(); }
  uint32_t InnerRelease() override { return this->Inner()->Release(); }
  MUnknown* Outer() override { return this->Controlling(); }

 protected:
  explicit ModuleWindow(MUnknown* base) : Base(base), page_(base, this) {}
  ~ModuleWindow() override = default;

  // Windows a display shows as pages answer the page face.
  virtual bool IsPage() const { return false; }

 private:
  MUnknown* QueryMore(const Guid& iid) override {
    if (iid == kIID_MWindowClassFactory && IsPage()) return &page_;
    return nullptr;
  }

  PageFace page_;
};

// The base object of a module window: the GUI layer's window part and, through `definition`,
// the Generic window with its script object (its markup definition `widget` applied when
// given). Null when the runtime cannot make them.
RefPtr<MBaseObject> MakeModuleWindowBase(MInterfaceDefinition* definition,
                                         MWindowDefinition* widget);
// A base object holding only the GUI layer's part that answers `partIid` (a control part, such
// as an edit box, whose notifications a wrapper wants to hear).
RefPtr<MBaseObject> MakeControlBase(const Guid& partIid);
// Completes `base` (a base object gathering parts, or null for a new one) for a module window
// made by class: the GUI layer's window part and a script object unless it has them already.
RefPtr<MBaseObject> CompleteWindowBase(MUnknown* base);

// Adds `window` (made over `base`) as the base object's last part; false when it cannot.
bool AddModuleWindowPart(MBaseObject* base, AggregatableObject* window);

template <class W, class... A>
RefPtr<W> AssembleOnBase(RefPtr<MBaseObject> base, A&&... args) {
  if (!base) return nullptr;
  auto* window = new (std::nothrow) W(static_cast<MUnknown*>(base.Get()), std::forward<A>(args)...);
  if (!window || !AddModuleWindowPart(base.Get(), window)) return nullptr;
  // Found once here, before any thread can ask for it.
  window->Next();
  window->Setup();
  return RefPtr<W>(window);
}

// What a window class's class object hands out: the window made on `outer` (its inner unknown,
// as aggregation asks) or on a base of its own (the interface `iid` of it).
template <class W, class... A>
int32_t CreateModuleWindowAs(const Guid& iid, void** out, MUnknown* outer, A&&... args) {
  if (!out) return kErrMissingArg;
  *out = nullptr;
  RefPtr<W> window = AssembleOnBase<W>(CompleteWindowBase(outer), std::forward<A>(args)...);
  if (!window) return kErrFailed;
  if (outer) {
    window->Inner()->AddRef();
    *out = window->Inner();
    return kOk;
  }
  return window->QueryInterface(iid, out, 1, 0);
}

template <class W, class... A>
RefPtr<W> AssembleModuleWindow(MInterfaceDefinition* definition, MWindowDefinition* widget,
                               A&&... args) {
  return AssembleOnBase<W>(MakeModuleWindowBase(definition, widget), std::forward<A>(args)...);
}

}  // namespace vk2::gui
