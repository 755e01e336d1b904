#include "gui/border/border_window.h"

#include "interfaces/markup/interface_definition.h"

namespace vk2::gui {

void BorderWindow::LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface) {
  properties_ = LoadBorderProperties(markup ? markup->GetPropertyElement() : nullptr,
                                     [iface](const TString& text, double out[4]) {
                                       return iface && iface->GetRect(text.c_str(), out) == 0;
                                     });
}

}  // namespace vk2::gui
