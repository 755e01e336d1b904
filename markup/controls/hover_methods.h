// `GetHover` and `SetHover`: the window property "button_hover" that turns the hover look of a
// control's GUI part on and off, for the controls that publish them.
#pragma once

#include "interfaces/gui/window_element.h"
#include "interfaces/script/script_object.h"

namespace vk2::markup {

void RegisterHoverMethods(MScriptObject* script, MWindowElement* window);

}  // namespace vk2::markup
