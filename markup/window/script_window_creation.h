// The CreateWindow script function: a child window made from the window's own interface
// definition, or from a dialog document a module's factory hands out.
#pragma once

#include <cstdint>

#include "interfaces/script/handler_call.h"

namespace vk2::markup {

class MarkupWindow;

int32_t RunCreateWindow(HandlerCall& call, MarkupWindow* window);

}  // namespace vk2::markup
