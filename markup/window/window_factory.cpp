#include "markup/window/window_factory.h"

#include "component/object/query.h"
#include "foundation/util/result.h"
#include "interfaces/ids.h"
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

// A root window: its own host, sized by the default size or else its offset rectangle.
int32_t PlaceOnNewHost(MarkupWindow* window, WindowDefinition* definition,
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
  window->KeepHost(host.Get());
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

}  // namespace

int32_t CreateWindowTree(InterfaceDefinition* owner, WindowDefinition* definition,
                         const WindowCreateRequest& request, RefPtr<MWindowElement>* out) {
  if (!owner || !definition || !out) return kErrMissingArg;
  if (request.existing) return PlaceAgain(definition, request, out);
  const bool madeAsGiven = !(request.typeClass == Guid{});
  const WidgetKind* kind =
      FindWidgetKind(madeAsGiven ? request.typeClass : definition->TypeClass());
  if (!kind) return kErrNoInterface;  // the window is there; no widget serves its class
  RefPtr<MarkupWindow> window = MakeWidget(*kind);
  if (!window) return kErrOutOfMemory;
  PropertyValue self;
  self.type = kPropertyInterface;
  self.object = static_cast<MUnknown*>(static_cast<MInterfaceDefinition*>(owner));
  window->SetProperty(kInterfaceProperty, kPropertyInterface, &self);
  window->SetDefinition(definition);
  window->LoadProperties(owner);

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
  } else if (int32_t r = PlaceOnNewHost(window.Get(), definition, placement,
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
  *out = RefPtr<MWindowElement>(static_cast<MWindowElement*>(window.Get()));
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
  PropertyValue self;
  self.type = kPropertyInterface;
  self.object = static_cast<MUnknown*>(static_cast<MInterfaceDefinition*>(owner));
  window->SetProperty(kInterfaceProperty, kPropertyInterface, &self);
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
