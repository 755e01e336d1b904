// The border element: a window an interface defines as a page of the display, a bar along one
// edge of a given thickness or (edge "all") the page that fills the rest.
#pragma once

#include "gui/border/border_properties.h"
#include "gui/window_base/module_window.h"
#include "interfaces/markup/window_definition.h"

namespace vk2::gui {

class BorderWindow final : public ModuleWindow<BorderWindow> {
 public:
  explicit BorderWindow(MUnknown* base) : ModuleWindow(base) {}

  void Setup() {}
  // Reads edge, thickness and border offset from the element's properties.
  void LoadStyle(MWindowDefinition* markup, MInterfaceDefinition* iface);
  const BorderProperties& Properties() const { return properties_; }

  bool IsPage() const override { return true; }
  int32_t PageKind() override { return properties_.edge; }
  int32_t PageSize() override { return properties_.thickness; }
  std::array<int32_t, 4> PageBorder() override { return properties_.offset; }

 private:
  BorderProperties properties_;
};

}  // namespace vk2::gui
