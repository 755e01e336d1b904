// The platform's debug output: messages for a developer following the program, not for the
// user's console. Written to stderr when VK2_DEBUG is set (and not "0"), dropped otherwise.
#pragma once

namespace vk2 {

void DebugOutput(const char* text);

}  // namespace vk2
