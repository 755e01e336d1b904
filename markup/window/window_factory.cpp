#include "markup/window/window_factory.h"

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
#include "interfaces/markup/widget_type.h"
#include "markup/controls/widget_kinds.h"
#include "markup/definition/interface_definition.h"
#include "markup/services/markup_services.h"
#include "markup/window/markup_window.h"

namespace vk2::markup {
namespace {

PlacementRecord Placement(WindowDefinition* definition, const WindowCreateRequest& request,
                          const TString& name) {
  PlacementRecord record;
  record.parent = request.parent;
  if (request.placementGiven) {
    record.rect = request.placement;
  } else {
    definition->GetOffsetRect(record.rect.offset);
    definition->GetFractionRect(record.rect.alignment);
  }
  record.flags = kPlaceEnabled | ((request.style & kWindowStyleVisible) ? kPlaceVisible : 0u);
  record.mode = definition->IsBelowParent() ? kPlaceModeBelowParent : request.mode;
  record.name = name.c_str();
  return record;
}

// A root window: its own host, sized by the default size or else its offset rectangle. The host
// holds `window` (the window's front face); its markup wrapper keeps the host.
int32_t PlaceOnNewHost(MWindowElement* window, MarkupWindow* wrapper, WindowDefinition* definition,
                       const PlacementRecord& placement, bool visible) {
  RefPtr<MHostWindow> host = CreateHost();
  if (!host) return kErrNoService;
  const int32_t* o = placement.rect.offset;
  SizeI size{o[2] - o[0], o[3] - o[1]};
  SizeI given;
  if (definition->GetSizeLimit(&given, kSizeDefault)) size = given;
  if (placement.name) window->SetValue(kValueName, &placement.name, sizeof placement.name);
  window->SetValue(kValueSize, &size, sizeof size);
  const PointI at{o[0], o[1]};
  window->SetValue(kValueLocation, &at, sizeof at);
  if (host->SetRoot(window) != kOk) return kErrFailed;
  wrapper->KeepHost(host.Get());
  if (visible) host->Show(1);
  return kOk;
}

// An element made earlier from this definition, anchored again under the request's parent.
int32_t PlaceAgain(WindowDefinition* definition, const WindowCreateRequest& request,
                   RefPtr<MWindowElement>* out) {
  if (!(request.typeClass == Guid{}) && !(request.typeClass == definition->TypeClass()))
    return kErrNotFound;
  const TString name =
      request.createName && *request.createName ? TString(request.createName) : definition->Name();
  const PlacementRecord placement = Placement(definition, request, name);
  MWindowElement* window = request.existing;
  if (window->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&placement), nullptr, 0,
                          0) != kOk)
    return kErrFailed;
  *out = RefPtr<MWindowElement>(window);
  return kOk;
}

void SetInterface(MWindowElement* window, InterfaceDefinition* owner) {
  PropertyValue self;
  self.type = kPropertyInterface;
  self.object = static_cast<MUnknown*>(static_cast<MInterfaceDefinition*>(owner));
  window->SetProperty(kInterfaceProperty, kPropertyInterface, &self);
}

// A window of class `typeClass` with the definition's properties loaded: a markup type of this
// engine, or a class whose type object another module makes (the player's own window elements,
// which stand in front of a Generic window). `*wrapper` gets the markup window
// behind it.
int32_t MakeTypedWindow(InterfaceDefinition* owner, WindowDefinition* definition,
                        const Guid& typeClass, RefPtr<MWindowElement>* window,
                        MarkupWindow** wrapper) {
  if (const WidgetKind* kind = FindWidgetKind(typeClass)) {
    RefPtr<MarkupWindow> made = MakeWidget(*kind);
    if (!made) return kErrOutOfMemory;
    SetInterface(made.Get(), owner);
    made->SetDefinition(definition);
    made->LoadProperties(owner);
    *wrapper = made.Get();
    *window = RefPtr<MWindowElement>(static_cast<MWindowElement*>(made.Get()));
    return kOk;
  }
  RefPtr<MWidgetType> type = CreateObject<MWidgetType>(typeClass, kIID_MWidgetType);
  if (!type) return kErrNoInterface;  // the window is there; no widget serves its class
  MUnknown* raw = nullptr;
  if (type->Create(nullptr, &raw) != kOk || !raw) return kErrOutOfMemory;
  auto made = RefPtr<MWindowElement>::Adopt(static_cast<MWindowElement*>(raw));
  SetInterface(made.Get(), owner);
  MarkupWindow* markup = MarkupWindow::From(made.Get());
  if (!markup || !type->LoadProperties(made.Get(), definition, owner)) {
    return kErrFailed;
  }
  *wrapper = markup;
  *window = std::move(made);
  return kOk;
}

}  // namespace

