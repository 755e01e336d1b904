// What the module's named windows read from their definition element in an interface (the
// element named after the window class, such as "VK2_SettingsWindow"): the border offset and,
// for some, a background image.
#pragma once

#include <array>
#include <cstdint>

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/font.h"
#include "interfaces/markup/interface_definition.h"
#include "interfaces/markup/window_definition.h"
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

// Attribute `name` of `element` resolved through the definition: a rectangle (doubles
// truncated; left, top, right, bottom), a colour, a justification. False, with `*out`
// unchanged, when absent or not of that kind.
bool ReadRectAttribute(MInterfaceDefinition* definition, MXmlNode* element, const char16_t* name,
                       std::array<int32_t, 4>* out);
bool ReadColorAttribute(MInterfaceDefinition* definition, MXmlNode* element, const char16_t* name,
                        uint32_t* out);
// The image style named by attribute `name`, or null.
RefPtr<MImageStyleDrawing> ReadImageAttribute(MInterfaceDefinition* definition, MXmlNode* element,
                                              const char16_t* name);
// The font whose style attribute `name` names (a font style of the definition), or null.
RefPtr<MFont> ReadFontAttribute(MInterfaceDefinition* definition, MXmlNode* element,
                                const char16_t* name);
bool ReadJustificationAttribute(MInterfaceDefinition* definition, MXmlNode* element,
                                const char16_t* name, uint32_t* out);

}  // namespace vk2::gui
