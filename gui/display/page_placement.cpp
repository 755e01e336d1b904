#include "gui/display/page_placement.h"

#include "component/object/query.h"
#include "gui/windows/window_manager.h"
#include "interfaces/gui/window_element.h"
#include "interfaces/ids.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui {

bool PlacePageWindow(WindowManager* windows, MWindowElement* page, const TString& name,
                     MWindowElement* display) {
  if (!page) return false;
  if (QueryBorrowed<MUnknown>(page, kBorderElementClass)) {
    RefPtr<MWindowElement> placed;
    return windows && windows->PlaceChildElement(&placed, name, kBorderElementClass, display, page,
                                                 AnchoredRect{}, kWindowStyleVisible, kPlaceModeBottom);
  }
  PlacementRecord request;
  request.parent = display;
  // Shown and taking input: a page left hidden here would be placed again on every pass.
  request.flags = kPlaceVisible | kPlaceEnabled;
  request.mode = kPlaceModeBottom;
  return page->PostCommand(kCmdPlacement, 0, 0, reinterpret_cast<uintptr_t>(&request), nullptr, 0,
                           0) == kOk;
}

}  // namespace vk2::gui
