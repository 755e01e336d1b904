// The generic markup window (`MML_Window`, window type `Generic`): a wrapper around a GUI
// window part, both parts of one base object. It forwards the window operations to the part and
// adds what the markup gives: the attached window definition (paint, hit codes, outline, size
// limits), a script object named after the window carrying the window script methods, and the
// window events that run the markup's event scripts.
//
// Stand-alone, the wrapper makes the base object and the GUI part; aggregated (the player's own
// windows), the outer object is the base and brings its own part.
#pragma once

#include <cstdint>

#include "component/object/aggregation.h"
#include "component/window/forwarding_window.h"
#include "foundation/util/ref_ptr.h"
#include "interfaces/gui/host_window.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/window_definition.h"
#include "interfaces/runtime/base_object.h"
#include "interfaces/script/script_object.h"

namespace vk2::markup {

class MarkupWindow
    : public Aggregatable<MarkupWindow,
                          Face<ForwardingWindow, kIID_MWindowElement, kIID_MBrintWindow>,
                          Face<MControl, kIID_MControl>> {
 public:
  // Makes the wrapper over `controlling` (the base object); null when out of memory.
  using Maker = MarkupWindow* (*)(MUnknown* controlling);

  // The generic window's maker.
  static MarkupWindow* Make(MUnknown* controlling);
  // A stand-alone window: its MWindowElement with one reference, or null.
  static RefPtr<MarkupWindow> Create();
  // Aggregated into `outer` (an object gathering parts through MBaseObject): the wrapper's inner
  // unknown with one reference in `*inner`; `*window` (optional) the wrapper itself.
  static int32_t CreateAggregated(MUnknown* outer, MUnknown** inner,
                                  MarkupWindow** window = nullptr);
  // The same for any control: stand-alone, the base object gets the GUI part made for
  // `partIid` and then the wrapper `make` makes; aggregated, the outer brings its own part.
  static RefPtr<MarkupWindow> CreateWith(const Guid& partIid, Maker make);
  static int32_t CreateAggregatedWith(MUnknown* outer, MUnknown** inner, MarkupWindow** window,
                                      Maker make);
  // Wrappers alive in this process (tests see the last release free them).
  static int32_t LiveCount();
  // The wrapper behind a markup window or control (any of its interfaces), or null.
  static MarkupWindow* From(MUnknown* object);

  // The GUI part's interface `iid` (no reference): the part behind this wrapper's own face
  // `face` for that id.
  void* FindPartFace(const Guid& iid, const void* face);

  // The window's script object (no reference), or null.
  MScriptObject* Script() const { return script_; }
  // The GUI part's element (no reference), or null.
  MWindowElement* Part();
  // Declares the events, installs the definition's scripts and dock points.
  void LoadDefinition();
  // Reads the markup properties of the window's type from its definition, then the generic
  // loaders; `iface` is the interface definition the window was made from (may be null).
  virtual void LoadProperties(MInterfaceDefinition* iface) {
    (void)iface;
    LoadDefinition();
  }
  // Whether the window stands alone (its own base object and GUI part).
  bool StandsAlone() const { return standAlone_; }
  // A root window keeps the host made for it: the host goes when the window does.
  void KeepHost(MHostWindow* host) { ownHost_ = RefPtr<MHostWindow>(host); }

  // MWindowElement: what the wrapper does itself; the rest goes to the GUI part.
  int32_t InnerQueryInterface(const Guid& iid, void** out, uint32_t addRef,
                              uint32_t reserved) override {
    return Inner()->QueryInterface(iid, out, addRef, reserved);
  }
  uint32_t InnerAddRef() override { return Inner()->AddRef(); }
  uint32_t InnerRelease() override { return Inner()->Release(); }
  int32_t Paint(MCanvas* canvas, const PaintRecord* record) override;
  int32_t HitCode(const PointI* point) override;
  int32_t Region(MMaskImage* target, int32_t width, int32_t height) override;
  int32_t Notify(uint32_t code, uintptr_t argument) override;
  int32_t ChildNotify(uint32_t code, MWindowElement* child, uintptr_t argument) override;
  int32_t Query(uint32_t code, uintptr_t a, uintptr_t b, uintptr_t c) override;
  int32_t HasOwnContent() override { return 0; }

  // MControl.
  int32_t SetDefinition(MWindowDefinition* definition) override;
  MWindowDefinition* GetDefinition() override { return definition_.Get(); }
  int32_t HasNoLook() override;

 protected:
  explicit MarkupWindow(MUnknown* base);
  ~MarkupWindow() override;

  // After the script object is set up: a control sets its script class name and registers its
  // own script methods here.
  virtual void SetUpControl() {}
  // False for windows that other windows embed and scripts never see (scroll bars and their
  // arrows): they get no script object.
  virtual bool WantsScriptObject() const { return true; }

 private:
  MWindowElement* Behind() override { return Part(); }
  // Attaches (when the base has none) and sets up the window's script object.
  bool SetUpScriptObject(MBaseObject* base);
  // The events of operation 18; then the generic window's own handling.
  void FireNotifyEvents(uint32_t code, uintptr_t argument);
  void HandleNotify(uint32_t code, uintptr_t argument);
  bool FireButtonEvent(uint32_t code, uintptr_t point);
  void ShowHoverHint();
  void ReleaseHostLater();

  RefPtr<MWindowDefinition> definition_;
  MScriptObject* script_ = nullptr;  // a part of the base object
  MWindowElement* part_ = nullptr;   // the GUI part's element, found on first use
  RefPtr<MHostWindow> ownHost_;
  bool standAlone_ = false;
};

}  // namespace vk2::markup
