#include "gui/visual_window/visual_window.h"
#include "gui/window_base/element_type.h"
#include "gui/window_base/window_classes.h"

namespace vk2::gui {

int32_t CreateVisualWindowType(const Guid& iid, void** out, MUnknown* outer) {
  return CreateElementTypeObject<VisualWindow, &AssembleVisualWindow>(iid, out, outer);
}

}  // namespace vk2::gui
