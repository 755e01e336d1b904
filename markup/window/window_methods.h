// The native script functions every markup window's script object carries: moving, sizing,
// showing, animating, creating and destroying windows. They only post commands to the window;
// the GUI layer runs them at their start times.
#pragma once

#include <cstdint>

#include "interfaces/script/script_object.h"

namespace vk2::markup {

class MarkupWindow;

// Handler answers.
inline constexpr int32_t kMethodDone = 0;
inline constexpr int32_t kMethodNoWindow = -2;
inline constexpr int32_t kMethodBadArguments = -3;
inline constexpr int32_t kMethodRejected = -4;

// Registers the functions on `script` with `window` as their user data.
void RegisterWindowMethods(MScriptObject* script, MarkupWindow* window);

}  // namespace vk2::markup
