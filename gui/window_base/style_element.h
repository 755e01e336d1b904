// What the module's named windows read from their definition element in an interface (the
// element named after the window class, such as "VK2_SettingsWindow"): the border offset and,
// for some, a background image.
#pragma once

#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/runtime/xml_document.h"

namespace vk2::gui {

struct BorderOffset {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
  bool operator==(const BorderOffset&) const = default;
};

// The element `name` of the definition, or null.
RefPtr<MXmlNode> FindStyleElement(MInterfaceDefinition* definition, const char16_t* name);

// "rect_borderoffset" of `element`, resolved through the definition (doubles truncated); zero
// when absent or not a rectangle.
BorderOffset ReadBorderOffset(MInterfaceDefinition* definition, MXmlNode* element);

}  // namespace vk2::gui
