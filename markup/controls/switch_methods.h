// The switches of a control's GUI part as script methods: `GetHover`/`SetHover` (the window
// property "button_hover", the hover look) and `GetToggle`/`SetToggle` ("button_toggle").
// Getters answer "1" or "0"; a setter without a readable boolean answers -3.
#pragma once

#include "interfaces/gui/window_element.h"
#include "interfaces/script/script_object.h"

namespace vk2::markup {

void RegisterToggleMethods(MScriptObject* script, MWindowElement* window);
void RegisterHoverMethods(MScriptObject* script, MWindowElement* window);

}  // namespace vk2::markup
