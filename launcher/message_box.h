// The launcher's message box, for failures before the runtime (and its GUI layer) exists:
// always on stderr; also as a GTK dialog when a display is there and VK2_NONINTERACTIVE is
// not set.
#pragma once

#include <string>

namespace vk2::launcher {

void ShowMessageBox(const std::string& text, const std::string& caption);

}  // namespace vk2::launcher
