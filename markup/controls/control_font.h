// Fonts of controls: the image service's font for a font style of the interface, kept in the
// window's "font" property (markup/window/window_font.h), where captions and items find it.
#pragma once

#include "foundation/util/ref_ptr.h"
#include "interfaces/graphics/font.h"
#include "interfaces/markup/interface_definition.h"

namespace vk2::markup {

// The font of the style `name` (null or empty: the interface's default style), or null when the
// interface has no such style or the image service gives no font for it.
RefPtr<MFont> FontOfStyle(MInterfaceDefinition* iface, const char16_t* name);

}  // namespace vk2::markup