int32_t CreateWindowTree(InterfaceDefinition* owner, WindowDefinition* definition,
                         const WindowCreateRequest& request, RefPtr<MWindowElement>* out) {
  if (!owner || !definition || !out) return kErrMissingArg;
  if (request.existing) return PlaceAgain(definition, request, out);
  const Guid typeClass = request.typeClass == Guid{} ? definition->TypeClass() : request.typeClass;
  RefPtr<MWindowElement> window;
  MarkupWindow* wrapper = nullptr;
  if (int32_t r = MakeTypedWindow(owner, definition, typeClass, &window, &wrapper); r != kOk)
    return r;

  const TString name =
      request.createName && *request.createName ? TString(request.createName) : definition->Name();
  const PlacementRecord placement = Placement(definition, request, name);
  if (request.parent) {
    // Attached at once, so the parent holds the window and the tree stands before OnInit; it
    // takes its anchored place at once too, so its size is known when creation returns, and the
    // placement command then applies the rest (shown, enabled).
    if (placement.name) window->SetValue(kValueName, &placement.name, sizeof placement.name);
    if (request.parent->AttachChild(window.Get(), placement.mode) != kOk) return kErrFailed;
    window->SetValue(kValueAlignment, placement.rect.alignment, sizeof placement.rect.alignment);
    window->SetValue(kValueOffset, placement.rect.offset, sizeof placement.rect.offset);
    PlacementRecord anchor = placement;
    anchor.parent = nullptr;  // already under its parent: only anchor it there
    if (window->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&anchor), nullptr, 0,
                            0) != kOk)
      return kErrFailed;
  } else if (int32_t r = PlaceOnNewHost(window.Get(), wrapper, definition, placement,
                                        (request.style & kWindowStyleVisible) != 0);
             r != kOk) {
    return r;
  }

  int32_t result = kOk;
  if (request.createChildren) {
    for (const RefPtr<WindowDefinition>& child : definition->Children()) {
      WindowCreateRequest childRequest;
      childRequest.typeClass = child->TypeClass();
      childRequest.parent = window.Get();
      childRequest.style = child->GetWindowStyle();
      RefPtr<MWindowElement> made;
      if (CreateWindowTree(owner, child.Get(), childRequest, &made) < 0)
        result |= kCreateChildFailed;
    }
  }
  *out = std::move(window);
  return result;
}

int32_t AggregateMarkupWidget(InterfaceDefinition* owner, MUnknown* outer, const Guid& classId,
                              MWindowDefinition* definition, MUnknown** inner) {
  if (!outer || !inner) return kErrMissingArg;
  *inner = nullptr;
  const WidgetKind* kind = FindWidgetKind(classId);
  if (!kind) return kErrNotFound;
  MarkupWindow* window = nullptr;
  const int32_t r = AggregateWidget(*kind, outer, inner, &window);
  if (r != kOk) return r;
  SetInterface(window, owner);
  if (definition) {
    window->SetDefinition(definition);
    window->LoadProperties(owner);
  }
  return kOk;
}

MInterfaceDefinition* InterfaceOfWindow(MWindowElement* window) {
  PropertyValue value;
  if (!window || window->GetProperty(kInterfaceProperty, &value) != kOk ||
      value.type != kPropertyInterface || !value.object)
    return nullptr;
  return static_cast<MInterfaceDefinition*>(static_cast<MUnknown*>(value.object));
}

}  // namespace vk2::markup
